#include "gui/Pictures.h"

#include <QImageReader>

QPixmap ownPicture(const QString& name) {
    QImageReader reader(QStringLiteral(":/images/") + name, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon ownIcon(const QString& name) {
    return QIcon(ownPicture(name));
}
