#include "gui/dialogs/TransferDialog.h"

#include "core/Hp48Codec.h"
#include "core/HpFile.h"
#include "core/TopicTable.h"
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
#include "transfer/KermitRunner.h"
#include "ui_TransferDialog.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QShowEvent>

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

void removeFile(int number) {
    QFile::remove(programfiles::path(number));
}

// The files of a transfer in the work directory; none outlives the transfer.
void removeWorkFiles() {
    removeFile(programfiles::kTaskFile);
    removeFile(programfiles::kSendFile);
    removeFile(programfiles::kReceiveFile);
}

} // namespace

TransferDialog::TransferDialog(Preferences& preferences, Workspace& workspace, QWidget* parent)
    : QDialog(parent), preferences_(preferences), workspace_(workspace),
      ui_(std::make_unique<Ui::TransferDialog>()), kermit_(new KermitRunner(this)) {
    ui_->setupUi(this);
    ui_->busyIndicator->hide(); // shown while Kermit runs
    connect(ui_->nameOnCalculator, &QLineEdit::textChanged, this,
            &TransferDialog::updateStartButton);
    connect(ui_->startButton, &QPushButton::clicked, this, &TransferDialog::startTransfer);
    connect(ui_->closeButton, &QPushButton::clicked, this, [this] { done(kCloseResult); });
    connect(ui_->helpButton, &QPushButton::clicked, this, [] { showHelp(QStringLiteral("conn")); });
    connect(kermit_, &KermitRunner::started, this, &TransferDialog::kermitStarted);
    connect(kermit_, &KermitRunner::finished, this, &TransferDialog::kermitFinished);
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
    waitText_ = strings::text(textid::kWaitText);
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
    ui_->port->setText(settings::readString(ini, key::kPort, QString::fromLatin1(fallback::kPort)));
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

kermit::ScriptValues TransferDialog::scriptValuesForMode(const QByteArray& calculatorName) const {
    namespace key = settings::key;
    namespace fallback = settings::fallback;
    const SettingsFile& ini = preferences_.settings();
    const QString packetLength = QString::number(fallback::kScriptPacketLength);
    kermit::ScriptValues values;
    values.mode = transferMode_;
    values.device = kermit::deviceOfPort(ui_->port->text(), ini);
    values.baud = ui_->baud->text();
    values.parity = ui_->parity->text();
    values.retries = settings::readString(ini, key::kRetries, QString::number(fallback::kRetries));
    values.sendPacketLength = settings::readString(ini, key::kSendPacketLength, packetLength);
    values.receivePacketLength = settings::readString(ini, key::kReceivePacketLength, packetLength);
    values.sendFile = programfiles::path(programfiles::kSendFile);
    values.receiveFile = programfiles::path(programfiles::kReceiveFile);
    values.tarvoLibrary = programfiles::path(programfiles::kTarvoLibrary);
    values.nameOnCalculator = calculatorName;
    return values;
}

// A script that cannot be written makes Kermit fail, which the result then tells.
bool TransferDialog::writeTaskScript(const QByteArray& calculatorName) const {
    QFile script(programfiles::path(programfiles::kTaskFile));
    if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray text = kermit::takeScript(scriptValuesForMode(calculatorName));
    return script.write(text) == text.size();
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
    running_ = true;
    updateStartButton();
    ui_->statusLine->setText(waitText_);
    removeWorkFiles(); // left by a run that never ended; Kermit must find none of them
    writeTaskScript(calculatorName.bytes);
    if (!prepareFileToSend())
        return endTransfer(kermit::kNotStarted);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ui_->busyIndicator->show();
    kermit_->start(programfiles::path(programfiles::kKermit),
                   kermit::commandArguments(programfiles::path(programfiles::kTaskFile)));
}

// The size of what goes; false when the document cannot be written for Kermit.
bool TransferDialog::prepareFileToSend() {
    bytes_ = 0;
    switch (transferMode_) {
    case TransferMode::SendDocument:
        return writeSendFile();
    case TransferMode::SendLibrary:
        bytes_ = QFileInfo(programfiles::path(programfiles::kTarvoLibrary)).size();
        return true;
    case TransferMode::ReceiveFile:
        return true;
    }
    return true;
}

bool TransferDialog::writeSendFile() {
    DocumentWindow* document = workspace_.activeDocument();
    const QString sendFile = programfiles::path(programfiles::kSendFile);
    // Written as a save writes it, but the rows are trimmed only when Compress asks for it.
    if (document == nullptr || !writeHpFile(sendFile, document->document().table(),
                                            document->document().table().topicCount(),
                                            preferences_.compress, preferences_.deleteEmpty)) {
        thePrompter().showMessage(textid::kCannotWriteSendFile, MessageKind::Error);
        return false;
    }
    bytes_ = QFileInfo(sendFile).size();
    return true;
}

void TransferDialog::kermitFinished(int exitCode) {
    QApplication::restoreOverrideCursor();
    ui_->busyIndicator->hide();
    endTransfer(transferMode_ == TransferMode::ReceiveFile ? openReceivedFile(exitCode) : exitCode);
}

// A received file opens as a new document without a file of its own.
int TransferDialog::openReceivedFile(int exitCode) {
    const QString received = programfiles::path(programfiles::kReceiveFile);
    if (exitCode == kermit::kStopped)
        return exitCode; // whatever arrived is left unopened
    if (exitCode != kermit::kSuccess || !QFileInfo::exists(received))
        return kermit::kPortFailure;
    // A load that fails tells why, and its window goes again.
    DocumentWindow* document = workspace_.openDocument(received, Workspace::RecentFiles::Skip);
    if (document == nullptr)
        return kermit::kNotStarted;
    document->takeReceived();
    bytes_ = QFileInfo(received).size();
    return exitCode;
}

void TransferDialog::endTransfer(int result) {
    // Kermit deletes the send file itself, but not when it was stopped before the end.
    removeWorkFiles();
    running_ = false;
    updateStartButton();
    showResult(result);
}

void TransferDialog::showResult(int result) {
    switch (result) {
    case kermit::kPortFailure:
        ui_->statusLine->setText(strings::text(textid::kPortFailed));
        break;
    case kermit::kSuccess: {
        const qint64 seconds = kermit_->elapsedMs() / kMillisecondsPerSecond;
        ui_->statusLine->setText(
            strings::format(strings::text(textid::kTransferred),
                            {QString::number(bytes_), QString::number(seconds)}));
        break;
    }
    default:
        ui_->statusLine->setText(strings::text(textid::kTransferFailed));
        break;
    }
}

void TransferDialog::done(int result) {
    if (running_) {
        kermit_->stop();
        return;
    }
    QDialog::done(result);
}
