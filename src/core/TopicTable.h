#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

// Ids of the information messages with which the table refuses an operation; 0 means done.
namespace refusal {
constexpr quint16 kNone = 0;
constexpr quint16 kInsertBeforeNew = 1100;
constexpr quint16 kDeleteNew = 1105;
constexpr quint16 kCopyNew = 1110;
constexpr quint16 kTableFull = 1215;
constexpr quint16 kNoEntry = 1260; // the entry is none of the list's (nothing selected)
} // namespace refusal

constexpr int kMaxTopics = 200;
constexpr int kRowsPerTopic = 10;
// The last slot stays empty for the "<New>" entry, so a document holds one topic less.
constexpr int kMaxTopicCount = kMaxTopics - 1;
constexpr int kCopyRowLength = 35;
constexpr int kMaxTopicLine = 7;

inline const QString kNoFileName = QStringLiteral("none");

using TopicRows = std::array<QByteArray, kRowsPerTopic>;

// A copied topic: ten rows of at most CopyRowLength bytes.
struct TopicCopyBuffer {
    TopicRows rows;
    bool filled = false; // once anything was copied; never cleared while the program runs
};

enum class DragMode { Copy, Move };

// One document in memory: 200 slots of ten byte rows. Topics are slots 1..TopicCount(); the
// slot after them is the blank "<New>" entry, used only to append. List entries are numbered
// 1..TopicCount()+1 like the slots they show.
class TopicTable {
  public:
    TopicTable();

    void clearTable();

    // Slots outside 1..MaxTopics and rows outside 1..RowsPerTopic read as empty.
    const QByteArray& row(int slot, int row) const;
    void setRow(int slot, int row, const QByteArray& text);
    const TopicRows& topic(int slot) const;
    QByteArray title(int entry) const { return row(entry, topicLine); }

    int topicCount() const { return count_; }
    int entryCount() const { return count_ + 1; }
    bool isPseudoTopic(int entry) const { return entry == count_ + 1; }
    bool isEntry(int entry) const { return entry >= 1 && entry <= count_ + 1; }
    bool isTopic(int entry) const { return entry >= 1 && entry <= count_; }
    bool isFull() const { return count_ >= kMaxTopicCount; }

    // Replaces every row and the topic count at once; the reader's way in. Slots past the
    // given topics become empty.
    void fill(const QList<TopicRows>& topics);

    quint16 commitRows(int entry, const QList<QByteArray>& lines, bool editMode);
    quint16 insertEmptyTopic(int entry);
    quint16 deleteTopic(int entry);
    quint16 copyTopic(int entry, TopicCopyBuffer& buffer) const;
    quint16 insertTopicCopy(int entry, const TopicRows& record);
    static quint16 moveTopic(TopicTable& source, int sourceEntry, TopicTable& target,
                             int targetEntry, DragMode mode);
    // A move within one list onto the entry right below the dragged one changes nothing.
    static bool moveChangesOrder(const TopicTable& source, int sourceEntry,
                                 const TopicTable& target, int targetEntry);

    static TopicRows copyRecord(const TopicRows& rows);

    int topicLine = 1;
    bool modified = false;
    QString fileName = kNoFileName;
    int selection = 1;

  private:
    static bool validSlot(int slot) { return slot >= 1 && slot <= kMaxTopics; }
    void shiftUpFrom(int slot);
    void shiftDownTo(int slot);
    void insertRows(int entry, const TopicRows& rows);
    void removeTopic(int entry);

    std::array<TopicRows, kMaxTopics> slots_;
    int count_ = 0;
};
