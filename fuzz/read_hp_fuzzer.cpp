// libFuzzer target for the database reader: any bytes must be read without a crash, what the
// reader accepts must survive a write in every mode and a second read unchanged, and the header
// test on a file's first bytes must decide as the whole reader does. Counting a text in pieces
// must give the count of the whole data, however the data is cut.

#include "core/HpFile.h"
#include "core/HpParser.h"
#include "core/OccurrenceCount.h"
#include "core/TopicTable.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr char kEndOfFileMark = 26;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void expect(bool holds, const char* what) {
    if (!holds)
        fail(what);
}

bool slotIsEmpty(const TopicTable& table, int slot) {
    for (const QByteArray& row : table.topic(slot)) {
        if (!row.isEmpty())
            return false;
    }
    return true;
}

bool anyRowHoldsEndOfFileMark(const TopicTable& table) {
    for (int slot = 1; slot <= table.topicCount(); ++slot) {
        for (const QByteArray& row : table.topic(slot)) {
            if (row.contains(kEndOfFileMark))
                return true;
        }
    }
    return false;
}

bool sameRows(const TopicTable& first, const TopicTable& second) {
    for (int slot = 1; slot <= kMaxTopics; ++slot) {
        if (first.topic(slot) != second.topic(slot))
            return false;
    }
    return true;
}

void checkRefusedInputLeavesTableAlone(int result, const TopicTable& table) {
    expect(result == hpfile::kNotHpFile || result == hpfile::kTooManyTopics,
           "a refusal other than not-a-database or too-many-topics");
    expect(table.topicCount() == 0, "a refused input changed the topic count");
    for (int slot = 1; slot <= kMaxTopics; ++slot)
        expect(slotIsEmpty(table, slot), "a refused input filled a row");
}

void checkAcceptedTable(int result, const TopicTable& table) {
    expect(table.topicCount() == result, "TopicCount() differs from the returned count");
    expect(result <= kMaxTopicCount, "more than 199 topics accepted");
    for (int slot = table.topicCount() + 1; slot <= kMaxTopics; ++slot)
        expect(slotIsEmpty(table, slot), "a slot after the topics holds a row");
    // The writer refuses rows with byte 26 and the reader ends the data there, so none can exist.
    expect(!anyRowHoldsEndOfFileMark(table), "a row read holds byte 26");
}

// Written in the mode it was read in, and in the others, the table reads back the same.
void checkRoundTrip(const TopicTable& table, const hpfile::Header& header) {
    for (int mode = -1; mode <= hptrans::kMaxMode; ++mode) {
        hpfile::Header written = header;
        if (mode >= 0)
            written.translation = mode;
        const QByteArray bytes = formatHpFile(table, table.topicCount(), false, false, written);
        TopicTable reread;
        hpfile::ReadDetails details;
        const int rereadCount = readHpData(bytes, reread, &details);
        expect(rereadCount == table.topicCount(),
               "the written file reads back another topic count");
        expect(sameRows(table, reread), "the written file reads back other rows");
        expect(details.header.translation == written.translation &&
                   details.header.angle == written.angle &&
                   details.header.fraction == written.fraction,
               "the written file reads back other header values");
        expect(!details.omitted.any(), "the written file reads back with something left out");
    }
}

// The scanner counts a large file as it arrives; cut anywhere, it must count as in the whole.
void checkCountInPieces(QByteArrayView data) {
    const std::string_view bytes(data.data(), static_cast<size_t>(data.size()));
    for (const char* text : {"aB", "\"a"}) {
        for (const bool caseSensitive : {false, true}) {
            const scan::Needle needle(text, caseSensitive);
            const quint16 whole = scan::countInData(data, text, caseSensitive);
            for (const size_t pieceSize : {1 + bytes.size() % 7, size_t(61)}) {
                scan::PiecewiseCount count(needle);
                for (size_t at = 0; at < bytes.size(); at += pieceSize) {
                    if (!count.feed(bytes.substr(at, pieceSize)))
                        break;
                }
                expect(count.result() == whole, "a count in pieces differs from the whole");
            }
        }
    }
}

// An empty file arrives as a null view (no data pointer at all), not as an empty one.
QByteArrayView inputView(const uint8_t* data, size_t size) {
    if (size == 0)
        return QByteArrayView();
    return QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes = inputView(data, size);
    checkCountInPieces(bytes);
    TopicTable table;
    hpfile::ReadDetails details;
    const int result = readHpData(bytes, table, &details);
    const std::string_view first(bytes.data(), static_cast<size_t>(bytes.size()));
    expect(hpparse::hasHeader(first) == (result != hpfile::kNotHpFile),
           "the header test of the first bytes and the reader disagree");
    if (result < 0) {
        checkRefusedInputLeavesTableAlone(result, table);
        return 0;
    }
    checkAcceptedTable(result, table);
    checkRoundTrip(table, details.header);
    return 0;
}
