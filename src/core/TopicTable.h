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

constexpr int MaxTopics = 200;
constexpr int RowsPerTopic = 10;
// The last slot stays empty for the "<New>" entry, so a document holds one topic less.
constexpr int MaxTopicCount = MaxTopics - 1;
constexpr int CopyRowLength = 35;
constexpr int MaxTopicLine = 7;

inline const QString kNoFileName = QStringLiteral("none");

using TopicRows = std::array<QByteArray, RowsPerTopic>;

// A copied topic: ten rows of at most CopyRowLength bytes.
struct TopicCopyBuffer {
    TopicRows rows;
};

enum class DragMode { Copy, Move };

// One document in memory: 200 slots of ten byte rows. Topics are slots 1..TopicCount(); the
// slot after them is the blank "<New>" entry, used only to append. List entries are numbered
// 1..TopicCount()+1 like the slots they show.
class TopicTable {
  public:
    TopicTable();

    void ClearTable();

    // Slots outside 1..MaxTopics and rows outside 1..RowsPerTopic read as empty.
    const QByteArray& Row(int slot, int row) const;
    void SetRow(int slot, int row, const QByteArray& text);
    const TopicRows& Topic(int slot) const;
    QByteArray Title(int entry) const { return Row(entry, TopicLine); }

    int TopicCount() const { return count_; }
    int EntryCount() const { return count_ + 1; }
    bool IsPseudoTopic(int entry) const { return entry == count_ + 1; }
    bool IsEntry(int entry) const { return entry >= 1 && entry <= count_ + 1; }
    bool IsTopic(int entry) const { return entry >= 1 && entry <= count_; }
    bool IsFull() const { return count_ >= MaxTopicCount; }

    // Replaces every row and the topic count at once; the reader's way in. Slots past the
    // given topics become empty.
    void Fill(const QList<TopicRows>& topics);

    quint16 CommitRows(int entry, const QList<QByteArray>& lines, bool editMode);
    quint16 InsertEmptyTopic(int entry);
    quint16 DeleteTopic(int entry);
    quint16 CopyTopic(int entry, TopicCopyBuffer& buffer) const;
    quint16 InsertTopicCopy(int entry, const TopicRows& record);
    static quint16 MoveTopic(TopicTable& source, int sourceEntry, TopicTable& target,
                             int targetEntry, DragMode mode);
    // A move within one list onto the entry right below the dragged one changes nothing.
    static bool MoveChangesOrder(const TopicTable& source, int sourceEntry,
                                 const TopicTable& target, int targetEntry);

    static TopicRows CopyRecord(const TopicRows& rows);

    int TopicLine = 1;
    bool Modified = false;
    QString FileName = kNoFileName;
    int Selection = 1;

  private:
    static bool ValidSlot(int slot) { return slot >= 1 && slot <= MaxTopics; }
    void ShiftUpFrom(int slot);
    void ShiftDownTo(int slot);
    void InsertRows(int entry, const TopicRows& rows);
    void RemoveTopic(int entry);

    std::array<TopicRows, MaxTopics> slots_;
    int count_ = 0;
};
