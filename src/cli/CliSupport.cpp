#include "cli/CliSupport.h"

#include "core/FileName.h"
#include "core/HpFile.h"
#include "platform/OmissionText.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

namespace cli {

// A file name is printed by its own bytes, so that a script can open what it reads.
void print(FILE* stream, const QString& text) {
    const QByteArray bytes = filename::toBytes(text) + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

int fail(int code, const QString& message) {
    print(stderr, message);
    return code;
}

QString englishText(quint16 baseId) {
    return strings::text(baseId, strings::kEnglish);
}

int loadDatabase(const QString& fileName, TopicTable& table, hpparse::Header* header) {
    hpfile::ReadDetails details;
    switch (readHpFile(fileName, table, &details)) {
    case hpfile::kCannotOpen:
        return fail(kCannotOpen, englishText(textid::kCannotOpen));
    case hpfile::kNotHpFile:
        return fail(kNotHpFile, englishText(textid::kNotHpFile));
    case hpfile::kTooManyTopics:
        return fail(kTooManyTopics, englishText(textid::kTooManyTopics));
    case hpfile::kNotRegularFile:
        return fail(kCannotOpen, englishText(textid::kNotRegularFile));
    case hpfile::kTooLarge:
        return fail(kTooLarge, englishText(textid::kTooLarge));
    default:
        break;
    }
    if (details.omitted.any())
        print(stderr, omissionText(details.omitted, fileName, strings::kEnglish));
    if (header != nullptr)
        *header = details.header;
    return kOk;
}

bool takeTranslation(QStringList& arguments, int& mode) {
    const qsizetype at = arguments.indexOf(QStringLiteral("--translation"));
    if (at < 0)
        return true;
    bool number = false;
    const int value = arguments.value(at + 1).toInt(&number);
    if (!number || value < hptrans::kMinMode || value > hptrans::kMaxMode ||
        arguments.value(at + 1).size() != 1)
        return false;
    arguments.remove(at, 2);
    mode = value;
    return true;
}

} // namespace cli
