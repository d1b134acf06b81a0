#pragma once

#include "transfer/KermitScript.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QFrame;
class QLabel;
class QLineEdit;
class QProcess;
class QProgressBar;
class QPushButton;

// The transfer dialog: sends the active document or the Tarvo library to the calculator, or
// receives one file from it, by writing a Kermit take script and running Kermit on it. Made
// once when the program starts and shown modally for each transfer.
class Preferences;
class Workspace;

class TransferDialog : public QDialog {
    Q_OBJECT

  public:
    TransferDialog(Preferences& preferences, Workspace& workspace, QWidget* parent = nullptr);

    // Sets the dialog up for a mode and shows it modally; returns when it is closed. Sending
    // the library without the library file tells so and shows nothing.
    void openTransfer(TransferMode mode);
    // The set-up part of OpenTransfer; false when the dialog is not to be shown.
    bool prepareTransfer(TransferMode mode);
    // Runs each time the dialog is shown: the status line is cleared and the serial
    // parameters are read afresh.
    void prepareOnShow();
    // The transfer: runs while Kermit runs, keeping the program responsive, and shows its
    // result in the status line.
    void startTransfer();
    // Runs the Kermit program on the script and returns its exit code, kNotStarted when it
    // could not be started, kStopped when the user ended it, kAbnormalEnd when something
    // else did.
    int runKermit(const QString& program, const QStringList& arguments);

    TransferMode transferMode() const { return transferMode_; }
    bool transferRunning() const { return running_; }
    quint32 startTick() const { return startTick_; }
    quint32 endTick() const { return endTick_; }

    // Close, Esc or the window's close box: while Kermit runs they end it instead, and the
    // dialog stays open to tell that the transfer failed.
    void done(int result) override;

  signals:
    // Kermit runs with this process id; the transfer waits for it to end.
    void KermitStarted(qint64 processId);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    Preferences& preferences_;
    Workspace& workspace_;
    void createControls();
    void createParameterPanel();
    void createStatusPanel();
    void updateStartButton();
    kermit::ScriptValues scriptValuesForMode(const QByteArray& calculatorName) const;
    bool writeTaskScript(const QByteArray& calculatorName) const;
    void stopKermit();
    int runWithWaitCursor(const QStringList& arguments);
    int sendDocument(const QStringList& arguments, qint64& bytes);
    int receiveFile(const QStringList& arguments, qint64& bytes);
    int sendLibrary(const QStringList& arguments, qint64& bytes);
    void showResult(int runResult, qint64 bytes);

    TransferMode transferMode_ = TransferMode::SendDocument;
    QString waitText_;
    quint32 startTick_ = 0;
    quint32 endTick_ = 0;
    bool running_ = false;
    QProcess* kermit_ = nullptr; // the Kermit process while it runs
    bool stopRequested_ = false;

    QLabel* label5_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLabel* label11_ = nullptr;
    QFrame* panel1_ = nullptr;
    QLineEdit* port_ = nullptr;
    QLineEdit* baud_ = nullptr;
    QLineEdit* parity_ = nullptr;
    QLineEdit* bits_ = nullptr;
    QProgressBar* animate1_ = nullptr;
    QLabel* label12_ = nullptr;
    QPushButton* bitBtn1_ = nullptr;
    QPushButton* bitBtn2_ = nullptr;
    QPushButton* bitBtn3_ = nullptr;
};
