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

#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QTimer>

#include <signal.h>
#include <unistd.h>

namespace {

constexpr int kCloseResult = 3;
constexpr int kMillisecondsPerSecond = 1000;
// How long Kermit may take to end when asked before it is killed.
constexpr int kStopGraceMs = 1500;
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

// A tick count in milliseconds that only ever goes forward; it wraps after 49 days, which the
// difference of two ticks survives.
quint32 tickCount() {
    return static_cast<quint32>(QDeadlineTimer::current().deadline());
}

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
    stopRequested_ = false;
    updateStartButton();
    label12_->setText(waitText_);
    removeWorkFiles(); // left by a run that never ended; Kermit must find none of them
    writeTaskScript(calculatorName.bytes);
    const QStringList arguments =
        kermit::commandArguments(programfiles::path(programfiles::kTaskFile));
    qint64 bytes = 0;
    int runResult = kermit::kNotStarted;
    switch (transferMode_) {
    case TransferMode::ReceiveFile:
        runResult = receiveFile(arguments, bytes);
        break;
    case TransferMode::SendLibrary:
        runResult = sendLibrary(arguments, bytes);
        break;
    case TransferMode::SendDocument:
        runResult = sendDocument(arguments, bytes);
        break;
    }
    // Kermit deletes the send file itself, but not when it was stopped before the end.
    removeWorkFiles();
    running_ = false;
    updateStartButton();
    showResult(runResult, bytes);
}

int TransferDialog::runWithWaitCursor(const QStringList& arguments) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    repaint();
    const int result = runKermit(programfiles::path(programfiles::kKermit), arguments);
    QApplication::restoreOverrideCursor();
    return result;
}

int TransferDialog::sendDocument(const QStringList& arguments, qint64& bytes) {
    DocumentWindow* document = workspace_.activeDocument();
    const QString sendFile = programfiles::path(programfiles::kSendFile);
    // Written as a save writes it, but the rows are trimmed only when Compress asks for it.
    if (document == nullptr ||
        !writeHpFile(sendFile, document->table(), document->table().topicCount(),
                     preferences_.compress, preferences_.deleteEmpty)) {
        thePrompter().showMessage(textid::kCannotWriteSendFile, MessageKind::Error);
        return kermit::kNotStarted;
    }
    bytes = QFileInfo(sendFile).size();
    return runWithWaitCursor(arguments);
}

// A received file opens as a new document without a file of its own.
int TransferDialog::receiveFile(const QStringList& arguments, qint64& bytes) {
    int runResult = runWithWaitCursor(arguments);
    const QString received = programfiles::path(programfiles::kReceiveFile);
    if (runResult == kermit::kStopped)
        return runResult; // whatever arrived is left unopened
    if (runResult != kermit::kSuccess || !QFileInfo::exists(received))
        return kermit::kPortFailure;
    // A load that fails tells why, and its window goes again.
    if (DocumentWindow* document =
            workspace_.openDocument(received, Workspace::RecentFiles::Skip)) {
        document->table().fileName = kNoFileName;
        document->setModified(true);
        document->setWindowTitle(kFromCalculator);
        bytes = QFileInfo(received).size();
    } else {
        runResult = kermit::kNotStarted;
    }
    QFile::remove(received);
    return runResult;
}

int TransferDialog::sendLibrary(const QStringList& arguments, qint64& bytes) {
    bytes = QFileInfo(programfiles::path(programfiles::kTarvoLibrary)).size();
    return runWithWaitCursor(arguments);
}

void TransferDialog::showResult(int runResult, qint64 bytes) {
    switch (runResult) {
    case kermit::kPortFailure:
        label12_->setText(strings::text(textid::kPortFailed));
        break;
    case kermit::kSuccess: {
        const qint32 seconds = static_cast<qint32>(endTick_ - startTick_) / kMillisecondsPerSecond;
        label12_->setText(strings::format(strings::text(textid::kTransferred),
                                          {QString::number(bytes), QString::number(seconds)}));
        break;
    }
    default:
        label12_->setText(strings::text(textid::kTransferFailed));
        break;
    }
}

int TransferDialog::runKermit(const QString& program, const QStringList& arguments) {
    if (program.isEmpty())
        return kermit::kNotStarted;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    // Kermit reads no keyboard: a script that stopped short of its end ends Kermit instead of
    // waiting. Its own session keeps it off any terminal the program was started from.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setChildProcessModifier([] { ::setsid(); });
    QEventLoop waiting;
    bool ended = false;
    connect(&process, &QProcess::finished, &waiting, [&] {
        ended = true;
        waiting.quit();
    });
    process.start();
    if (!process.waitForStarted())
        return kermit::kNotStarted;
    startTick_ = tickCount();
    animate1_->show();
    kermit_ = &process;
    const auto forget = qScopeGuard([this] { kermit_ = nullptr; });
    emit KermitStarted(process.processId());
    // The program goes on handling its events while Kermit runs.
    if (!ended && process.state() != QProcess::NotRunning)
        waiting.exec();
    animate1_->hide();
    endTick_ = tickCount();
    // Kermit ends with 0 when it is asked to end, which would read as a port failure.
    if (stopRequested_)
        return kermit::kStopped;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : kermit::kAbnormalEnd;
}

// Kermit leads a process group of its own: the whole group is asked to end, and killed when it
// has not ended after a moment.
void TransferDialog::stopKermit() {
    if (kermit_ == nullptr || kermit_->state() == QProcess::NotRunning || stopRequested_)
        return; // a transfer that has ended keeps its result
    stopRequested_ = true;
    const auto group = static_cast<pid_t>(kermit_->processId());
    ::kill(-group, SIGTERM);
    QTimer::singleShot(kStopGraceMs, kermit_, [process = kermit_, group] {
        if (process->state() != QProcess::NotRunning)
            ::kill(-group, SIGKILL);
    });
}

void TransferDialog::done(int result) {
    if (running_) {
        stopKermit();
        return;
    }
    QDialog::done(result);
}
