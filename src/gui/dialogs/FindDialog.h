#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class DocumentWindow;
class TopicTable;

// The find dialog: looks for a text in the selected topic of a document window, or from the
// selected topic on to the end of its list, and selects the first occurrence in the data box.
// Made once when the program starts and hidden between uses; the search it was last started
// with goes on with Repeat.
class Preferences;

class FindDialog : public QDialog {
    Q_OBJECT

  public:
    explicit FindDialog(Preferences& preferences, QWidget* parent = nullptr);

    // Find: shows the dialog modally; when it is closed with Start, its choices become the
    // search and the first occurrence is searched in the document.
    void showFind(DocumentWindow* document);
    // Start: takes the dialog's choices as the new search and searches once.
    bool startSearch(DocumentWindow* document);
    // Repeat: the next occurrence, from the entry selected in the document now. False after
    // telling that the text was not found.
    bool searchNext(DocumentWindow* document);

    // The search state, kept from one Start to the next.
    QString searchText() const { return searchText_; }
    bool matchCase() const { return matchCase_; }
    int stopTopic() const { return stopTopic_; }
    int searchRow() const { return searchRow_; }
    int matchOffset() const { return matchOffset_; }

    // The dialog's choices and position, written with the other windows' when the program ends.
    void writeSettings() const;

  signals:
    // A search was started: Repeat has something to repeat from now on.
    void searchStarted();

  private:
    Preferences& preferences_;
    struct Hit {
        int entry = 0;
        int row = 0;
        int position = 0; // 1-based byte position in the row; 0: not found
    };

    void createControls();
    void readSettings();
    Hit findFrom(const TopicTable& table, int entry);
    int searchRowOf(const TopicTable& table, int entry);
    int positionIn(const QByteArray& row, int from) const;
    void selectHit(DocumentWindow* document, const Hit& hit) const;

    QLineEdit* edit1_ = nullptr;
    QGroupBox* radioGroup2_ = nullptr;
    QRadioButton* currentTopic_ = nullptr;
    QRadioButton* allTopics_ = nullptr;
    QCheckBox* checkBox1_ = nullptr;
    QPushButton* bitBtn1_ = nullptr;
    QPushButton* bitBtn2_ = nullptr;
    QPushButton* bitBtn3_ = nullptr;

    QString searchText_;
    // The search text in calculator codes, upper-cased for a search without case; empty
    // when the text has a character without a code, which no row can hold.
    QByteArray searchCodes_;
    bool matchCase_ = false;
    int stopTopic_ = 0;
    int searchRow_ = 0;   // 0 to 10; 0: none searched yet
    int matchOffset_ = 0; // start of the last occurrence in row searchRow_; 0: none pending
};
