#include "gui/DataBox.h"

#include "core/Hp48Codec.h"
#include "gui/UndoSteps.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>

namespace {

enum class StepKey { None, Undo, Redo };

StepKey stepKeyOf(const QKeyEvent* key) {
    const QKeySequence pressed(key->keyCombination());
    if (kUndoKeys.contains(pressed))
        return StepKey::Undo;
    return kRedoKeys.contains(pressed) ? StepKey::Redo : StepKey::None;
}

} // namespace

DataBox::DataBox(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
}

// The document's plain text would turn a no-break space into a blank, so the raw text is split
// at paragraph and line breaks.
QStringList DataBox::lines() const {
    QString text = document()->toRawText();
    text.replace(QChar::LineSeparator, QChar::ParagraphSeparator);
    return text.split(QChar::ParagraphSeparator);
}

void DataBox::showLines(const QStringList& lines) {
    setPlainText(lines.join(u'\n'));
    moveCursor(QTextCursor::Start);
    verticalScrollBar()->setValue(0);
}

void DataBox::placeCursor(int line, qsizetype index) {
    const QStringList all = lines();
    qsizetype position = index;
    for (int before = 0; before < line && before < all.size(); ++before)
        position += all[before].size() + 1;
    QTextCursor cursor(document());
    cursor.setPosition(static_cast<int>(position));
    setTextCursor(cursor);
}

DataBox::Counts DataBox::counts() const {
    Counts counts;
    const QTextDocument* text = document();
    counts.rows = text->blockCount();
    if (text->lastBlock().text().isEmpty())
        --counts.rows;
    const QTextCursor cursor = textCursor();
    const QTextBlock first = text->findBlock(cursor.selectionStart());
    counts.cursorRow = first.blockNumber() + 1;
    if (first.text().isEmpty() && counts.cursorRow - 1 == counts.rows)
        --counts.cursorRow;
    // With a selection: the codes the selection leaves on the rows it touches.
    const QTextBlock last = text->findBlock(cursor.selectionEnd());
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        counts.rowLength += hp48::encodedLength(block.text());
        if (block == last)
            break;
    }
    counts.rowLength -=
        hp48::encodedLength(cursor.selectedText().remove(QChar::ParagraphSeparator));
    return counts;
}

bool DataBox::canInsertFromMimeData(const QMimeData* source) const {
    return source && !source->formats().isEmpty() && QPlainTextEdit::canInsertFromMimeData(source);
}

void DataBox::insertFromMimeData(const QMimeData* source) {
    if (source && !source->formats().isEmpty())
        QPlainTextEdit::insertFromMimeData(source);
}

bool DataBox::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const StepKey key = stepKeyOf(static_cast<QKeyEvent*>(event));
        if (key != StepKey::None) {
            event->setAccepted(key == StepKey::Undo ? document()->isUndoAvailable()
                                                    : document()->isRedoAvailable());
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

void DataBox::keyPressEvent(QKeyEvent* event) {
    switch (stepKeyOf(event)) {
    case StepKey::Undo:
        undo();
        break;
    case StepKey::Redo:
        redo();
        break;
    case StepKey::None:
        QPlainTextEdit::keyPressEvent(event);
        break;
    }
}
