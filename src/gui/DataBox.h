#pragma once

#include <QPlainTextEdit>
#include <QStringList>

class QMimeData;

// The box that shows and edits the rows of one topic as lines of text in calculator characters.
class DataBox : public QPlainTextEdit {
    Q_OBJECT

  public:
    explicit DataBox(QWidget* parent = nullptr);

    // The lines as the user sees them; a no-break space (code 160) stays one.
    QStringList lines() const;
    // Shows a topic's lines for editing; what is typed from then on is the box's own until
    // taken. A line longer than the box can take is cut short, and the box is then only read:
    // it does not hold the whole lines.
    void showLines(const QStringList& lines);
    bool isCut() const { return cutLine_ > 0; }
    // The first line cut short, from 1, and its whole length in calculator codes, as texts.
    QStringList cutLine() const;
    // Text typed (or pasted) since the lines were shown or taken.
    bool hasTypedText() const;
    // What the box holds became the topic's: nothing typed is pending, nothing to take back.
    void textTaken();
    // Puts the cursor on a character: its line and its place in the line, from 0.
    void placeCursor(int line, qsizetype index);
    // Every `from` becomes `to`, as one edit; a box holding the stored rows still holds them.
    void replaceCharacter(QChar from, QChar to);

    struct Counts {
        int rows = 0;      // the lines with text, the last empty one not counted
        int cursorRow = 0; // the line of the cursor (of the selection's start), from 1
        int rowLength = 0; // calculator codes on the cursor's line, less those selected
    };
    Counts counts() const;
    // The text right of the cursor on its line, two units at most: enough for one code.
    QString textAtCursor() const;

    // Faint guides after the last column and below the last line the calculator's screen holds
    // in its font; none while columns is 0.
    void setScreenGrid(int columns, int lines);

  protected:
    void paintEvent(QPaintEvent* event) override;
    // The undo and redo keys take back the box's own typing while it has some; otherwise they
    // go on to the document's steps.
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Text only from a source that holds some: Qt 6.4's text control reads the first format of
    // a source without checking that there is one, so a paste from a clipboard that holds
    // nothing (a fresh session) would crash.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    // Files dragged from a file manager are no text to insert: their drag goes on to the main
    // window, which opens them.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    int cutLine_ = 0;
    qsizetype cutLineLength_ = 0;
    int gridColumns_ = 0;
    int gridLines_ = 0;
};
