#include "gui/Pictures.h"

#include <QApplication>
#include <QFile>
#include <QIconEngine>
#include <QImageReader>
#include <QMap>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace {

const QString kFolder = QStringLiteral(":/images/");
const QString kSuffix = QStringLiteral(".png");
// The sides an icon may be drawn at besides its own; a name filter over the resources would
// compile a pattern for each icon.
constexpr int kIconSides[] = {16, 20, 24, 32, 40, 48, 64};

QPixmap readPicture(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

// The larger side of a picture, from its header: nothing is decoded.
int pictureSide(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    return qMax(size.width(), size.height());
}

// The files of an icon by their side: NAME.png and each NAME-SIDE.png beside it.
QMap<int, QString> iconFiles(const QString& name) {
    QMap<int, QString> files;
    if (!name.endsWith(kSuffix) || !QFile::exists(kFolder + name))
        return files;
    files.insert(pictureSide(kFolder + name), kFolder + name);
    const QString stem = kFolder + name.chopped(kSuffix.size()) + u'-';
    for (const int side : kIconSides) {
        const QString file = stem + QString::number(side) + kSuffix;
        if (QFile::exists(file))
            files.insert(side, file);
    }
    return files;
}

// Reads each size of an icon when it is first asked for; a size between two is the larger one
// made smaller, as QIcon does with its pixmaps.
class OwnIconEngine : public QIconEngine {
  public:
    explicit OwnIconEngine(const QString& name) : files_(iconFiles(name)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const int side = fittingSide(size);
        if (side == 0)
            return {};
        const quint64 key = (quint64(mode) << 32) | quint32(side);
        QPixmap& cached = shown_[key];
        if (cached.isNull())
            cached = modeOf(picture(side), mode);
        const QSize fitting = actualSize(size, mode, QIcon::Off);
        return cached.size() == fitting
                   ? cached
                   : cached.scaled(fitting, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        QPixmap shown = pixmap(rect.size() * ratio, mode, state);
        shown.setDevicePixelRatio(ratio);
        QRect target(QPoint(), shown.deviceIndependentSize().toSize());
        target.moveCenter(rect.center());
        painter->drawPixmap(target, shown);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = fittingSide(size);
        const QSize own(side, side);
        return side > qMax(size.width(), size.height()) ? own.scaled(size, Qt::KeepAspectRatio)
                                                        : own;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const int side : files_.keys())
            sizes.append(QSize(side, side));
        return sizes;
    }

    QIconEngine* clone() const override { return new OwnIconEngine(*this); }
    QString key() const override { return QStringLiteral("OwnIconEngine"); }
    bool isNull() override { return files_.isEmpty(); }

  private:
    // The smallest side that fills the size, else the largest there is; 0 for no file.
    int fittingSide(const QSize& size) const {
        const auto fitting = files_.lowerBound(qMax(size.width(), size.height()));
        if (fitting != files_.cend())
            return fitting.key();
        return files_.isEmpty() ? 0 : files_.lastKey();
    }

    QPixmap picture(int side) {
        QPixmap& read = read_[side];
        if (read.isNull())
            read = readPicture(files_.value(side));
        return read;
    }

    static QPixmap modeOf(const QPixmap& picture, QIcon::Mode mode) {
        if (mode == QIcon::Normal || mode == QIcon::Active || !qApp)
            return picture;
        QStyleOption option(0);
        option.palette = QGuiApplication::palette();
        return QApplication::style()->generatedIconPixmap(mode, picture, &option);
    }

    QMap<int, QString> files_;
    QMap<int, QPixmap> read_;
    QMap<quint64, QPixmap> shown_; // by mode and side
};

} // namespace

QPixmap ownPicture(const QString& name) {
    return readPicture(kFolder + name);
}

QIcon ownIcon(const QString& name) {
    return QIcon(new OwnIconEngine(name));
}
