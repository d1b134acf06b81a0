#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class Preferences;
class Workspace;

// The directory scanner: counts a text in every database file of the preferred directory,
// lists each file that holds it with its number of occurrences, and loads the listed files
// into new document windows. Made once, hidden between uses; the list keeps the last result.
class ScanDialog : public QDialog {
    Q_OBJECT

  public:
    ScanDialog(Preferences& preferences, Workspace& workspace, QWidget* parent = nullptr);

    // The main window's Scanner command: the focus goes to the search text and the dialog is
    // shown modally; returns when it is closed.
    void showScanner();

    void startScan();    // Start: scan the directory
    void closeScanner(); // Close
    void loadSelected(); // load the selected entry
    void loadAll();      // load every entry, first to last

    bool scanning() const { return scanning_; }

    // The case choice and position, written with the other windows' when the program ends.
    void writeSettings() const;

  public slots:
    // Close, Escape and the window's close button. During a scan the scan stops after the file
    // it is counting, and then the dialog closes.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void createControls();
    void fitSize();
    void readSettings();
    void setScanning(bool scanning);
    quint16 countIn(const QString& fileName) const;
    void loadEntry(const QString& entry);

    Preferences& preferences_;
    Workspace& workspace_;
    QLabel* label1_ = nullptr;
    QLineEdit* edit1_ = nullptr;
    QLabel* label2_ = nullptr;
    QCheckBox* checkBox1_ = nullptr;
    QPushButton* bitBtn1_ = nullptr;
    QPushButton* bitBtn2_ = nullptr;
    QPushButton* bitBtn3_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    QLabel* panel2_ = nullptr;
    QLabel* panel3_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* bitBtn4_ = nullptr;
    QPushButton* bitBtn5_ = nullptr;

    // The directory the listed names belong to: the preferred directory when the list was made.
    QString scannedDirectory_;
    bool scanning_ = false;
    bool closeRequested_ = false;
};
