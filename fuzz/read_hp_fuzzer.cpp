// libFuzzer target for the database reader: any bytes must be read without a crash, what the
// reader accepts must survive a write and a second read unchanged, and the header test on a
// file's first bytes must decide as the whole reader does.

#include "core/HpFile.h"
#include "core/HpParser.h"
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

void Expect(bool holds, const char* what) {
    if (!holds)
        fail(what);
}

bool SlotIsEmpty(const TopicTable& table, int slot) {
    for (const QByteArray& row : table.topic(slot)) {
        if (!row.isEmpty())
            return false;
    }
    return true;
}

bool AnyRowHoldsEndOfFileMark(const TopicTable& table) {
    for (int slot = 1; slot <= table.topicCount(); ++slot) {
        for (const QByteArray& row : table.topic(slot)) {
            if (row.contains(kEndOfFileMark))
                return true;
        }
    }
    return false;
}

bool SameRows(const TopicTable& first, const TopicTable& second) {
    for (int slot = 1; slot <= kMaxTopics; ++slot) {
        if (first.topic(slot) != second.topic(slot))
            return false;
    }
    return true;
}

void CheckRefusedInputLeavesTableAlone(int result, const TopicTable& table) {
    Expect(result == hpfile::kNotHpFile || result == hpfile::kTooManyTopics,
           "a refusal other than not-a-database or too-many-topics");
    Expect(table.topicCount() == 0, "a refused input changed the topic count");
    for (int slot = 1; slot <= kMaxTopics; ++slot)
        Expect(SlotIsEmpty(table, slot), "a refused input filled a row");
}

void CheckAcceptedTable(int result, const TopicTable& table) {
    Expect(table.topicCount() == result, "TopicCount() differs from the returned count");
    Expect(result <= kMaxTopicCount, "more than 199 topics accepted");
    for (int slot = table.topicCount() + 1; slot <= kMaxTopics; ++slot)
        Expect(SlotIsEmpty(table, slot), "a slot after the topics holds a row");
    // The writer refuses rows with byte 26 and the reader ends the data there, so none can exist.
    Expect(!AnyRowHoldsEndOfFileMark(table), "a row read holds byte 26");
}

void CheckRoundTrip(const TopicTable& table) {
    const QByteArray written = formatHpFile(table, table.topicCount(), false, false);
    TopicTable reread;
    const int rereadCount = readHpData(written, reread);
    Expect(rereadCount == table.topicCount(), "the written file reads back another topic count");
    Expect(SameRows(table, reread), "the written file reads back other rows");
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
    TopicTable table;
    const int result = readHpData(bytes, table);
    const std::string_view first(bytes.data(), static_cast<size_t>(bytes.size()));
    Expect(hpparse::hasHeader(first) == (result != hpfile::kNotHpFile),
           "the header test of the first bytes and the reader disagree");
    if (result < 0) {
        CheckRefusedInputLeavesTableAlone(result, table);
        return 0;
    }
    CheckAcceptedTable(result, table);
    CheckRoundTrip(table);
    return 0;
}
