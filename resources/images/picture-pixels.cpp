// Build tool: turns the program's PNG pictures into a C++ source that holds their pixels, so
// that the program shows them without decoding anything.
//
//     picture-pixels OUTPUT.cpp PICTURE.png...
//
// Each picture becomes 32-bit pixels in the format Qt's raster paint engine draws from:
// premultiplied ARGB where the picture has transparency, RGB32 where it has none. The entries
// are named by the file name alone ("logo.png").
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTextStream>

#include <cstdio>

namespace {

QImage readPicture(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    if (image.isNull())
        return image;
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

void writePixels(QTextStream& out, int index, const QImage& image) {
    out << "const quint32 kPixels" << index << "[] = {";
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            out << (count++ % 8 == 0 ? "\n    " : " ") << "0x"
                << QString::number(line[x], 16).rightJustified(8, u'0') << ',';
        }
    }
    out << "\n};\n";
}

int cannotWrite(const QFile& file) {
    std::fprintf(stderr, "picture-pixels: cannot write %s: %s\n", qPrintable(file.fileName()),
                 qPrintable(file.errorString()));
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fputs("usage: picture-pixels OUTPUT.cpp PICTURE.png...\n", stderr);
        return 2;
    }
    QList<QImage> images;
    QStringList names;
    for (int arg = 2; arg < argc; ++arg) {
        const QString path = QString::fromLocal8Bit(argv[arg]);
        images.append(readPicture(path));
        names.append(QFileInfo(path).fileName());
        if (images.last().isNull()) {
            std::fprintf(stderr, "picture-pixels: cannot read %s\n", argv[arg]);
            return 1;
        }
    }
    QFile file(QString::fromLocal8Bit(argv[1]) + QStringLiteral(".tmp"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return cannotWrite(file);
    QTextStream out(&file);
    out << "// Generated from the pictures in resources/images; do not edit.\n"
           "#include \"gui/PicturePixels.h\"\n\nnamespace {\n\n";
    for (int index = 0; index < images.size(); ++index)
        writePixels(out, index, images[index]);
    out << "\n} // namespace\n\nconst PicturePixels kOwnPictures[] = {\n";
    for (int index = 0; index < images.size(); ++index) {
        const QImage& image = images[index];
        out << "    {\"" << names[index] << "\", " << image.width() << ", " << image.height()
            << ", " << (image.hasAlphaChannel() ? "true" : "false") << ", kPixels" << index
            << "},\n";
    }
    out << "};\nconst int kOwnPictureCount = " << images.size() << ";\n";
    out.flush();
    file.close();
    if (out.status() != QTextStream::Ok || file.error() != QFile::NoError)
        return cannotWrite(file);
    QFile::remove(QString::fromLocal8Bit(argv[1]));
    return file.rename(QString::fromLocal8Bit(argv[1])) ? 0 : cannotWrite(file);
}
