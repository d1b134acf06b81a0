#include "core/TopicTable.h"

#include <algorithm>

namespace {

const TopicRows kEmptyTopic{};

// Every operation takes an entry of the list; one outside it is a caller's fault, caught in
// debug builds and refused otherwise.
bool Refuse(bool outside) {
    Q_ASSERT_X(!outside, "TopicTable", "entry outside the list");
    return outside;
}

} // namespace

TopicTable::TopicTable() {
    ClearTable();
}

void TopicTable::ClearTable() {
    for (TopicRows& topic : slots_)
        topic.fill(QByteArray());
    count_ = 0;
    FileName = kNoFileName;
    Modified = false;
    Selection = 1;
}

const QByteArray& TopicTable::Row(int slot, int row) const {
    if (row < 1 || row > RowsPerTopic)
        return kEmptyTopic[0];
    return Topic(slot)[row - 1];
}

void TopicTable::SetRow(int slot, int row, const QByteArray& text) {
    if (ValidSlot(slot) && row >= 1 && row <= RowsPerTopic)
        slots_[slot - 1][row - 1] = text;
}

const TopicRows& TopicTable::Topic(int slot) const {
    return ValidSlot(slot) ? slots_[slot - 1] : kEmptyTopic;
}

void TopicTable::Fill(const QList<TopicRows>& topics) {
    Q_ASSERT(topics.size() <= MaxTopicCount);
    for (int slot = 0; slot < MaxTopics; ++slot)
        slots_[slot] = slot < topics.size() ? topics[slot] : TopicRows();
    count_ = static_cast<int>(topics.size());
}

// Slot s+1 receives slot s for s from 199 down to the given slot; slot 200 is overwritten.
void TopicTable::ShiftUpFrom(int slot) {
    if (slot > MaxTopics - 1)
        return;
    std::move_backward(slots_.begin() + (slot - 1), slots_.end() - 1, slots_.end());
}

// Slot s receives slot s+1 for s from the given slot to 199; the last slot ends up empty.
void TopicTable::ShiftDownTo(int slot) {
    std::move(slots_.begin() + slot, slots_.end(), slots_.begin() + (slot - 1));
    slots_.back().fill(QByteArray());
}

void TopicTable::InsertRows(int entry, const TopicRows& rows) {
    ShiftUpFrom(entry);
    slots_[entry - 1] = rows;
    ++count_;
}

void TopicTable::RemoveTopic(int entry) {
    ShiftDownTo(entry);
    --count_;
}

quint16 TopicTable::CommitRows(int entry, const QList<QByteArray>& lines, bool editMode) {
    if (Refuse(!IsEntry(entry)))
        return refusal::kNoEntry;
    const bool append = IsPseudoTopic(entry);
    if (append && IsFull())
        return refusal::kTableFull;
    TopicRows rows;
    for (int row = 0; row < RowsPerTopic && row < lines.size(); ++row)
        rows[row] = lines[row];
    if (append)
        InsertRows(entry, rows);
    else
        slots_[entry - 1] = rows;
    Modified = true;
    Selection = editMode ? entry + 1 : entry;
    return refusal::kNone;
}

quint16 TopicTable::InsertEmptyTopic(int entry) {
    if (Refuse(!IsEntry(entry)))
        return refusal::kNoEntry;
    if (IsPseudoTopic(entry))
        return refusal::kInsertBeforeNew;
    if (IsFull())
        return refusal::kTableFull;
    InsertRows(entry, TopicRows());
    Selection = entry;
    Modified = true;
    return refusal::kNone;
}

quint16 TopicTable::DeleteTopic(int entry) {
    if (Refuse(!IsEntry(entry)))
        return refusal::kNoEntry;
    if (IsPseudoTopic(entry))
        return refusal::kDeleteNew;
    RemoveTopic(entry);
    Selection = entry;
    Modified = true;
    return refusal::kNone;
}

TopicRows TopicTable::CopyRecord(const TopicRows& rows) {
    TopicRows record;
    for (int row = 0; row < RowsPerTopic; ++row)
        record[row] = rows[row].left(CopyRowLength);
    return record;
}

quint16 TopicTable::CopyTopic(int entry, TopicCopyBuffer& buffer) const {
    if (Refuse(!IsEntry(entry)))
        return refusal::kNoEntry;
    if (IsPseudoTopic(entry))
        return refusal::kCopyNew;
    buffer.rows = CopyRecord(slots_[entry - 1]);
    return refusal::kNone;
}

quint16 TopicTable::InsertTopicCopy(int entry, const TopicRows& record) {
    if (Refuse(!IsEntry(entry)))
        return refusal::kNoEntry;
    if (IsFull())
        return refusal::kTableFull;
    InsertRows(entry, CopyRecord(record));
    Selection = entry;
    Modified = true;
    return refusal::kNone;
}

bool TopicTable::MoveChangesOrder(const TopicTable& source, int sourceEntry,
                                  const TopicTable& target, int targetEntry) {
    if (&source != &target)
        return true;
    return targetEntry != sourceEntry && targetEntry != sourceEntry + 1;
}

quint16 TopicTable::MoveTopic(TopicTable& source, int sourceEntry, TopicTable& target,
                              int targetEntry, DragMode mode) {
    if (Refuse(!source.IsTopic(sourceEntry) || !target.IsEntry(targetEntry)))
        return refusal::kNoEntry;
    const bool sameTable = &source == &target;
    if (sameTable && targetEntry == sourceEntry)
        return refusal::kNone;
    const TopicRows rows = source.slots_[sourceEntry - 1];

    if (mode == DragMode::Copy) {
        const quint16 refused = target.InsertTopicCopy(targetEntry, rows);
        if (refused == refusal::kNone && !sameTable)
            source.Selection = sourceEntry;
        return refused;
    }

    if (sameTable) {
        // Taking the topic out first keeps a full table within its slots.
        const int place = sourceEntry < targetEntry ? targetEntry - 1 : targetEntry;
        source.RemoveTopic(sourceEntry);
        source.InsertRows(place, rows);
        source.Selection = place;
        source.Modified = true;
        return refusal::kNone;
    }

    if (target.IsFull())
        return refusal::kTableFull;
    // A move carries the full rows; only copies are cut to the copy width.
    target.InsertRows(targetEntry, rows);
    target.Selection = targetEntry;
    target.Modified = true;
    source.RemoveTopic(sourceEntry);
    source.Selection = sourceEntry;
    source.Modified = true;
    return refusal::kNone;
}
