#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class ScanDialog;
}
namespace scan {
class DirectoryScanner;
}
class Preferences;
class Workspace;

// The directory scanner: counts a text in every database file of the preferred directory,
// lists each file that holds it with its number of occurrences, and loads the listed files
// into new document windows. Made once, hidden between uses; the list keeps the last result.
class ScanDialog : public QDialog {
    Q_OBJECT

  public:
    ScanDialog(Preferences& preferences, Workspace& workspace, QWidget* parent = nullptr);
    ~ScanDialog() override;

    // The main window's Scanner command: the focus goes to the search text and the dialog is
    // shown modally; returns when it is closed.
    void showScanner();

    void startScan();    // Start: scan the directory
    void loadSelected(); // load the selected entry
    void loadAll();      // load every entry, first to last

    // The case choice and position, written with the other windows' when the program ends.
    void writeSettings() const;

  public slots:
    // Close, Escape and the window's close button. During a scan the scan is cancelled, and
    // once it has stopped the dialog closes; the entries found so far stay.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void fitSize();
    void readSettings();
    void setScanning(bool scanning);
    void showProgress(int done, int total);
    void addEntry(const QString& fileName, quint16 count);
    void scanFinished();
    void loadEntry(const QString& entry);

    Preferences& preferences_;
    Workspace& workspace_;
    std::unique_ptr<Ui::ScanDialog> ui_;
    scan::DirectoryScanner* scanner_;

    // The directory the listed names belong to: the preferred directory when the list was made.
    QString scannedDirectory_;
    bool scanning_ = false;
    bool closeRequested_ = false;
};
