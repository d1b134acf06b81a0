// The document window's commands: the changes to the topics, files, closing and drops.
#include "core/HpFile.h"
#include "gui/DataBox.h"
#include "gui/DocumentWindow.h"
#include "gui/FileDialogs.h"
#include "gui/TopicList.h"
#include "gui/UndoSteps.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>

namespace {

// The message for a negative result of the reader; 0 for none.
quint16 loadFailureMessage(int result) {
    switch (result) {
    case hpfile::kCannotOpen:
        return textid::kCannotOpen;
    case hpfile::kNotHpFile:
        return textid::kNotHpFile;
    case hpfile::kTooManyTopics:
        return textid::kTooManyTopics;
    case hpfile::kNotRegularFile:
        return textid::kNotRegularFile;
    case hpfile::kTooLarge:
        return textid::kTooLarge;
    default:
        return 0;
    }
}

} // namespace

bool DocumentWindow::refused(quint16 refusal) {
    if (refusal == refusal::kNone)
        return false;
    thePrompter().showMessage(refusal, MessageKind::Information);
    return true;
}

// The first ten lines of the data box as rows; false after telling which character has no
// code, when one has (the cursor then stands on it).
bool DocumentWindow::encodeDataBox(QList<QByteArray>& lines) {
    const QStringList texts = dataBox_->lines();
    for (int row = 1; row <= kRowsPerTopic && row <= texts.size(); ++row) {
        const hp48::EncodedRow encoded = encodeStorableRow(texts[row - 1]);
        if (!encoded.ok()) {
            dataBox_->placeCursor(row - 1, encoded.badIndex);
            thePrompter().showMessage(textid::kNoHp48Code, MessageKind::Information,
                                      {QString::number(row), QString::number(encoded.badColumn)});
            return false;
        }
        lines.append(encoded.bytes);
    }
    return true;
}

bool DocumentWindow::refuseWhenFull() {
    return document_.table().isFull() && refused(refusal::kTableFull);
}

void DocumentWindow::changedAt(int entry) {
    refreshTopicList(entry);
    showTopic();
}

void DocumentWindow::commitTopic() {
    QList<QByteArray> lines;
    const int entry = selectedEntry();
    const QList<TopicRows> before = document_.topics();
    if (!encodeDataBox(lines) || refused(document_.commitRows(entry, lines, preferences_.editMode)))
        return;
    recordStep(textid::kStepCommit, before, entry, entry);
    dataBox_->document()->clearUndoRedoStacks(); // what was typed is the topic's now
    refreshTopicList(document_.selection());
    if (preferences_.editMode)
        showTopic();
    setStatus(textid::kDataCommitted);
    updateTopicPosition();
}

void DocumentWindow::insertTopic() {
    const int entry = selectedEntry();
    const QList<TopicRows> before = document_.topics();
    if (refused(document_.insertEmptyTopic(entry)))
        return;
    recordStep(textid::kStepInsert, before, entry, entry);
    refreshTopicList(entry);
    setStatus(textid::kTopicInserted);
    showTopic();
    dataBox_->setFocus();
}

void DocumentWindow::deleteTopic() {
    const int entry = selectedEntry();
    const TopicTable& table = document_.table();
    if (!table.isTopic(entry)) {
        refused(table.isPseudoTopic(entry) ? refusal::kDeleteNew : refusal::kNoEntry);
        return;
    }
    if (preferences_.askDelTopic) {
        MessageRequest question;
        question.baseId = textid::kReallyDelete;
        question.text = strings::text(textid::kReallyDelete);
        question.icon = MsgIcon::Question;
        question.buttons = {MsgButton::Yes, MsgButton::No};
        if (thePrompter().ask(question, Beep::Question) != MsgButton::Yes)
            return;
    }
    const QList<TopicRows> before = document_.topics();
    document_.deleteTopic(entry);
    recordStep(textid::kStepDelete, before, entry, entry);
    changedAt(entry);
}

void DocumentWindow::copyTopic() {
    if (refused(document_.copyTopic(selectedEntry(), copyBuffer_)))
        return;
    enableInsertCopy();
    setStatus(textid::kTopicCopied);
}

void DocumentWindow::insertTopicCopy() {
    if (!copyBuffer_.filled || refuseWhenFull())
        return;
    const int entry = selectedEntry();
    const QList<TopicRows> before = document_.topics();
    if (refused(document_.insertTopicCopy(entry, copyBuffer_.rows)))
        return;
    recordStep(textid::kStepInsertCopy, before, entry, entry);
    changedAt(entry);
}

// ---- steps ----

void DocumentWindow::recordStep(quint16 nameId, const QList<TopicRows>& before, int undoEntry,
                                int redoEntry) {
    history_->push(new TopicStep(nameId, {changedPart(this, before, undoEntry, redoEntry)}));
}

void DocumentWindow::showStep(const QList<TopicRows>& topics, int entry) {
    document_.restoreTopics(topics, entry, !history_->isSaved(topics));
    changedAt(entry);
}

// ---- files ----

bool DocumentWindow::loadFromFile(const QString& name) {
    return showLoaded(document_.load(name));
}

bool DocumentWindow::restoreFrom(const QString& copyFile, const QString& originalFile) {
    if (!showLoaded(document_.restore(copyFile, originalFile)))
        return false;
    history_->setSaved(std::nullopt); // no file holds the recovered topics
    return true;
}

bool DocumentWindow::showLoaded(int readResult) {
    if (readResult < 0) {
        if (const quint16 message = loadFailureMessage(readResult))
            thePrompter().showMessage(message, MessageKind::Error);
        return false;
    }
    history_->restart(document_.topics());
    refreshTopicList(1);
    showTopic();
    updateCaption();
    return true;
}

bool DocumentWindow::saveToFile(const QString& name) {
    if (!document_.save(name, preferences_.deleteEmpty)) {
        thePrompter().showMessage(textid::kCannotWriteFile, MessageKind::Error);
        return false;
    }
    history_->setSaved(document_.topics());
    if (preferences_.deleteEmpty) { // the empty topics went: show what was written
        refreshTopicList(1);
        showTopic();
    }
    updateCaption();
    setStatus(textid::kFileSaved);
    emit saved(name);
    return true;
}

bool DocumentWindow::save() {
    return document_.hasFile() ? saveToFile(document_.fileName()) : saveAs();
}

bool DocumentWindow::saveAs() {
    const QString suggested =
        document_.hasFile() ? QFileInfo(document_.fileName()).fileName() : windowTitle();
    const QString name =
        theFileDialogs().saveFileName(this, QStringLiteral("Datei speichern"),
                                      preferences_.preferredPath, suggested, allFilesFilter());
    return !name.isEmpty() && saveToFile(name);
}

bool DocumentWindow::closeQuery() {
    if (!document_.isModified())
        return true;
    MessageRequest question;
    question.baseId = textid::kSaveChanges;
    question.text = strings::format(strings::text(textid::kSaveChanges), {windowTitle()});
    question.icon = MsgIcon::Warning;
    question.buttons = {MsgButton::Yes, MsgButton::No, MsgButton::Cancel};
    const MsgButton answer = thePrompter().ask(question, Beep::Exclamation);
    return answer == MsgButton::No || (answer == MsgButton::Yes && save());
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (!closeQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closing(this);
}

// ---- the list's menu and drops ----

void DocumentWindow::openListMenu(int entry, const QPoint& globalPos) {
    enableInsertCopy();
    const bool topic = !document_.table().isPseudoTopic(entry);
    menus_->listInsert->setEnabled(topic);
    menus_->listDelete->setEnabled(topic);
    menus_->listCopy->setEnabled(topic);
    selectEntry(entry);
    runMenu(*menus_->list, globalPos);
}

bool DocumentWindow::dropFrom(DocumentWindow* source, int sourceEntry, int targetEntry,
                              const QPoint& globalPos) {
    if (source == this && targetEntry == sourceEntry)
        return false;
    Menus& m = *menus_;
    m.dropMove->setEnabled(TopicTable::moveChangesOrder(source->document_.table(), sourceEntry,
                                                        document_.table(), targetEntry));
    QAction* chosen = runMenu(*m.drop, globalPos);
    if (chosen == m.dropCopy || chosen == m.dropMove) {
        moveOrCopyHere(source, sourceEntry, targetEntry,
                       chosen == m.dropMove ? DragMode::Move : DragMode::Copy);
    } else {
        selectEntry(targetEntry);
        source->selectEntry(sourceEntry);
    }
    showTopic();
    return true;
}

// A move between two windows is one step of the target window that puts back both documents.
void DocumentWindow::moveOrCopyHere(DocumentWindow* source, int sourceEntry, int targetEntry,
                                    DragMode mode) {
    const QList<TopicRows> sourceBefore = source->document_.topics();
    const QList<TopicRows> before = document_.topics();
    if (refused(Document::moveTopic(source->document_, sourceEntry, document_, targetEntry, mode)))
        return;
    const bool move = mode == DragMode::Move;
    const int undoEntry = move && source == this ? sourceEntry : targetEntry;
    QList<StepPart> parts{changedPart(this, before, undoEntry, document_.selection())};
    if (move && source != this)
        parts.append(changedPart(source, sourceBefore, sourceEntry, sourceEntry));
    history_->push(new TopicStep(move ? textid::kStepMove : textid::kStepDragCopy, parts));
    if (source != this)
        source->refreshTopicList(source->document_.selection());
    refreshTopicList(document_.selection());
}
