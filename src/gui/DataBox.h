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
    void showLines(const QStringList& lines);
    // Puts the cursor on a character: its line and its place in the line, from 0.
    void placeCursor(int line, qsizetype index);

    struct Counts {
        int rows = 0;      // the lines with text, the last empty one not counted
        int cursorRow = 0; // the line of the cursor (of the selection's start), from 1
        int rowLength = 0; // calculator codes on the cursor's line, less those selected
    };
    Counts counts() const;

  protected:
    // The undo and redo keys take back the box's own typing while it has some; otherwise they
    // go on to the document's steps.
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Text only from a source that holds some: Qt 6.4's text control reads the first format of
    // a source without checking that there is one, so a paste from a clipboard that holds
    // nothing (a fresh session) would crash.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};
