#include "core/Document.h"

#include "core/HpFile.h"

#include <utility>

void Document::select(int entry) {
    const int bounded = qBound(1, entry, table_.entryCount());
    if (std::exchange(selection_, bounded) != bounded)
        emit selectionChanged(bounded);
}

void Document::setTitleRow(int row) {
    const int bounded = qBound(1, row, kMaxTopicLine);
    if (std::exchange(titleRow_, bounded) != bounded)
        emit titleRowChanged(bounded);
}

void Document::updateModified() {
    const bool modified = !saved_ || *saved_ != table_.topics();
    if (std::exchange(modified_, modified) != modified)
        emit modifiedChanged(modified);
}

void Document::changed(int selection) {
    const int before = selection_;
    selection_ = qBound(1, selection, table_.entryCount());
    emit topicsChanged();
    if (selection_ != before)
        emit selectionChanged(selection_);
    updateModified();
}

// What the file holds is settled first, so that "modified" turns at most once.
void Document::setFile(const QString& fileName, std::optional<QList<TopicRows>> saved,
                       bool topicsRead) {
    saved_ = std::move(saved);
    if (std::exchange(fileName_, fileName) != fileName)
        emit fileNameChanged(fileName);
    if (topicsRead)
        changed(1);
    else
        updateModified();
}

int Document::load(const QString& fileName, hpfile::Omissions* omitted) {
    hpfile::ReadDetails details;
    const int result = readHpFile(fileName, table_, &details);
    if (result < 0)
        return result;
    header_ = details.header;
    if (omitted != nullptr)
        *omitted = details.omitted;
    setFile(fileName, table_.topics(), true);
    return result;
}

bool Document::save(const QString& fileName, bool trimTopics) {
    return save(fileName, trimTopics, header_);
}

bool Document::save(const QString& fileName, bool trimTopics, const hpfile::Header& header) {
    if (!writeHpFile(fileName, table_, table_.topicCount(), true, trimTopics, header))
        return false;
    header_ = header;
    // Without the empty topics the document holds what was written.
    const bool reread = trimTopics && readHpFile(fileName, table_) >= 0;
    setFile(fileName, table_.topics(), reread);
    return true;
}

int Document::restore(const QString& copyFile, const QString& originalFile) {
    hpfile::ReadDetails details;
    const int result = readHpFile(copyFile, table_, &details);
    if (result < 0)
        return result;
    header_ = details.header; // the copy is written with the document's values
    setFile(originalFile, std::nullopt, true);
    return result;
}

void Document::forgetFile() {
    setFile(QString(), std::nullopt, false);
}

Refusal Document::commitRows(int entry, const QList<QByteArray>& lines, bool editMode) {
    const Refusal refused = table_.commitRows(entry, lines);
    if (refused == refusal::kNone)
        changed(editMode ? entry + 1 : entry);
    return refused;
}

Refusal Document::insertEmptyTopic(int entry) {
    const Refusal refused = table_.insertEmptyTopic(entry);
    if (refused == refusal::kNone)
        changed(entry);
    return refused;
}

Refusal Document::deleteTopic(int entry) {
    const Refusal refused = table_.deleteTopic(entry);
    if (refused == refusal::kNone)
        changed(entry);
    return refused;
}

Refusal Document::insertTopicCopy(int entry, const TopicRows& record) {
    const Refusal refused = table_.insertTopicCopy(entry, record);
    if (refused == refusal::kNone)
        changed(entry);
    return refused;
}

Refusal Document::copyTopic(int entry, TopicCopyBuffer& buffer) const {
    return table_.copyTopic(entry, buffer);
}

Refusal Document::moveTopic(Document& source, int sourceEntry, Document& target, int targetEntry,
                            DragMode mode) {
    const bool sameDocument = &source == &target;
    if (sameDocument && sourceEntry == targetEntry)
        return refusal::kNone; // dropped on itself: nothing happens
    const Refusal refused =
        TopicTable::moveTopic(source.table_, sourceEntry, target.table_, targetEntry, mode);
    if (refused != refusal::kNone)
        return refused;
    if (sameDocument && mode == DragMode::Move) {
        target.changed(TopicTable::placeAfterMove(sourceEntry, targetEntry));
        return refused;
    }
    if (!sameDocument && mode == DragMode::Move)
        source.changed(sourceEntry);
    else if (!sameDocument)
        source.select(sourceEntry);
    target.changed(targetEntry);
    return refused;
}

void Document::sort(sort::Comparison comparison, bool descending) {
    sort::sortTable(table_, titleRow_, comparison, descending);
    changed(1);
}

void Document::putBack(const QList<TopicRows>& topics, int selection) {
    table_.fill(topics);
    changed(selection);
}
