#include "gui/DataBox.h"

#include "core/Hp48Codec.h"
#include "gui/StepKeys.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QUrl>

#include <algorithm>

namespace {

// The longest line the box shows. Laying out a line costs time in its length at every keystroke
// and every blink of the cursor: a row of megabytes, which a file may hold, would take seconds.
constexpr qsizetype kLongestLineShown = 4096;

enum class StepKey { None, Undo, Redo };

bool holdsFiles(const QMimeData* source) {
    const QList<QUrl> urls = source ? source->urls() : QList<QUrl>();
    return std::any_of(urls.cbegin(), urls.cend(),
                       [](const QUrl& url) { return url.isLocalFile(); });
}

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
    cutLine_ = 0;
    QStringList shown = lines;
    for (qsizetype line = 0; line < shown.size(); ++line) {
        if (shown[line].size() <= kLongestLineShown)
            continue;
        if (cutLine_ == 0) {
            cutLine_ = static_cast<int>(line + 1);
            cutLineLength_ = hp48::encodedLength(shown[line]);
        }
        shown[line].truncate(kLongestLineShown);
    }
    setReadOnly(isCut());
    setPlainText(shown.join(u'\n'));
    moveCursor(QTextCursor::Start);
    verticalScrollBar()->setValue(0);
    textTaken();
}

bool DataBox::hasTypedText() const {
    return document()->isModified();
}

void DataBox::textTaken() {
    document()->clearUndoRedoStacks();
    document()->setModified(false);
}

QStringList DataBox::cutLine() const {
    return {QString::number(cutLine_), QString::number(cutLineLength_)};
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

// The raw text, since the document's search would not find a no-break space; a character
// replaced by one keeps every position after it.
void DataBox::replaceCharacter(QChar from, QChar to) {
    const QString text = document()->toRawText();
    qsizetype at = text.indexOf(from);
    if (at < 0)
        return;
    const bool typed = hasTypedText();
    QTextCursor edit(document());
    edit.beginEditBlock();
    for (; at >= 0; at = text.indexOf(from, at + 1)) {
        edit.setPosition(static_cast<int>(at));
        edit.setPosition(static_cast<int>(at) + 1, QTextCursor::KeepAnchor);
        edit.insertText(QString(to));
    }
    edit.endEditBlock();
    if (!typed)
        textTaken();
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

QString DataBox::textAtCursor() const {
    QTextCursor cursor = textCursor();
    const QTextBlock line = cursor.block();
    const int lineEnd = line.position() + line.length() - 1; // before the paragraph break
    cursor.setPosition(cursor.position());
    cursor.setPosition(std::min(cursor.position() + 2, lineEnd), QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

void DataBox::setScreenGrid(int columns, int lines) {
    gridColumns_ = columns;
    gridLines_ = lines;
    viewport()->update();
}

// Lines do not wrap and all have one height, so the guides follow from the first line shown.
void DataBox::paintEvent(QPaintEvent* event) {
    QPlainTextEdit::paintEvent(event);
    if (gridColumns_ <= 0)
        return;
    QPainter painter(viewport());
    QColor faint = palette().color(QPalette::Text);
    faint.setAlpha(80);
    painter.setPen(QPen(faint, 1, Qt::DashLine));
    const QTextBlock shown = firstVisibleBlock();
    const QRectF first = blockBoundingGeometry(shown).translated(contentOffset());
    const qreal x = contentOffset().x() + document()->documentMargin() +
                    gridColumns_ * QFontMetricsF(font()).horizontalAdvance(u'M');
    const qreal y = first.top() + (gridLines_ - shown.blockNumber()) * first.height();
    painter.drawLine(QPointF(x, 0), QPointF(x, viewport()->height()));
    painter.drawLine(QPointF(0, y), QPointF(viewport()->width(), y));
}

bool DataBox::canInsertFromMimeData(const QMimeData* source) const {
    return source && !source->formats().isEmpty() && QPlainTextEdit::canInsertFromMimeData(source);
}

void DataBox::insertFromMimeData(const QMimeData* source) {
    if (source && !source->formats().isEmpty())
        QPlainTextEdit::insertFromMimeData(source);
}

void DataBox::dragEnterEvent(QDragEnterEvent* event) {
    if (holdsFiles(event->mimeData()))
        event->ignore();
    else
        QPlainTextEdit::dragEnterEvent(event);
}

void DataBox::dragMoveEvent(QDragMoveEvent* event) {
    if (holdsFiles(event->mimeData()))
        event->ignore();
    else
        QPlainTextEdit::dragMoveEvent(event);
}

void DataBox::dropEvent(QDropEvent* event) {
    if (holdsFiles(event->mimeData()))
        event->ignore();
    else
        QPlainTextEdit::dropEvent(event);
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
