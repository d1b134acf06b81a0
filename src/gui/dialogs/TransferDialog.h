#pragma once

#include "transfer/KermitScript.h"

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class TransferDialog;
}
class KermitRunner;
class Preferences;
class Workspace;

// The transfer dialog: sends the active document or the Tarvo library to the calculator, or
// receives one file from it, by writing a Kermit take script and running Kermit on it. Made
// once when the program starts and shown modally for each transfer.
class TransferDialog : public QDialog {
    Q_OBJECT

  public:
    TransferDialog(Preferences& preferences, Workspace& workspace, QWidget* parent = nullptr);
    ~TransferDialog() override;

    // Sets the dialog up for a mode and shows it modally; returns when it is closed. Sending
    // the library without the library file tells so and shows nothing.
    void openTransfer(TransferMode mode);
    // The set-up part of openTransfer; false when the dialog is not to be shown.
    bool prepareTransfer(TransferMode mode);
    // Runs each time the dialog is shown: the status line is cleared and the serial
    // parameters are read afresh.
    void prepareOnShow();
    // The transfer: writes the script and the file to send and starts Kermit; the result shows
    // in the status line when Kermit has ended. The program goes on handling its events
    // meanwhile.
    void startTransfer();

    TransferMode transferMode() const { return transferMode_; }
    bool transferRunning() const { return running_; }

    // Close, Esc or the window's close box: while Kermit runs they end it instead, and the
    // dialog stays open to tell that the transfer failed.
    void done(int result) override;

  signals:
    // Kermit runs with this process id.
    void kermitStarted(qint64 processId);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void updateStartButton();
    kermit::ScriptValues scriptValuesForMode(const QByteArray& calculatorName) const;
    bool writeTaskScript(const QByteArray& calculatorName) const;
    bool prepareFileToSend();
    bool writeSendFile();
    void kermitFinished(int exitCode);
    int openReceivedFile(int exitCode);
    void endTransfer(int result);
    void showResult(int result);

    Preferences& preferences_;
    Workspace& workspace_;
    TransferMode transferMode_ = TransferMode::SendDocument;
    QString waitText_;
    bool running_ = false;
    qint64 bytes_ = 0; // the size of the file that went or came
    std::unique_ptr<Ui::TransferDialog> ui_;
    KermitRunner* kermit_;
};
