#include "core/TopicTable.h"

#include <algorithm>

namespace {

const TopicRows kEmptyTopic{};

// Every operation takes an entry of the list; one outside it is refused in every build, so a
// stale entry from a window changes nothing instead of ending the program.
bool refuse(bool outside) {
    return outside;
}

} // namespace

TopicTable::TopicTable() {
    clearTable();
}

void TopicTable::clearTable() {
    for (TopicRows& topic : slots_)
        topic.fill(QByteArray());
    count_ = 0;
}

const QByteArray& TopicTable::row(int slot, int row) const {
    if (row < 1 || row > kRowsPerTopic)
        return kEmptyTopic[0];
    return topic(slot)[row - 1];
}

void TopicTable::setRow(int slot, int row, const QByteArray& text) {
    if (validSlot(slot) && row >= 1 && row <= kRowsPerTopic)
        slots_[slot - 1][row - 1] = text;
}

const TopicRows& TopicTable::topic(int slot) const {
    return validSlot(slot) ? slots_[slot - 1] : kEmptyTopic;
}

void TopicTable::fill(const QList<TopicRows>& topics) {
    Q_ASSERT(topics.size() <= kMaxTopicCount);
    for (int slot = 0; slot < kMaxTopics; ++slot)
        slots_[slot] = slot < topics.size() ? topics[slot] : TopicRows();
    count_ = static_cast<int>(topics.size());
}

QList<TopicRows> TopicTable::topics() const {
    return QList<TopicRows>(slots_.cbegin(), slots_.cbegin() + count_);
}

// Slot s+1 receives slot s for s from 199 down to the given slot; slot 200 is overwritten.
void TopicTable::shiftUpFrom(int slot) {
    if (slot > kMaxTopics - 1)
        return;
    std::move_backward(slots_.begin() + (slot - 1), slots_.end() - 1, slots_.end());
}

// Slot s receives slot s+1 for s from the given slot to 199; the last slot ends up empty.
void TopicTable::shiftDownTo(int slot) {
    std::move(slots_.begin() + slot, slots_.end(), slots_.begin() + (slot - 1));
    slots_.back().fill(QByteArray());
}

void TopicTable::insertRows(int entry, const TopicRows& rows) {
    shiftUpFrom(entry);
    slots_[entry - 1] = rows;
    ++count_;
}

void TopicTable::removeTopic(int entry) {
    shiftDownTo(entry);
    --count_;
}

Refusal TopicTable::commitRows(int entry, const QList<QByteArray>& lines) {
    if (refuse(!isEntry(entry)))
        return refusal::kNoEntry;
    const bool append = isPseudoTopic(entry);
    if (append && isFull())
        return refusal::kTableFull;
    TopicRows rows;
    for (int row = 0; row < kRowsPerTopic && row < lines.size(); ++row)
        rows[row] = lines[row];
    if (append)
        insertRows(entry, rows);
    else
        slots_[entry - 1] = rows;
    return refusal::kNone;
}

Refusal TopicTable::insertEmptyTopic(int entry) {
    if (refuse(!isEntry(entry)))
        return refusal::kNoEntry;
    if (isPseudoTopic(entry))
        return refusal::kInsertBeforeNew;
    if (isFull())
        return refusal::kTableFull;
    insertRows(entry, TopicRows());
    return refusal::kNone;
}

Refusal TopicTable::deleteTopic(int entry) {
    if (refuse(!isEntry(entry)))
        return refusal::kNoEntry;
    if (isPseudoTopic(entry))
        return refusal::kDeleteNew;
    removeTopic(entry);
    return refusal::kNone;
}

TopicRows TopicTable::copyRecord(const TopicRows& rows) {
    TopicRows record;
    for (int row = 0; row < kRowsPerTopic; ++row)
        record[row] = rows[row].left(kCopyRowLength);
    return record;
}

Refusal TopicTable::copyTopic(int entry, TopicCopyBuffer& buffer) const {
    if (refuse(!isEntry(entry)))
        return refusal::kNoEntry;
    if (isPseudoTopic(entry))
        return refusal::kCopyNew;
    buffer.rows = copyRecord(slots_[entry - 1]);
    buffer.filled = true;
    return refusal::kNone;
}

Refusal TopicTable::insertTopicCopy(int entry, const TopicRows& record) {
    if (refuse(!isEntry(entry)))
        return refusal::kNoEntry;
    if (isFull())
        return refusal::kTableFull;
    insertRows(entry, copyRecord(record));
    return refusal::kNone;
}

bool TopicTable::moveChangesOrder(const TopicTable& source, int sourceEntry,
                                  const TopicTable& target, int targetEntry) {
    if (&source != &target)
        return true;
    return targetEntry != sourceEntry && targetEntry != sourceEntry + 1;
}

Refusal TopicTable::moveTopic(TopicTable& source, int sourceEntry, TopicTable& target,
                              int targetEntry, DragMode mode) {
    if (refuse(!source.isTopic(sourceEntry) || !target.isEntry(targetEntry)))
        return refusal::kNoEntry;
    const bool sameTable = &source == &target;
    if (sameTable && targetEntry == sourceEntry)
        return refusal::kNone;
    const TopicRows rows = source.slots_[sourceEntry - 1];

    if (mode == DragMode::Copy)
        return target.insertTopicCopy(targetEntry, rows);

    if (sameTable) {
        // Taking the topic out first keeps a full table within its slots.
        source.removeTopic(sourceEntry);
        source.insertRows(placeAfterMove(sourceEntry, targetEntry), rows);
        return refusal::kNone;
    }

    if (target.isFull())
        return refusal::kTableFull;
    // A move carries the full rows; only copies are cut to the copy width.
    target.insertRows(targetEntry, rows);
    source.removeTopic(sourceEntry);
    return refusal::kNone;
}
