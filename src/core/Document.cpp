#include "core/Document.h"

#include "core/HpFile.h"

void Document::setModified(bool modified) {
    const bool was = table_.modified;
    table_.modified = modified;
    if (was != modified)
        emit modifiedChanged(modified);
}

// The table's own operations mark it modified; the flag as it was before tells whether the
// document turned modified now.
quint16 Document::changed(quint16 refusal, bool wasModified) {
    if (refusal == refusal::kNone) {
        table_.modified = wasModified;
        setModified(true);
        emit topicsChanged();
    }
    return refusal;
}

int Document::load(const QString& fileName) {
    const int result = readHpFile(fileName, table_);
    if (result >= 0) {
        table_.fileName = fileName;
        setModified(false);
    }
    return result;
}

bool Document::save(const QString& fileName, bool trimTopics) {
    if (!writeHpFile(fileName, table_, table_.topicCount(), true, trimTopics))
        return false;
    if (trimTopics)
        readHpFile(fileName, table_); // what was written, without the empty topics
    table_.fileName = fileName;
    setModified(false);
    return true;
}

int Document::restore(const QString& copyFile, const QString& originalFile) {
    const int result = readHpFile(copyFile, table_);
    if (result >= 0) {
        table_.fileName = originalFile.isEmpty() ? kNoFileName : originalFile;
        setModified(true);
        emit topicsChanged();
    }
    return result;
}

void Document::forgetFile() {
    table_.fileName = kNoFileName;
}

quint16 Document::commitRows(int entry, const QList<QByteArray>& lines, bool editMode) {
    const bool wasModified = table_.modified;
    return changed(table_.commitRows(entry, lines, editMode), wasModified);
}

quint16 Document::insertEmptyTopic(int entry) {
    const bool wasModified = table_.modified;
    return changed(table_.insertEmptyTopic(entry), wasModified);
}

quint16 Document::deleteTopic(int entry) {
    const bool wasModified = table_.modified;
    return changed(table_.deleteTopic(entry), wasModified);
}

quint16 Document::insertTopicCopy(int entry, const TopicRows& record) {
    const bool wasModified = table_.modified;
    return changed(table_.insertTopicCopy(entry, record), wasModified);
}

quint16 Document::copyTopic(int entry, TopicCopyBuffer& buffer) const {
    return table_.copyTopic(entry, buffer);
}

quint16 Document::moveTopic(Document& source, int sourceEntry, Document& target, int targetEntry,
                            DragMode mode) {
    if (&source == &target && sourceEntry == targetEntry)
        return refusal::kNone; // dropped on itself: nothing happens
    const bool sourceWasModified = source.table_.modified;
    const bool targetWasModified = target.table_.modified;
    const quint16 refused =
        TopicTable::moveTopic(source.table_, sourceEntry, target.table_, targetEntry, mode);
    if (refused != refusal::kNone)
        return refused;
    if (&source != &target && mode == DragMode::Move)
        source.changed(refusal::kNone, sourceWasModified);
    return target.changed(refusal::kNone, targetWasModified);
}

void Document::reorder(const QList<TopicRows>& topics) {
    const bool wasModified = table_.modified;
    table_.fill(topics);
    changed(refusal::kNone, wasModified);
}

QList<TopicRows> Document::topics() const {
    QList<TopicRows> topics;
    topics.reserve(table_.topicCount());
    for (int slot = 1; slot <= table_.topicCount(); ++slot)
        topics.append(table_.topic(slot));
    return topics;
}

void Document::restoreTopics(const QList<TopicRows>& topics, int selection, bool modified) {
    table_.fill(topics);
    table_.selection = qBound(1, selection, table_.entryCount());
    setModified(modified);
    emit topicsChanged();
}
