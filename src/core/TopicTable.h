#pragma once

#include <QByteArray>
#include <QList>

#include <array>

// Why the table refuses an operation; kNone means done.
namespace refusal {
enum Refusal : quint8 {
    kNone,
    kInsertBeforeNew, // an empty topic goes before a topic, never before "<New>"
    kDeleteNew,       // "<New>" cannot be deleted
    kCopyNew,         // nor copied
    kTableFull,       // the table holds kMaxTopicCount topics
    kNoEntry,         // the entry is none of the list's
};
} // namespace refusal
using Refusal = refusal::Refusal;

constexpr int kMaxTopics = 200;
constexpr int kRowsPerTopic = 10;
// The last slot stays empty for the "<New>" entry, so a document holds one topic less.
constexpr int kMaxTopicCount = kMaxTopics - 1;
constexpr int kCopyRowLength = 35;
constexpr int kMaxTopicLine = 7;

using TopicRows = std::array<QByteArray, kRowsPerTopic>;

// A copied topic: ten rows of at most CopyRowLength bytes.
struct TopicCopyBuffer {
    TopicRows rows;
    bool filled = false; // once anything was copied; never cleared while the program runs
};

enum class DragMode { Copy, Move };

// The topics of one document: 200 slots of ten byte rows. Topics are slots 1..topicCount();
// the slot after them is the blank "<New>" entry, used only to append. List entries are
// numbered 1..topicCount()+1 like the slots they show.
class TopicTable {
  public:
    TopicTable();

    void clearTable();

    // Slots outside 1..MaxTopics and rows outside 1..RowsPerTopic read as empty.
    const QByteArray& row(int slot, int row) const;
    void setRow(int slot, int row, const QByteArray& text);
    const TopicRows& topic(int slot) const;

    int topicCount() const { return count_; }
    int entryCount() const { return count_ + 1; }
    bool isPseudoTopic(int entry) const { return entry == count_ + 1; }
    bool isEntry(int entry) const { return entry >= 1 && entry <= count_ + 1; }
    bool isTopic(int entry) const { return entry >= 1 && entry <= count_; }
    bool isFull() const { return count_ >= kMaxTopicCount; }

    // Replaces every row and the topic count at once; the reader's way in. Slots past the
    // given topics become empty.
    void fill(const QList<TopicRows>& topics);
    QList<TopicRows> topics() const; // 1..topicCount()

    Refusal commitRows(int entry, const QList<QByteArray>& lines);
    Refusal insertEmptyTopic(int entry);
    Refusal deleteTopic(int entry);
    Refusal copyTopic(int entry, TopicCopyBuffer& buffer) const;
    Refusal insertTopicCopy(int entry, const TopicRows& record);
    static Refusal moveTopic(TopicTable& source, int sourceEntry, TopicTable& target,
                             int targetEntry, DragMode mode);
    // A move within one list onto the entry right below the dragged one changes nothing.
    static bool moveChangesOrder(const TopicTable& source, int sourceEntry,
                                 const TopicTable& target, int targetEntry);
    // Where a topic moved within one list lands.
    static int placeAfterMove(int sourceEntry, int targetEntry) {
        return sourceEntry < targetEntry ? targetEntry - 1 : targetEntry;
    }

    static TopicRows copyRecord(const TopicRows& rows);

  private:
    static bool validSlot(int slot) { return slot >= 1 && slot <= kMaxTopics; }
    void shiftUpFrom(int slot);
    void shiftDownTo(int slot);
    void insertRows(int entry, const TopicRows& rows);
    void removeTopic(int entry);

    std::array<TopicRows, kMaxTopics> slots_;
    int count_ = 0;
};
