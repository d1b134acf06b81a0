#pragma once

#include "core/HpFile.h"
#include "core/Sort.h"
#include "core/TopicTable.h"

#include <QObject>
#include <QString>

#include <optional>

// One database document, the model every view of it watches: its topics, the entry it works
// on, the row that titles each topic, the file it belongs to and the topics that file holds.
// Every change goes through here and is announced by a signal, so a view redraws from the
// signals alone. "Modified" is no flag of its own: the document is modified while its topics
// differ from what its file holds, and always while no file holds them (received from the
// calculator, restored from a recovery copy) until it is saved.
class Document : public QObject {
    Q_OBJECT

  public:
    explicit Document(QObject* parent = nullptr) : QObject(parent) {}

    const TopicTable& table() const { return table_; }
    QList<TopicRows> topics() const { return table_.topics(); }

    // Empty while the document belongs to no file.
    QString fileName() const { return fileName_; }
    bool hasFile() const { return !fileName_.isEmpty(); }
    bool isModified() const { return modified_; }

    // The entry the document works on (1 to n+1); the operations move it as they say.
    int selection() const { return selection_; }
    void select(int entry); // kept within the list
    // The row that titles each topic (1 to 7); choosing it is no change of the document.
    int titleRow() const { return titleRow_; }
    void setTitleRow(int row);
    QByteArray title(int entry) const { return table_.row(entry, titleRow_); }

    // The header's values the document is written with: those of the file it was read from,
    // else those of a new document.
    const hpfile::Header& header() const { return header_; }
    void setHeader(const hpfile::Header& header) { header_ = header; }

    // Reads the file: the topic count, or a negative result of readHpFile (nothing changes).
    // What the read left out goes to `omitted` when given.
    int load(const QString& fileName, hpfile::Omissions* omitted = nullptr);
    // Writes the file (trailing empty rows always, trailing empty topics when asked, which are
    // then gone from the document too); false leaves the file and the document as they were.
    bool save(const QString& fileName, bool trimTopics);
    // The same with other header values, which are the document's from then on.
    bool save(const QString& fileName, bool trimTopics, const hpfile::Header& header);
    // Reads a recovery copy like load(), but the document stands for the original file (none
    // when empty), which does not hold these topics.
    int restore(const QString& copyFile, const QString& originalFile);
    // Read from a work file that is no file of the user's: the document has none and differs
    // from every file until it is saved.
    void forgetFile();

    Refusal commitRows(int entry, const QList<QByteArray>& lines, bool editMode);
    Refusal insertEmptyTopic(int entry);
    Refusal deleteTopic(int entry);
    Refusal insertTopicCopy(int entry, const TopicRows& record);
    Refusal copyTopic(int entry, TopicCopyBuffer& buffer) const;
    static Refusal moveTopic(Document& source, int sourceEntry, Document& target, int targetEntry,
                             DragMode mode);
    // Puts the topics into the order of their titles; the first entry is selected.
    void sort(sort::Comparison comparison, bool descending);
    // Puts topics back as they stood once (undo and redo), with the entry to select.
    void putBack(const QList<TopicRows>& topics, int selection);

  signals:
    void topicsChanged();             // after every change of the topics
    void selectionChanged(int entry); // only when it moves
    void titleRowChanged(int row);    // only when it turns
    void fileNameChanged(const QString& fileName);
    void modifiedChanged(bool modified); // only when it turns

  private:
    // After the topics changed: the new selection, then the signals.
    void changed(int selection);
    void setFile(const QString& fileName, std::optional<QList<TopicRows>> saved, bool topicsRead);
    void updateModified();

    TopicTable table_;
    hpfile::Header header_;
    QString fileName_;
    // What the file holds; none when no file holds the document. A new document holds nothing
    // that needs saving.
    std::optional<QList<TopicRows>> saved_{QList<TopicRows>()};
    int selection_ = 1;
    int titleRow_ = 1;
    bool modified_ = false;
};
