#include "KermitPeer.h"

#include "ChildProcess.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/TransferDialog.h"
#include "platform/Paths.h"
#include "platform/SettingsFile.h"
#include "platform/StringTable.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

namespace {

constexpr int kCableReadyMs = 5000;
// The longest packet the calculator's Kermit takes: the largest length field of a short packet.
constexpr int kCalculatorPacketLength = 94;
constexpr int kCalculatorEndMs = 20000;
// Longer than the longest transfer a test makes.
constexpr int kTransferEndMs = 90000;

// The calculator's side of the line: a three-wire cable, bytes unchanged, names as they come,
// and the calculator's own Kermit rules.
const QString kCalculatorSetup = QStringLiteral(
    "set line %1, set carrier-watch off, set flow none, set speed 9600, set file type binary, "
    "set file names literal, set send timeout 1, set send packet-length 94, "
    "set receive packet-length 94, set window-size 1, set block-check 3, ");
const QString kCalculatorPrefixing = QStringLiteral("set control prefix all, ");

} // namespace

const QString kTransferFailed = QStringLiteral("Transfer failed.");
const QString kPortFailed = QStringLiteral("Failed to initialise serial port.");

void requireTransferTools() {
    for (const char* tool : {"kermit", "python3"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QFAIL(qPrintable(QStringLiteral("%1 is not installed: the transfer tests need it "
                                            "(scripts/setup installs it)")
                                 .arg(QLatin1String(tool))));
    }
}

bool reportsTransfer(const QString& status, qint64 bytes) {
    static const QRegularExpression pattern(
        QStringLiteral("^Transfered (\\d+) bytes in (\\d+) seconds\\.$"));
    const QRegularExpressionMatch match = pattern.match(status);
    return match.hasMatch() && match.captured(1).toLongLong() == bytes &&
           match.captured(2).toInt() >= 2;
}

// ---- the cable ----

NullModem::NullModem(const QString& directory, WireCheck check)
    : directory_(directory), check_(check) {
    QDir().mkpath(directory);
    relay_.setProgram(QStringLiteral("python3"));
    relay_.setArguments({QStringLiteral(OMBREL_SOURCE_DIR "/tests/e2e/wire_relay.py"), programEnd(),
                         calculatorEnd(), directory + QStringLiteral("/wire")});
    relay_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    endWithTest(relay_);
    relay_.start();
    if (!relay_.waitForStarted())
        return;
    const QDeadlineTimer deadline(kCableReadyMs);
    while (!deadline.hasExpired() && relay_.state() == QProcess::Running) {
        if (QFileInfo::exists(programEnd()) && QFileInfo::exists(calculatorEnd())) {
            ready_ = true;
            return;
        }
        QThread::msleep(20);
    }
}

NullModem::~NullModem() {
    if (relay_.state() != QProcess::NotRunning) {
        relay_.terminate();
        if (!relay_.waitForFinished(2000)) {
            relay_.kill();
            relay_.waitForFinished();
        }
    }
}

QString NullModem::programEnd() const {
    return directory_ + QStringLiteral("/program");
}

QString NullModem::calculatorEnd() const {
    return directory_ + QStringLiteral("/calculator");
}

QStringList NullModem::report() const {
    QFile file(directory_ + QStringLiteral("/wire"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

QStringList NullModem::rawControlCharacters(const QString& from) const {
    return report().filter(QRegularExpression(QStringLiteral("^fault ") + from + u' '));
}

int NullModem::longestPacket(const QString& from) const {
    int longest = 0;
    for (const QString& line : report().filter(QStringLiteral("longest ") + from + u' '))
        longest = std::max(longest, line.section(u' ', 2).toInt());
    return longest;
}

QString NullModem::unfitForCalculator() const {
    if (check_ == WireCheck::Off)
        return {};
    const QString program = QStringLiteral("program");
    QStringList unfit = rawControlCharacters(program);
    if (longestPacket(program) > kCalculatorPacketLength)
        unfit.append(QStringLiteral("a packet of %1 bytes").arg(longestPacket(program)));
    return unfit.join(u'\n');
}

// ---- the calculator ----

Calculator::Calculator(const QString& line) : line_(line) {}

Calculator::~Calculator() {
    stop();
}

void Calculator::stop() {
    if (kermit_.state() != QProcess::NotRunning) {
        kermit_.kill();
        kermit_.waitForFinished();
    }
}

void Calculator::startKermit(const QString& commands) {
    kermit_.setProgram(QStringLiteral("kermit"));
    kermit_.setArguments({QStringLiteral("-Y"), QStringLiteral("-C"),
                          kCalculatorSetup.arg(line_) + commands + QStringLiteral(", exit")});
    kermit_.setStandardInputFile(QProcess::nullDevice());
    kermit_.setStandardOutputFile(QProcess::nullDevice());
    endWithTest(kermit_);
    kermit_.start();
    QVERIFY2(kermit_.waitForStarted(), "the calculator's kermit did not start");
}

void Calculator::receiveInto(const QString& folder) {
    QDir().mkpath(folder);
    startKermit(kCalculatorPrefixing + QStringLiteral("cd {%1}, receive").arg(folder));
}

void Calculator::serveInto(const QString& folder) {
    QDir().mkpath(folder);
    serving_ = true;
    startKermit(kCalculatorPrefixing + QStringLiteral("cd {%1}, server").arg(folder));
}

void Calculator::send(const QString& file, const QString& name, int pauseMs, bool unfit) {
    startKermit((unfit ? QString() : kCalculatorPrefixing) +
                QStringLiteral("set send pause %1, send {%2} %3").arg(pauseMs).arg(file, name));
}

bool Calculator::finish() {
    if (serving_) { // a server serves on until it is stopped
        stop();
        return true;
    }
    // It may have ended already while the program handled its events.
    if (kermit_.state() == QProcess::NotRunning || kermit_.waitForFinished(kCalculatorEndMs))
        return true;
    stop();
    return false;
}

// ---- the program ----

TransferProgram::TransferProgram(const QByteArray& extraSettings, WireCheck check)
    : cable(sandbox.path(QStringLiteral("cable/")), check) {
    savedEnvironment.append({"PATH", qgetenv("PATH")});
    // Kermit must take the program and work directories literally, blanks, braces and all.
    qputenv("OMBREL_PROGDIR", QFile::encodeName(oddDirectory(QStringLiteral("prog"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(oddDirectory(QStringLiteral("run"))));
    QFile::setPermissions(qEnvironmentVariable("XDG_RUNTIME_DIR"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writeBytes(sandbox.settingsFile(),
               "[Application]\nLanguage=1\n[Transfer]\nPort=COM2\n" + extraSettings);
    setDevice(cable.programEnd());
    open();
    preferences.compress = true;
    dialog = new TransferDialog(preferences, *main, main.get());
    applyLanguage();
}

TransferProgram::~TransferProgram() {
    main.reset();
    for (const auto& [name, value] : savedEnvironment)
        qputenv(name.constData(), value);
}

QString TransferProgram::oddDirectory(const QString& name) const {
    const QString directory = sandbox.path(name + QStringLiteral(" dir {1} [a]*; #x/"));
    QDir().mkpath(directory);
    return directory;
}

void TransferProgram::setDevice(const QString& device) {
    settings.writeString("Transfer", "Device2", device);
}

QString TransferProgram::status() const {
    return dialog->findChild<QLabel*>(QStringLiteral("statusLine"))->text();
}

QStringList TransferProgram::workFilesLeft() const {
    return QDir(paths::workDir()).entryList(QDir::Files | QDir::Hidden);
}

QString TransferProgram::run(TransferMode mode, const QString& name) {
    if (!dialog->prepareTransfer(mode))
        return QStringLiteral("<not shown>");
    dialog->show();
    if (mode == TransferMode::SendDocument)
        dialog->findChild<QLineEdit*>(QStringLiteral("nameOnCalculator"))->setText(name);
    dialog->startTransfer();
    if (!QTest::qWaitFor([this] { return !dialog->transferRunning(); }, kTransferEndMs))
        return QStringLiteral("<still running>");
    return status();
}
