#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class DocumentWindow;
class Preferences;
class TopicTable;
class Workspace;

// The sort dialog: asks for the order and the kind of comparison and sorts the topics of a
// document window by their titles. Made once when the program starts; its choices persist.
class SortDialog : public QDialog {
    Q_OBJECT

  public:
    // How two titles compare: by the user's locale or by calculator codes, each with or
    // without letter case.
    enum class Comparison { LocaleCase, LocaleNoCase, Ordinal, OrdinalNoCase };

    SortDialog(Preferences& preferences, Workspace& workspace, QWidget* parent = nullptr);

    // Sort topics: fewer than two topics are refused with a message; otherwise the dialog
    // asks, and Start sorts the document.
    void sortTopics(DocumentWindow* document);
    // Sorts the document as the dialog's choices say, without asking, and shows the result.
    void sortWithChoices(DocumentWindow* document);

    Comparison chosenComparison() const;
    bool descending() const;

    // Sorts topics 1 to n by their titles with a Shell sort of halving gaps. Equal titles are
    // never exchanged directly, but they may still change their order.
    static void sortTable(TopicTable& table, Comparison comparison, bool descending);

    // The dialog's choices and position, written with the other windows' when the program ends.
    void writeSettings() const;

  private:
    Preferences& preferences_;
    Workspace& workspace_;
    void createControls();
    void readSettings();

    QGroupBox* radioGroup1_ = nullptr;
    QRadioButton* ascending_ = nullptr;
    QRadioButton* descending_ = nullptr;
    QCheckBox* checkBox1_ = nullptr; // locale conventions
    QCheckBox* checkBox2_ = nullptr; // case sensitive
    QPushButton* bitBtn1_ = nullptr;
    QPushButton* bitBtn2_ = nullptr;
    QPushButton* bitBtn3_ = nullptr;
};
