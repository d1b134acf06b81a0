#include "gui/dialogs/TransferDialog.h"

#include "core/Document.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/ScreenPlacement.h"
#include "gui/Workspace.h"
#include "gui/dialogs/HelpWindow.h"
#include "platform/CompanionFiles.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"
#include "transfer/TransferJob.h"
#include "ui_TransferDialog.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QShowEvent>
#include <QTimer>

namespace {

constexpr int kCloseResult = 3;
constexpr int kMillisecondsPerSecond = 1000;
// The name field holds this while the mode needs no name, so that Start is enabled.
const QString kNoName = QStringLiteral("nil");

// The room between the name label and the name field.
constexpr int kLabelGap = 4;

// The label ends where the name field begins; while the field is hidden (the library needs no
// name) it takes the field's room too, so that its longer German text shows whole.
void placeNameLabel(QLabel& label, const QWidget& field, bool besideField) {
    const int end = besideField ? field.x() - kLabelGap : field.geometry().right() + 1;
    label.resize(end - label.x(), label.height());
}

// How often the elapsed time is shown afresh.
constexpr int kClockIntervalMs = 500;

} // namespace

TransferDialog::TransferDialog(Preferences& preferences, Workspace& workspace, QWidget* parent)
    : QDialog(parent), preferences_(preferences), workspace_(workspace),
      ui_(std::make_unique<Ui::TransferDialog>()), job_(new TransferJob(this)),
      clockTimer_(new QTimer(this)) {
    ui_->setupUi(this);
    ui_->busyIndicator->hide(); // shown while Kermit runs
    clockTimer_->setInterval(kClockIntervalMs);
    connect(clockTimer_, &QTimer::timeout, this, &TransferDialog::showElapsedTime);
    connect(ui_->nameOnCalculator, &QLineEdit::textChanged, this,
            &TransferDialog::updateStartButton);
    connect(ui_->startButton, &QPushButton::clicked, this, &TransferDialog::startTransfer);
    connect(ui_->closeButton, &QPushButton::clicked, this, [this] { done(kCloseResult); });
    connect(ui_->helpButton, &QPushButton::clicked, this, [] { showHelp(QStringLiteral("conn")); });
    connect(job_, &TransferJob::started, this, &TransferDialog::kermitStarted);
    connect(job_, &TransferJob::progress, this, &TransferDialog::showProgress);
    connect(job_, &TransferJob::received, this, &TransferDialog::openReceivedFile);
    connect(job_, &TransferJob::finished, this, &TransferDialog::transferFinished);
    placeOnScreen(*this,
                  settings::readPosition(preferences_.settings(), settings::key::kTransferPosition,
                                         settings::fallback::kTransferPosition));
    registerWindow(this);
}

TransferDialog::~TransferDialog() = default;

void TransferDialog::openTransfer(TransferMode mode) {
    if (prepareTransfer(mode))
        exec();
}

bool TransferDialog::prepareTransfer(TransferMode mode) {
    transferMode_ = mode;
    DocumentWindow* active = workspace_.activeDocument();
    document_ = active != nullptr ? &active->document() : nullptr;
    switch (mode) {
    case TransferMode::ReceiveFile:
        ui_->nameOnCalculator->setText(kNoName);
        ui_->nameOnCalculator->hide();
        ui_->nameLabel->hide();
        ui_->pressOnCalculator->setText(strings::text(textid::kPressSend));
        break;
    case TransferMode::SendLibrary:
        if (!QFileInfo(programfiles::path(programfiles::kTarvoLibrary)).isFile()) {
            thePrompter().showMessage(textid::kTarvoMissing, MessageKind::Error);
            return false;
        }
        ui_->nameOnCalculator->setText(kNoName);
        ui_->nameOnCalculator->hide();
        ui_->nameLabel->setText(strings::text(textid::kTarvoLabel));
        placeNameLabel(*ui_->nameLabel, *ui_->nameOnCalculator, false);
        ui_->nameLabel->show();
        ui_->pressOnCalculator->setText(strings::text(textid::kPressReceive));
        break;
    case TransferMode::SendDocument:
        ui_->nameOnCalculator->clear();
        ui_->nameOnCalculator->show();
        ui_->nameLabel->setText(strings::text(textid::kNameLabel));
        placeNameLabel(*ui_->nameLabel, *ui_->nameOnCalculator, true);
        ui_->nameLabel->show();
        ui_->pressOnCalculator->setText(strings::text(textid::kPressReceive));
        break;
    }
    return true;
}

void TransferDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        prepareOnShow();
}

void TransferDialog::prepareOnShow() {
    namespace key = settings::key;
    namespace fallback = settings::fallback;
    const SettingsFile& ini = preferences_.settings();
    ui_->statusLine->clear();
    ui_->transferProgress->reset();
    ui_->transferProgress->setTextVisible(false);
    ui_->elapsedTime->clear();
    ui_->port->setText(settings::readString(ini, key::kPort, QString::fromLatin1(fallback::kPort)));
    ui_->port->setToolTip(ui_->port->text()); // a device path is longer than the field
    ui_->baud->setText(settings::readString(ini, key::kBaud, QString::number(fallback::kBaud)));
    ui_->parity->setText(
        settings::readString(ini, key::kParity, QString::fromLatin1(fallback::kParity)));
    if (transferMode_ == TransferMode::SendDocument)
        ui_->nameOnCalculator->setFocus();
    else
        ui_->startButton->setFocus();
}

void TransferDialog::updateStartButton() {
    ui_->startButton->setEnabled(!ui_->nameOnCalculator->text().isEmpty() && !running_);
}

void TransferDialog::startTransfer() {
    if (running_)
        return;
    // A name the calculator cannot store is refused before anything is written or sent.
    const hp48::EncodedRow calculatorName = kermit::calculatorName(ui_->nameOnCalculator->text());
    if (transferMode_ == TransferMode::SendDocument && !calculatorName.ok()) {
        thePrompter().showMessage(textid::kNameWithoutHp48Code, MessageKind::Information,
                                  {QString::number(calculatorName.badColumn)});
        return;
    }
    if (transferMode_ == TransferMode::SendDocument && document_ == nullptr) {
        // The document the dialog was opened for has gone.
        thePrompter().showMessage(textid::kCannotWriteSendFile, MessageKind::Error);
        ui_->statusLine->setText(strings::text(textid::kTransferFailed));
        return;
    }
    TransferRequest request =
        requestFromSettings(preferences_.settings(), transferMode_, ui_->port->text(),
                            ui_->baud->text(), ui_->parity->text());
    request.script.nameOnCalculator = calculatorName.bytes;
    if (transferMode_ == TransferMode::SendDocument) {
        // Written as a save writes it, but the rows are trimmed only when Compress asks for it.
        request.table = document_->table();
        request.topicCount = document_->table().topicCount();
        request.header = document_->header();
        request.trimRows = preferences_.compress;
        request.trimTopics = preferences_.deleteEmpty;
    }
    running_ = true;
    receivedFileRefused_ = false;
    updateStartButton();
    ui_->statusLine->setText(strings::text(textid::kWaitText));
    ui_->transferProgress->reset();
    ui_->transferProgress->setTextVisible(false);
    clock_.start();
    showElapsedTime();
    clockTimer_->start();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ui_->busyIndicator->show();
    job_->start(request);
}

void TransferDialog::showProgress(qint64 bytes, qint64 total) {
    QProgressBar& bar = *ui_->transferProgress;
    bar.setTextVisible(true);
    if (total > 0) {
        bar.setRange(0, 1000);
        bar.setValue(static_cast<int>(bytes * 1000 / total));
        bar.setFormat(strings::format(strings::text(textid::kBytesOfTotal),
                                      {QString::number(bytes), QString::number(total)}));
    } else {
        bar.setRange(0, 0); // nothing to measure against: it runs to and fro
        bar.setFormat(
            strings::format(strings::text(textid::kBytesReceived), {QString::number(bytes)}));
    }
}

void TransferDialog::showElapsedTime() {
    ui_->elapsedTime->setText(
        strings::format(strings::text(textid::kElapsedTime),
                        {QString::number(clock_.elapsed() / kMillisecondsPerSecond)}));
}

// A received file opens as a new document without a file of its own; a load that fails tells
// why, and its window goes again.
void TransferDialog::openReceivedFile(const QString& file) {
    DocumentWindow* document = workspace_.openReceivedFile(file);
    if (document == nullptr) {
        receivedFileRefused_ = true;
        return;
    }
    document->takeReceived();
}

void TransferDialog::transferFinished(const transfer::Outcome& outcome, qint64 bytes) {
    clockTimer_->stop();
    showElapsedTime();
    QApplication::restoreOverrideCursor();
    ui_->busyIndicator->hide();
    running_ = false;
    updateStartButton();
    if (outcome.cause == transfer::Cause::CannotWriteSendFile)
        thePrompter().showMessage(textid::kCannotWriteSendFile, MessageKind::Error);
    if (outcome.cause == transfer::Cause::Done && !receivedFileRefused_) {
        // Full, with all that went or came.
        QProgressBar& bar = *ui_->transferProgress;
        const bool received = transferMode_ == TransferMode::ReceiveFile;
        showProgress(bytes, received ? 0 : bytes);
        bar.setRange(0, 1);
        bar.setValue(1);
        ui_->statusLine->setText(transfer::describe(outcome, strings::language(), bytes,
                                                    job_->elapsedMs() / kMillisecondsPerSecond));
        return;
    }
    // A send file that cannot be written and a received file that does not open have told so in
    // their boxes; they read as a failed transfer, as a stop does.
    const bool plainFailure = outcome.cause == transfer::Cause::CannotWriteSendFile ||
                              outcome.cause == transfer::Cause::Done;
    ui_->statusLine->setText(plainFailure ? strings::text(textid::kTransferFailed)
                                          : transfer::describe(outcome, strings::language()));
}

void TransferDialog::done(int result) {
    if (running_) {
        job_->stop();
        return;
    }
    QDialog::done(result);
}
