// preview: a topic as the calculator's screen shows it, written as a PNG picture.
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"

#include "core/AtomicFile.h"
#include "core/LcdPicture.h"
#include "core/TopicTable.h"

#include <QBuffer>
#include <QImage>

namespace cli {
namespace {

constexpr int kDefaultScale = 2;
constexpr int kMaxScale = 8;

struct PreviewRequest {
    QString file;
    QString png;
    int topic = 0;
    int fontSize = static_cast<int>(lcd::kDefaultFontSize);
    int scale = kDefaultScale;
};

// Reads "--name value" pairs after the file name; false when an option is unknown, given twice,
// lacks its value, or --topic or --png is missing.
bool readRequest(const QStringList& arguments, PreviewRequest& request) {
    if (arguments.size() % 2 == 0)
        return false;
    request.file = arguments[0];
    QStringList seen;
    for (qsizetype i = 1; i < arguments.size(); i += 2) {
        const QString& name = arguments[i];
        const QString& value = arguments[i + 1];
        if (seen.contains(name))
            return false;
        seen << name;
        if (name == u"--png")
            request.png = value;
        else if (name == u"--topic")
            request.topic = value.toInt();
        else if (name == u"--font")
            request.fontSize = value.toInt();
        else if (name == u"--scale")
            request.scale = value.toInt();
        else
            return false;
    }
    return seen.contains(QStringLiteral("--topic")) && seen.contains(QStringLiteral("--png"));
}

QByteArray pngOf(const lcd::Picture& picture, int scale) {
    const QList<quint32> pixels = lcd::colourPixels(picture, scale);
    const QImage image(reinterpret_cast<const uchar*>(pixels.constData()),
                       lcd::kPictureWidth * scale, lcd::kPictureHeight * scale,
                       QImage::Format_RGB32);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

int writePreview(const PreviewRequest& request) {
    if (!lcd::isFontSize(request.fontSize))
        return fail(kUsage, QStringLiteral("--font is 1 (small), 2 (medium) or 3 (large)"));
    if (request.scale < 1 || request.scale > kMaxScale)
        return fail(kUsage, QStringLiteral("--scale is 1 to %1").arg(kMaxScale));
    TopicTable table;
    if (const int failed = loadDatabase(request.file, table))
        return failed;
    if (!table.isTopic(request.topic))
        return fail(kUsage, QStringLiteral("the file holds topics 1 to %1; there is no topic %2")
                                .arg(table.topicCount())
                                .arg(request.topic));
    QList<lcd::CodeRow> rows;
    for (const QByteArray& row : table.topic(request.topic))
        rows.append(lcd::codesOf(row));
    const auto fontSize = static_cast<lcd::FontSize>(request.fontSize);
    const QByteArray png = pngOf(lcd::drawTopic(rows, fontSize), request.scale);
    if (!writeFileAtomically(request.png, png))
        return fail(kCannotOpen, QStringLiteral("cannot write ") + request.png);
    return kOk;
}

} // namespace

int preview(const QStringList& arguments) {
    PreviewRequest request;
    if (!readRequest(arguments, request))
        return kWrongArguments;
    return writePreview(request);
}

} // namespace cli
