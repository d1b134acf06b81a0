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

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>

namespace {

constexpr int kCloseResult = 3;
constexpr int kMillisecondsPerSecond = 1000;
// The name field holds this while the mode needs no name, so that Start is enabled.
const QString kNoName = QStringLiteral("nil");
// The caption of a document received from the calculator, in both languages.
const QString kFromCalculator = QStringLiteral("Vom HP");

constexpr QSize kClientSize{400, 262};
constexpr int kMargin = 12;
constexpr int kLineHeight = 18;
constexpr int kTextWidth = 250;
constexpr QRect kPanel1Geometry{276, 10, 112, 112};
constexpr QRect kPanel3Geometry{kMargin, 176, 376, 40};
constexpr int kButtonsY = 226;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 8;

QLabel* makeLabel(QWidget* parent, const char* name, quint16 tag, QRect geometry) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    if (tag != 0)
        label->setProperty(kTagProperty, tag);
    label->setGeometry(geometry);
    return label;
}

QLineEdit* makeField(QWidget* parent, const char* name, QRect geometry) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setGeometry(geometry);
    return field;
}

QPushButton* makeButton(QWidget* parent, const char* name, quint16 tag, int index) {
    auto* button = tagged(new QPushButton(parent), name, tag);
    button->setGeometry(kClientSize.width() - kMargin - (3 - index) * kButtonWidth -
                            (2 - index) * kButtonGap,
                        kButtonsY, kButtonWidth, kButtonHeight);
    return button;
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
    : QDialog(parent), preferences_(preferences), workspace_(workspace) {
    setObjectName(QStringLiteral("Connect"));
    setProperty(kTagProperty, textid::kTransferCaption);
    setFixedSize(kClientSize);
    createControls();
    placeOnScreen(*this,
                  settings::readPosition(preferences_.settings(), settings::key::kTransferPosition,
                                         settings::fallback::kTransferPosition));
    kermit_ = new KermitRunner(this);
    connect(kermit_, &KermitRunner::started, this, &TransferDialog::kermitStarted);
    connect(kermit_, &KermitRunner::finished, this, &TransferDialog::kermitFinished);
    registerWindow(this);
}

void TransferDialog::createControls() {
    label5_ = makeLabel(this, "Label5", textid::kNameLabel, QRect(kMargin, 14, 130, kLineHeight));
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("Name"));
    name_->setGeometry(146, 10, 116, 24);
    label5_->setBuddy(name_);
    connect(name_, &QLineEdit::textChanged, this, &TransferDialog::updateStartButton);

    const int instructionsY = 46;
    makeLabel(this, "Label7", textid::kInstruction1,
              QRect(kMargin, instructionsY, kTextWidth, kLineHeight));
    makeLabel(this, "Label8", textid::kInstruction2,
              QRect(kMargin, instructionsY + kLineHeight, kTextWidth, kLineHeight));
    makeLabel(this, "Label9", textid::kInstruction3,
              QRect(kMargin, instructionsY + 2 * kLineHeight, kTextWidth, kLineHeight));
    label11_ = makeLabel(this, "Label11", 0,
                         QRect(kMargin, instructionsY + 3 * kLineHeight, kTextWidth, kLineHeight));
    const int warningY = 128;
    makeLabel(this, "Label6", textid::kWarning1, QRect(kMargin, warningY, kTextWidth, kLineHeight));
    makeLabel(this, "Label10", textid::kWarning2,
              QRect(kMargin, warningY + kLineHeight, kTextWidth, kLineHeight));

    createParameterPanel();
    createStatusPanel();

    bitBtn1_ = makeButton(this, "BitBtn1", textid::kStart, 0);
    bitBtn1_->setDefault(true);
    bitBtn1_->setEnabled(false);
    bitBtn2_ = makeButton(this, "BitBtn2", textid::kClose, 1);
    bitBtn3_ = makeButton(this, "BitBtn3", textid::kHelp, 2);
    connect(bitBtn3_, &QPushButton::clicked, this, [] { showHelp(QStringLiteral("conn")); });
    connect(bitBtn1_, &QPushButton::clicked, this, &TransferDialog::startTransfer);
    connect(bitBtn2_, &QPushButton::clicked, this, [this] { done(kCloseResult); });
}

// The serial parameters, shown only: the settings dialog changes them.
void TransferDialog::createParameterPanel() {
    panel1_ = new QFrame(this);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    panel1_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel1_->setGeometry(kPanel1Geometry);
    panel1_->setEnabled(false);
    constexpr int kRowHeight = 26;
    constexpr int kFieldX = 56;
    constexpr QSize kFieldSize{48, 22};
    const auto row = [](int index) { return 6 + index * kRowHeight; };
    makeLabel(panel1_, "Label1", 0, QRect(6, row(0) + 2, 48, kLineHeight))
        ->setText(QStringLiteral("Port :"));
    port_ = makeField(panel1_, "Port", QRect(QPoint(kFieldX, row(0)), kFieldSize));
    makeLabel(panel1_, "Label2", 0, QRect(6, row(1) + 2, 48, kLineHeight))
        ->setText(QStringLiteral("Baud :"));
    baud_ = makeField(panel1_, "Baud", QRect(QPoint(kFieldX, row(1)), kFieldSize));
    makeLabel(panel1_, "Label4", textid::kTransferParityLabel,
              QRect(6, row(2) + 2, 48, kLineHeight));
    parity_ = makeField(panel1_, "Parity", QRect(QPoint(kFieldX, row(2)), kFieldSize));
    makeLabel(panel1_, "Label3", 0, QRect(6, row(3) + 2, 48, kLineHeight))
        ->setText(QStringLiteral("Bits :"));
    bits_ = makeField(panel1_, "Bits", QRect(QPoint(kFieldX, row(3)), kFieldSize));
    bits_->setText(QStringLiteral("8/1"));
}

// The busy indicator and the status line.
void TransferDialog::createStatusPanel() {
    auto* panel3 = new QFrame(this);
    panel3->setObjectName(QStringLiteral("Panel3"));
    panel3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel3->setGeometry(kPanel3Geometry);
    animate1_ = new QProgressBar(panel3);
    animate1_->setObjectName(QStringLiteral("Animate1"));
    animate1_->setRange(0, 0); // busy, without a measure of progress
    animate1_->setTextVisible(false);
    animate1_->setGeometry(8, 12, 56, 16);
    animate1_->hide();
    label12_ = makeLabel(panel3, "Label12", 0, QRect(68, 4, kPanel3Geometry.width() - 76, 32));
    label12_->setAlignment(Qt::AlignCenter);
    label12_->setWordWrap(true);
}

void TransferDialog::openTransfer(TransferMode mode) {
    if (prepareTransfer(mode))
        exec();
}

bool TransferDialog::prepareTransfer(TransferMode mode) {
    transferMode_ = mode;
    waitText_ = strings::text(textid::kWaitText);
    switch (mode) {
    case TransferMode::ReceiveFile:
        name_->setText(kNoName);
        name_->hide();
        label5_->hide();
        label11_->setText(strings::text(textid::kPressSend));
        break;
    case TransferMode::SendLibrary:
        if (!QFileInfo(programfiles::path(programfiles::kTarvoLibrary)).isFile()) {
            thePrompter().showMessage(textid::kTarvoMissing, MessageKind::Error);
            return false;
        }
        name_->setText(kNoName);
        name_->hide();
        label5_->setText(strings::text(textid::kTarvoLabel));
        label5_->show();
        label11_->setText(strings::text(textid::kPressReceive));
        break;
    case TransferMode::SendDocument:
        name_->clear();
        name_->show();
        label5_->setText(strings::text(textid::kNameLabel));
        label5_->show();
        label11_->setText(strings::text(textid::kPressReceive));
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
    label12_->clear();
    port_->setText(settings::readString(ini, key::kPort, QString::fromLatin1(fallback::kPort)));
    baud_->setText(settings::readString(ini, key::kBaud, QString::number(fallback::kBaud)));
    parity_->setText(
        settings::readString(ini, key::kParity, QString::fromLatin1(fallback::kParity)));
    if (transferMode_ == TransferMode::SendDocument)
        name_->setFocus();
    else
        bitBtn1_->setFocus();
}

void TransferDialog::updateStartButton() {
    bitBtn1_->setEnabled(!name_->text().isEmpty() && !running_);
}

kermit::ScriptValues TransferDialog::scriptValuesForMode(const QByteArray& calculatorName) const {
    namespace key = settings::key;
    namespace fallback = settings::fallback;
    const SettingsFile& ini = preferences_.settings();
    const QString packetLength = QString::number(fallback::kScriptPacketLength);
    kermit::ScriptValues values;
    values.mode = transferMode_;
    values.device = kermit::deviceOfPort(port_->text(), ini);
    values.baud = baud_->text();
    values.parity = parity_->text();
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
    const hp48::EncodedRow calculatorName = kermit::calculatorName(name_->text());
    if (transferMode_ == TransferMode::SendDocument && !calculatorName.ok()) {
        thePrompter().showMessage(textid::kNameWithoutHp48Code, MessageKind::Information,
                                  {QString::number(calculatorName.badColumn)});
        return;
    }
    running_ = true;
    updateStartButton();
    label12_->setText(waitText_);
    removeWorkFiles(); // left by a run that never ended; Kermit must find none of them
    writeTaskScript(calculatorName.bytes);
    if (!prepareFileToSend())
        return endTransfer(kermit::kNotStarted);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    animate1_->show();
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
    if (document == nullptr ||
        !writeHpFile(sendFile, document->table(), document->table().topicCount(),
                     preferences_.compress, preferences_.deleteEmpty)) {
        thePrompter().showMessage(textid::kCannotWriteSendFile, MessageKind::Error);
        return false;
    }
    bytes_ = QFileInfo(sendFile).size();
    return true;
}

void TransferDialog::kermitFinished(int exitCode) {
    QApplication::restoreOverrideCursor();
    animate1_->hide();
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
    document->table().fileName = kNoFileName;
    document->setModified(true);
    document->setWindowTitle(kFromCalculator);
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
        label12_->setText(strings::text(textid::kPortFailed));
        break;
    case kermit::kSuccess: {
        const qint64 seconds = kermit_->elapsedMs() / kMillisecondsPerSecond;
        label12_->setText(strings::format(strings::text(textid::kTransferred),
                                          {QString::number(bytes_), QString::number(seconds)}));
        break;
    }
    default:
        label12_->setText(strings::text(textid::kTransferFailed));
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
