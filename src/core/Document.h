#pragma once

#include "core/TopicTable.h"

#include <QObject>

// One database document: its topic table, the file it belongs to and whether it differs from
// that file. Every change to the topics goes through here, so whoever shows the document hears
// of each one. The operations return 0, or the id of the message that refuses them.
class Document : public QObject {
    Q_OBJECT

  public:
    explicit Document(QObject* parent = nullptr) : QObject(parent) {}

    const TopicTable& table() const { return table_; }
    QString fileName() const { return table_.fileName; }
    bool hasFile() const { return table_.fileName != kNoFileName; }
    bool isModified() const { return table_.modified; }
    void setModified(bool modified);
    // The entry the document works on (1 to n+1); the operations move it as they say.
    int selection() const { return table_.selection; }
    void setSelection(int entry) { table_.selection = entry; }
    // The row that titles each topic (1 to 7); not a change of the document.
    void setTopicLine(int row) { table_.topicLine = row; }

    // Reads the file: the topic count, or a negative result of readHpFile (nothing changes).
    int load(const QString& fileName);
    // Writes the file (trailing empty rows always, trailing empty topics when asked, which are
    // then gone from the document too); false leaves the file and the document as they were.
    bool save(const QString& fileName, bool trimTopics);
    // A document received from the calculator: its data came through a work file.
    void forgetFile();
    // Reads a recovery copy like load(), but the document stands for the original file (none
    // when empty) and differs from it.
    int restore(const QString& copyFile, const QString& originalFile);

    quint16 commitRows(int entry, const QList<QByteArray>& lines, bool editMode);
    quint16 insertEmptyTopic(int entry);
    quint16 deleteTopic(int entry);
    quint16 insertTopicCopy(int entry, const TopicRows& record);
    quint16 copyTopic(int entry, TopicCopyBuffer& buffer) const;
    static quint16 moveTopic(Document& source, int sourceEntry, Document& target, int targetEntry,
                             DragMode mode);
    // Puts the topics into a new order (a sort); the list entries keep their places.
    void reorder(const QList<TopicRows>& topics);

    // The topics as they stand, to take a change back as a whole later.
    QList<TopicRows> topics() const;
    // Puts such topics back, with the entry to select and the flag; no editing rule applies.
    void restoreTopics(const QList<TopicRows>& topics, int selection, bool modified);

  signals:
    void modifiedChanged(bool modified); // only when it turns
    void topicsChanged();                // after every change of the topics

  private:
    quint16 changed(quint16 refusal, bool wasModified); // a change not refused marks it

    TopicTable table_;
};
