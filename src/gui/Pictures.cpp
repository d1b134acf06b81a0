#include "gui/Pictures.h"

#include "gui/PicturePixels.h"

#include <QImage>

QPixmap ownPicture(const QString& name) {
    for (int index = 0; index < kOwnPictureCount; ++index) {
        const PicturePixels& picture = kOwnPictures[index];
        if (name != QLatin1String(picture.name))
            continue;
        const QImage pixels(reinterpret_cast<const uchar*>(picture.pixels), picture.width,
                            picture.height, picture.width * int(sizeof(quint32)),
                            picture.transparent ? QImage::Format_ARGB32_Premultiplied
                                                : QImage::Format_RGB32);
        return QPixmap::fromImage(pixels); // a copy: the pixels stay read-only
    }
    return {};
}

QIcon ownIcon(const QString& name) {
    return QIcon(ownPicture(name));
}
