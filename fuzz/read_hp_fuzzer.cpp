// libFuzzer target for the database reader: any bytes must be read without a crash, what the
// reader accepts must survive a write and a second read unchanged, and the header test on a
// file's first bytes must decide as the whole reader does. Counting a text in pieces must give
// the count of the whole data, however the data is cut.

#include "HpFile.h"
#include "HpParser.h"
#include "OccurrenceCount.h"
#include "TopicTable.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr char kEndOfFileMark = 26;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void Expect(bool holds, const char* what) {
    if (!holds)
        Fail(what);
}

bool SlotIsEmpty(const TopicTable& table, int slot) {
    for (const QByteArray& row : table.Topic(slot)) {
        if (!row.isEmpty())
            return false;
    }
    return true;
}

bool AnyRowHoldsEndOfFileMark(const TopicTable& table) {
    for (int slot = 1; slot <= table.TopicCount(); ++slot) {
        for (const QByteArray& row : table.Topic(slot)) {
            if (row.contains(kEndOfFileMark))
                return true;
        }
    }
    return false;
}

bool SameRows(const TopicTable& first, const TopicTable& second) {
    for (int slot = 1; slot <= MaxTopics; ++slot) {
        if (first.Topic(slot) != second.Topic(slot))
            return false;
    }
    return true;
}

void CheckRefusedInputLeavesTableAlone(int result, const TopicTable& table) {
    Expect(result == hpfile::kNotHpFile || result == hpfile::kTooManyTopics,
           "a refusal other than not-a-database or too-many-topics");
    Expect(table.TopicCount() == 0, "a refused input changed the topic count");
    for (int slot = 1; slot <= MaxTopics; ++slot)
        Expect(SlotIsEmpty(table, slot), "a refused input filled a row");
}

void CheckAcceptedTable(int result, const TopicTable& table) {
    Expect(table.TopicCount() == result, "TopicCount() differs from the returned count");
    Expect(result <= MaxTopicCount, "more than 199 topics accepted");
    for (int slot = table.TopicCount() + 1; slot <= MaxTopics; ++slot)
        Expect(SlotIsEmpty(table, slot), "a slot after the topics holds a row");
    // The writer refuses rows with byte 26 and the reader ends the data there, so none can exist.
    Expect(!AnyRowHoldsEndOfFileMark(table), "a row read holds byte 26");
}

void CheckRoundTrip(const TopicTable& table) {
    const QByteArray written = FormatHpFile(table, table.TopicCount(), false, false);
    TopicTable reread;
    const int rereadCount = ReadHpData(written, reread);
    Expect(rereadCount == table.TopicCount(), "the written file reads back another topic count");
    Expect(SameRows(table, reread), "the written file reads back other rows");
}

// The scanner counts a large file as it arrives; cut anywhere, it must count as in the whole.
void CheckCountInPieces(QByteArrayView data) {
    const std::string_view bytes(data.data(), static_cast<size_t>(data.size()));
    for (const char* text : {"aB", "\"a"}) {
        for (const bool caseSensitive : {false, true}) {
            const scan::Needle needle(text, caseSensitive);
            const quint16 whole = scan::CountInData(data, text, caseSensitive);
            for (const size_t pieceSize : {1 + bytes.size() % 7, size_t(61)}) {
                scan::PiecewiseCount count(needle);
                for (size_t at = 0; at < bytes.size(); at += pieceSize) {
                    if (!count.Feed(bytes.substr(at, pieceSize)))
                        break;
                }
                Expect(count.Result() == whole, "a count in pieces differs from the whole");
            }
        }
    }
}

// An empty file arrives as a null view (no data pointer at all), not as an empty one.
QByteArrayView InputView(const uint8_t* data, size_t size) {
    if (size == 0)
        return QByteArrayView();
    return QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes = InputView(data, size);
    CheckCountInPieces(bytes);
    TopicTable table;
    const int result = ReadHpData(bytes, table);
    const std::string_view first(bytes.data(), static_cast<size_t>(bytes.size()));
    Expect(hpparse::HasHeader(first) == (result != hpfile::kNotHpFile),
           "the header test of the first bytes and the reader disagree");
    if (result < 0) {
        CheckRefusedInputLeavesTableAlone(result, table);
        return 0;
    }
    CheckAcceptedTable(result, table);
    CheckRoundTrip(table);
    return 0;
}
