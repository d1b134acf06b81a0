#pragma once

#include "core/Document.h"
#include "core/Find.h"
#include "core/Hp48Codec.h"
#include "gui/DocumentHistory.h"

#include <QWidget>

#include <memory>

class CalculatorScreen;
class DataBox;
class Preferences;
class QAction;
class QLabel;
class QMenu;
class TopicList;

// A document window: one database file (or a new document) in the main window's workspace,
// its topic list and its data box side by side. Every part of it redraws from the document's
// signals; its commands change the document and keep each change as a step of its history. It
// tells the main window what happens through its signals; the copy buffer it shares with every
// other document window.
class DocumentWindow : public QWidget {
    Q_OBJECT

  public:
    DocumentWindow(Preferences& preferences, TopicCopyBuffer& copyBuffer,
                   QWidget* parent = nullptr);
    ~DocumentWindow() override;

    Document& document() { return document_; }
    const Document& document() const { return document_; }
    DocumentHistory& history() { return history_; }
    QString caption() const { return windowTitle(); }

    bool loadFromFile(const QString& name);
    // A recovery copy, shown modified under its original file's name (none when empty).
    bool restoreFrom(const QString& copyFile, const QString& originalFile);
    // The document came from the calculator: no file of the user's holds it.
    void takeReceived();
    bool save(); // without a file name it goes on to Save as
    bool saveAs();
    // Whether the window may close: a modified document asks whether to save it first.
    bool closeQuery();

    // The commands on the document, as the menus and keys run them.
    void commitTopic();     // F5: the data box becomes the selected topic's rows
    void insertTopic();     // F4
    void deleteTopic();     // F8
    void copyTopic();       // into the copy buffer
    void insertTopicCopy(); // the copy buffer's topic before the selected entry
    void deleteText();      // the data box's selection
    void copyText();
    void pasteText();
    void sortTopics(sort::Comparison comparison, bool descending);
    // Selects the entry of a hit and the occurrence, codeLength codes long, in the data box.
    void showFindHit(const FindHit& hit, int codeLength);
    // Text at the data box's cursor, in place of its selection.
    void insertAtCursor(const QString& text);

    void arrangeBoxes(bool reversed);
    void setBoxColours(int textIndex, int backgroundIndex);
    // The calculator model was chosen again: code 160 shows as its glyph in the list and in
    // the data box, whose text keeps meaning the same codes.
    void showCalculatorGlyphs();
    // The calculator screen beside the data box as the settings have it: shown or not, its font
    // and its size. The window grows to hold it.
    void applyScreenSettings();
    // The code and name of the character right of the data box's cursor; empty at a line's end.
    QString characterAtCursor() const;

  signals:
    void statusText(const QString& text);
    void statusWarning(const QString& text); // in the warning colour
    void saved(const QString& fileName);     // written to that file
    void topicCopied();                      // the copy buffer holds a topic now
    void closing(DocumentWindow* document);  // its close was accepted
    void characterAtCursorChanged(const QString& text);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    struct Menus { // the menus the window opens itself, with the items it changes
        QMenu* list = nullptr;
        QAction* listInsert = nullptr;
        QAction* listDelete = nullptr;
        QAction* listCopy = nullptr;
        QAction* listInsertCopy = nullptr;
        QMenu* titleRow = nullptr;
        QList<QAction*> titleRows; // 1 to 7
        QMenu* drop = nullptr;
        QAction* dropCopy = nullptr;
        QAction* dropMove = nullptr;
    };
    enum class Caption { Unnamed, Received }; // of a document without a file

    void createBoxes();
    QWidget* createDataSide();
    QWidget* createListSide();
    QWidget* createScreenSide();
    void placeSides();
    void showOnScreen();
    void createListMenus();
    void watchDocument();
    void readTopicLineSetting();
    void showSelectedTopic(bool evenIfShown = false);
    void showTitleRow(int row);
    void updateRowCounters();
    void updateTopicPosition();
    void updateCaption();
    void updateIcon();
    void setStatus(quint16 textId);
    bool saveToFile(const QString& name, const hpfile::Header& header);
    // A file read into the document, or its failure reported with the file's name.
    bool showLoaded(int readResult, const QString& fileName);
    bool encodeDataBox(QList<QByteArray>& lines);
    bool commitDataBox();          // false when a character has no code or the table is full
    bool refused(Refusal refusal); // shows the message of a refused operation
    void record(quint16 nameId, const QList<TopicRows>& before, int undoEntry, int redoEntry);
    void openListMenu(int entry, const QPoint& globalPos);
    // A drop of a topic from a list (of this window or another) on an entry of this list: the
    // drop menu asks whether to copy or move it here.
    void dropFrom(DocumentWindow* source, int sourceEntry, int targetEntry,
                  const QPoint& globalPos);
    void moveOrCopyHere(DocumentWindow* source, int sourceEntry, int targetEntry, DragMode mode);

    Preferences& preferences_;
    TopicCopyBuffer& copyBuffer_;
    Document document_;
    DocumentHistory history_{document_};
    DataBox* dataBox_ = nullptr;
    TopicList* topicList_ = nullptr;
    hp48::Model shownModel_ = hp48::model(); // whose glyphs the boxes show
    QWidget* dataSide_ = nullptr;
    QWidget* listSide_ = nullptr;
    QWidget* screenSide_ = nullptr;
    CalculatorScreen* screen_ = nullptr;
    QLabel* screenGrid_ = nullptr;    // the columns and lines of the screen's font
    QLabel* rowCounter_ = nullptr;    // the cursor's row and the rows of the data box
    QLabel* rowLength_ = nullptr;     // codes in the cursor's row
    QLabel* titleRow_ = nullptr;      // the row that titles the topics
    QLabel* topicPosition_ = nullptr; // the selected entry and the number of topics
    std::unique_ptr<Menus> menus_;
    Caption caption_ = Caption::Unnamed;
    int shownEntry_ = 0;       // the entry whose rows the data box shows
    bool keepDataBox_ = false; // a selection that leaves the data box as it is
    bool reversed_ = false;    // the list left of the data box
};
