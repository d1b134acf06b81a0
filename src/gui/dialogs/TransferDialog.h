#pragma once

#include "transfer/TransferMode.h"
#include "transfer/TransferOutcome.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <memory>

namespace Ui {
class TransferDialog;
}
class Document;
class Preferences;
class QTimer;
class TransferJob;
class Workspace;

// The transfer dialog: sends the document that was active when it opened, or the Tarvo library,
// to the calculator, or receives files from it. The transfer itself is a TransferJob; the
// dialog shows its progress and its result, and opens each received file in a window of its
// own.
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
    // Starts the transfer; the result shows in the status line when it has ended. The program
    // goes on handling its events meanwhile.
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
    void showProgress(qint64 bytes, qint64 total);
    void showElapsedTime();
    void openReceivedFile(const QString& file);
    void transferFinished(const transfer::Outcome& outcome, qint64 bytes);

    Preferences& preferences_;
    Workspace& workspace_;
    TransferMode transferMode_ = TransferMode::SendDocument;
    QPointer<Document> document_; // the document to send: the one active when the dialog opened
    bool running_ = false;
    bool receivedFileRefused_ = false; // a received file did not open
    std::unique_ptr<Ui::TransferDialog> ui_;
    TransferJob* job_;
    QTimer* clockTimer_;
    QElapsedTimer clock_;
};
