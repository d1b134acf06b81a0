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

constexpr int kSocatReadyMs = 5000;
constexpr int kCalculatorEndMs = 20000;
// Longer than the longest transfer a test makes.
constexpr int kTransferEndMs = 90000;

// The calculator's side of the line: a three-wire cable, bytes unchanged, names as they come.
const QString kCalculatorSetup = QStringLiteral(
    "set line %1, set carrier-watch off, set flow none, set speed 9600, set file type binary, "
    "set file names literal, set send timeout 1, ");

} // namespace

const QString kTransferFailed = QStringLiteral("Transfer failed.");
const QString kPortFailed = QStringLiteral("Failed to initialise serial port.");

void requireKermitAndSocat() {
    for (const char* tool : {"kermit", "socat"}) {
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

NullModem::NullModem(const QString& directory) : directory_(directory) {
    QDir().mkpath(directory);
    socat_.setProgram(QStringLiteral("socat"));
    socat_.setArguments({QStringLiteral("pty,raw,echo=0,link=") + programEnd(),
                         QStringLiteral("pty,raw,echo=0,link=") + calculatorEnd()});
    socat_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    endWithTest(socat_);
    socat_.start();
    if (!socat_.waitForStarted())
        return;
    const QDeadlineTimer deadline(kSocatReadyMs);
    while (!deadline.hasExpired() && socat_.state() == QProcess::Running) {
        if (QFileInfo::exists(programEnd()) && QFileInfo::exists(calculatorEnd())) {
            ready_ = true;
            return;
        }
        QThread::msleep(20);
    }
}

NullModem::~NullModem() {
    if (socat_.state() != QProcess::NotRunning) {
        socat_.terminate();
        if (!socat_.waitForFinished(2000)) {
            socat_.kill();
            socat_.waitForFinished();
        }
    }
}

QString NullModem::programEnd() const {
    return directory_ + QStringLiteral("/program");
}

QString NullModem::calculatorEnd() const {
    return directory_ + QStringLiteral("/calculator");
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
    startKermit(QStringLiteral("cd {%1}, receive").arg(folder));
}

void Calculator::send(const QString& file, const QString& name, int pauseMs) {
    startKermit(QStringLiteral("set send pause %1, send {%2} %3").arg(pauseMs).arg(file, name));
}

bool Calculator::finish() {
    // It may have ended already while the program handled its events.
    if (kermit_.state() == QProcess::NotRunning || kermit_.waitForFinished(kCalculatorEndMs))
        return true;
    stop();
    return false;
}

// ---- the program ----

TransferProgram::TransferProgram(const QByteArray& extraSettings)
    : cable(sandbox.path(QStringLiteral("cable/"))) {
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
