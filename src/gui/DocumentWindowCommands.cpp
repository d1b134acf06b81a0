// The document window's commands: the changes to the topics, files, closing and drops.
#include "core/HpFile.h"
#include "gui/DataBox.h"
#include "gui/DocumentWindow.h"
#include "gui/FileDialogs.h"
#include "gui/OpenFailures.h"
#include "gui/TopicList.h"
#include "platform/OmissionText.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>
#include <QTextBlock>

#include <algorithm>

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

quint16 refusalMessage(Refusal refusal) {
    switch (refusal) {
    case refusal::kInsertBeforeNew:
        return textid::kInsertBeforeNew;
    case refusal::kDeleteNew:
        return textid::kDeleteNew;
    case refusal::kCopyNew:
        return textid::kCopyNew;
    case refusal::kTableFull:
        return textid::kTableFull;
    case refusal::kNoEntry:
        return textid::kNoEntry;
    case refusal::kNone:
        break;
    }
    return 0;
}

// How Save as offers to write the codes from 128 on: as bytes (mode 1) or as backslash codes
// (mode 3), and first as the file was read when that was mode 0 or 2, which neither names.
// The filters and the mode each stands for; `offered` is the document's own.
QStringList saveChoices(int mode, QList<int>& modes, int& offered) {
    QStringList filters;
    modes.clear();
    if (mode == 0 || mode == 2) {
        filters.append(
            strings::format(strings::text(textid::kSaveAsRead), {QString::number(mode)}));
        modes.append(mode);
    }
    filters << strings::text(textid::kSaveAsBytes) << strings::text(textid::kSaveAsCodes);
    modes << 1 << 3;
    offered = static_cast<int>(modes.indexOf(mode));
    return filters;
}

// A row of the data box past the tenth that holds text, which a commit does not store.
bool holdsTextPastTheTenthRow(const QStringList& lines) {
    for (qsizetype line = kRowsPerTopic; line < lines.size(); ++line) {
        if (!lines[line].isEmpty())
            return true;
    }
    return false;
}

} // namespace

bool DocumentWindow::refused(Refusal refusal) {
    if (refusal == refusal::kNone)
        return false;
    thePrompter().showMessage(refusalMessage(refusal), MessageKind::Information);
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

// A change of the document becomes a step: the topics before it, the entry selected once it is
// undone and once it is made again.
void DocumentWindow::record(quint16 nameId, const QList<TopicRows>& before, int undoEntry,
                            int redoEntry) {
    history_.record(nameId, {changedPart(document_, before, undoEntry, redoEntry)});
}

void DocumentWindow::commitTopic() {
    commitDataBox();
}

bool DocumentWindow::commitDataBox() {
    if (dataBox_->isCut()) { // the box does not hold the topic's whole rows
        thePrompter().showMessage(textid::kRowTooLong, MessageKind::Error, dataBox_->cutLine());
        return false;
    }
    QList<QByteArray> lines;
    if (!encodeDataBox(lines))
        return false;
    const bool linesLeftOut = holdsTextPastTheTenthRow(dataBox_->lines());
    const int entry = document_.selection();
    const QList<TopicRows> before = document_.topics();
    if (refused(document_.commitRows(entry, lines, preferences_.editMode)))
        return false;
    dataBox_->textTaken();
    record(textid::kStepCommit, before, entry, entry);
    if (linesLeftOut) // the box shows the rows stored now
        emit statusWarning(strings::text(textid::kLinesNotStored));
    else
        setStatus(textid::kDataCommitted);
    return true;
}

void DocumentWindow::insertTopic() {
    const int entry = document_.selection();
    const QList<TopicRows> before = document_.topics();
    if (refused(document_.insertEmptyTopic(entry)))
        return;
    record(textid::kStepInsert, before, entry, entry);
    setStatus(textid::kTopicInserted);
    dataBox_->setFocus();
}

void DocumentWindow::deleteTopic() {
    const int entry = document_.selection();
    if (!document_.table().isTopic(entry)) {
        refused(refusal::kDeleteNew);
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
    record(textid::kStepDelete, before, entry, entry);
}

void DocumentWindow::copyTopic() {
    if (refused(document_.copyTopic(document_.selection(), copyBuffer_)))
        return;
    emit topicCopied();
    setStatus(textid::kTopicCopied);
}

void DocumentWindow::insertTopicCopy() {
    if (!copyBuffer_.filled)
        return;
    const int entry = document_.selection();
    const QList<TopicRows> before = document_.topics();
    if (refused(document_.insertTopicCopy(entry, copyBuffer_.rows)))
        return;
    record(textid::kStepInsertCopy, before, entry, entry);
}

void DocumentWindow::deleteText() {
    dataBox_->textCursor().removeSelectedText();
}

void DocumentWindow::copyText() {
    dataBox_->copy();
}

void DocumentWindow::pasteText() {
    dataBox_->paste();
}

// The sort only changes the order of the topics: every entry keeps its place in the list and
// takes the title now standing there.
void DocumentWindow::sortTopics(sort::Comparison comparison, bool descending) {
    const QList<TopicRows> before = document_.topics();
    document_.sort(comparison, descending);
    record(textid::kStepSort, before, 1, 1);
    setStatus(textid::kTopicsSorted);
    topicList_->setFocus();
}

// The box shows each row decoded, one line per row, and some codes take two characters there:
// the selection is measured on the decoded row.
void DocumentWindow::showFindHit(const FindHit& hit, int codeLength) {
    document_.select(hit.entry);
    showSelectedTopic(true); // the rows searched, not what was typed over them
    dataBox_->setFocus();
    const QByteArray& row = document_.table().row(hit.entry, hit.row);
    const QTextBlock line = dataBox_->document()->findBlockByNumber(hit.row - 1);
    // A row too long for the box is shown cut short: a hit past its end selects up to there.
    const auto shownLength = [](const QByteArray& codes) {
        return static_cast<int>(hp48::decodeRow(codes).size());
    };
    const int lineEnd = line.position() + line.length() - 1;
    const int start = std::min(lineEnd, line.position() + shownLength(row.left(hit.position - 1)));
    const int end = std::min(lineEnd, start + shownLength(row.mid(hit.position - 1, codeLength)));
    QTextCursor cursor(dataBox_->document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    dataBox_->setTextCursor(cursor);
}

void DocumentWindow::insertAtCursor(const QString& text) {
    dataBox_->insertPlainText(text);
}

// ---- files ----

bool DocumentWindow::loadFromFile(const QString& name) {
    hpfile::Omissions omitted;
    if (!showLoaded(document_.load(name, &omitted), name))
        return false;
    if (omitted.any()) {
        MessageRequest message;
        message.baseId = textid::kLeftOutIntro;
        message.text = omissionText(omitted, QFileInfo(name).fileName(), strings::language());
        message.buttons = {MsgButton::Ok};
        thePrompter().ask(message, Beep::Asterisk);
    }
    return true;
}

bool DocumentWindow::restoreFrom(const QString& copyFile, const QString& originalFile) {
    return showLoaded(document_.restore(copyFile, originalFile), copyFile);
}

void DocumentWindow::takeReceived() {
    caption_ = Caption::Received;
    document_.forgetFile();
    updateCaption();
}

bool DocumentWindow::showLoaded(int readResult, const QString& fileName) {
    if (readResult < 0) {
        if (const quint16 message = loadFailureMessage(readResult))
            OpenFailures::report(message, fileName);
        return false;
    }
    history_.clear();
    showSelectedTopic(true);
    return true;
}

bool DocumentWindow::saveToFile(const QString& name, const hpfile::Header& header) {
    if (!document_.save(name, preferences_.deleteEmpty, header)) {
        thePrompter().showMessage(textid::kCannotWriteFile, MessageKind::Error);
        return false;
    }
    setStatus(textid::kFileSaved);
    emit saved(name);
    return true;
}

bool DocumentWindow::save() {
    return document_.hasFile() ? saveToFile(document_.fileName(), document_.header()) : saveAs();
}

bool DocumentWindow::saveAs() {
    const QString suggested =
        document_.hasFile() ? QFileInfo(document_.fileName()).fileName() : windowTitle();
    hpfile::Header header = document_.header();
    QList<int> modes;
    int chosen = 0;
    const QStringList filters = saveChoices(header.translation, modes, chosen);
    const QString name =
        theFileDialogs().saveFileName(this, QStringLiteral("Datei speichern"),
                                      preferences_.preferredPath, suggested, filters, chosen);
    if (name.isEmpty())
        return false;
    header.translation = modes.value(chosen, header.translation);
    return saveToFile(name, header);
}

// Text typed into the data box and not committed counts as a change too: Yes commits it before
// the save, No drops it with the rest.
bool DocumentWindow::closeQuery() {
    const bool typed = dataBox_->hasTypedText();
    if (!document_.isModified() && !typed)
        return true;
    MessageRequest question;
    question.baseId = textid::kSaveChanges;
    question.text = strings::format(strings::text(textid::kSaveChanges), {windowTitle()});
    question.icon = MsgIcon::Warning;
    question.buttons = {MsgButton::Yes, MsgButton::No, MsgButton::Cancel};
    const MsgButton answer = thePrompter().ask(question, Beep::Exclamation);
    if (answer != MsgButton::Yes)
        return answer == MsgButton::No;
    return (!typed || commitDataBox()) && save();
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

// The entry under the mouse is selected, but the data box keeps what it shows: a commit from
// the menu stores it into that entry.
void DocumentWindow::openListMenu(int entry, const QPoint& globalPos) {
    const bool topic = !document_.table().isPseudoTopic(entry);
    menus_->listInsert->setEnabled(topic);
    menus_->listDelete->setEnabled(topic);
    menus_->listCopy->setEnabled(topic);
    menus_->listInsertCopy->setEnabled(copyBuffer_.filled);
    keepDataBox_ = true;
    document_.select(entry);
    keepDataBox_ = false;
    menus_->list->exec(globalPos);
}

void DocumentWindow::dropFrom(DocumentWindow* source, int sourceEntry, int targetEntry,
                              const QPoint& globalPos) {
    if (source == this && targetEntry == sourceEntry)
        return;
    Menus& m = *menus_;
    m.dropMove->setEnabled(TopicTable::moveChangesOrder(source->document_.table(), sourceEntry,
                                                        document_.table(), targetEntry));
    QAction* chosen = m.drop->exec(globalPos);
    if (chosen == m.dropCopy || chosen == m.dropMove) {
        moveOrCopyHere(source, sourceEntry, targetEntry,
                       chosen == m.dropMove ? DragMode::Move : DragMode::Copy);
    } else {
        document_.select(targetEntry);
        source->document_.select(sourceEntry);
    }
    // The lists showed where the drag went; each shows its document's selection again.
    topicList_->selectEntry(document_.selection());
    source->topicList_->selectEntry(source->document_.selection());
}

// A move between two windows is one step of the target window that puts back both documents.
void DocumentWindow::moveOrCopyHere(DocumentWindow* source, int sourceEntry, int targetEntry,
                                    DragMode mode) {
    Document& from = source->document_;
    const QList<TopicRows> sourceBefore = from.topics();
    const QList<TopicRows> before = document_.topics();
    if (refused(Document::moveTopic(from, sourceEntry, document_, targetEntry, mode)))
        return;
    const bool move = mode == DragMode::Move;
    const int undoEntry = move && source == this ? sourceEntry : targetEntry;
    QList<StepPart> parts{changedPart(document_, before, undoEntry, document_.selection())};
    if (move && source != this)
        parts.append(changedPart(from, sourceBefore, sourceEntry, sourceEntry));
    history_.record(move ? textid::kStepMove : textid::kStepDragCopy, parts);
}
