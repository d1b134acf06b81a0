// send, receive and send-library: the calculator transfer from the command line, through the
// same job as the transfer dialog, with its checks, its causes and its texts (in English).
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"

#include "core/HpFile.h"
#include "core/TopicTable.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "platform/Settings.h"
#include "platform/SettingsFile.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"
#include "transfer/KermitScript.h"
#include "transfer/TransferJob.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <functional>
#include <memory>
#include <unistd.h>

namespace cli {
namespace {

// Ctrl-C or a request to end stops Kermit, which runs in a session of its own and does not see
// the terminal's signal.
std::atomic<bool> stopRequested{false};

void requestStop(int) {
    stopRequested = true;
}

// Takes "OPTION VALUE" out of the arguments; false when the option stands without a value.
bool takeOption(QStringList& arguments, const QString& option, QString& value) {
    const qsizetype at = arguments.indexOf(option);
    if (at < 0)
        return true;
    if (at + 1 >= arguments.size())
        return false;
    value = arguments.takeAt(at + 1);
    arguments.removeAt(at);
    return true;
}

struct Options {
    QString port;
    QString baud;
    QString name;
};

// --port DEVICE (required), --baud N, and --name NAME where the command takes it.
bool takeOptions(QStringList& arguments, Options& options, bool withName) {
    if (!takeOption(arguments, QStringLiteral("--port"), options.port) ||
        !takeOption(arguments, QStringLiteral("--baud"), options.baud) ||
        (withName && !takeOption(arguments, QStringLiteral("--name"), options.name)))
        return false;
    bool number = options.baud.isEmpty();
    if (!number)
        options.baud.toUInt(&number);
    return !options.port.isEmpty() && number;
}

class Transfer {
  public:
    Transfer(TransferMode mode, const Options& options)
        : ini_(paths::settingsFile()), preferences_(ini_) {
        preferences_.read();
        namespace key = settings::key;
        namespace fallback = settings::fallback;
        const QString baud =
            options.baud.isEmpty()
                ? settings::readString(ini_, key::kBaud, QString::number(fallback::kBaud))
                : options.baud;
        const QString parity =
            settings::readString(ini_, key::kParity, QString::fromLatin1(fallback::kParity));
        request = requestFromSettings(ini_, mode, options.port, baud, parity);
        // A folder of its own, so that it meets no transfer of the program or of another run.
        if (const QString base = paths::usableWorkDir(); !base.isEmpty())
            work_ = std::make_unique<QTemporaryDir>(base + QStringLiteral("/cli-XXXXXX"));
        request.workFolder = work_ != nullptr && work_->isValid() ? work_->path() : QString();
        request.trimRows = preferences_.compress;
        request.trimTopics = preferences_.deleteEmpty;
    }

    // Runs the job to its end; the exit code.
    int run(const std::function<bool(const QString&)>& keepReceived = {}) {
        TransferJob job;
        const bool terminal = ::isatty(STDERR_FILENO) == 1;
        int result = kOk;
        bool storedAll = true;
        QObject::connect(&job, &TransferJob::progress, [terminal](qint64 bytes, qint64 total) {
            if (!terminal)
                return;
            const QString text =
                total > 0 ? strings::format(englishText(textid::kBytesOfTotal),
                                            {QString::number(bytes), QString::number(total)})
                          : strings::format(englishText(textid::kBytesReceived),
                                            {QString::number(bytes)});
            std::fprintf(stderr, "\r%s ", text.toUtf8().constData());
            std::fflush(stderr);
        });
        QObject::connect(&job, &TransferJob::received, [&](const QString& file) {
            if (keepReceived && !keepReceived(file))
                storedAll = false;
        });
        QObject::connect(
            &job, &TransferJob::finished, [&](const transfer::Outcome& outcome, qint64 bytes) {
                if (terminal)
                    std::fputs("\n", stderr);
                const qint64 seconds = job.elapsedMs() / 1000;
                print(stderr, transfer::describe(outcome, strings::kEnglish, bytes, seconds));
                result = transfer::exitCodeOf(outcome.cause);
                if (result == kOk && !storedAll)
                    result = fail(kCannotOpen, englishText(textid::kCannotWriteFile));
                QCoreApplication::exit(0);
            });
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&job] {
            if (stopRequested)
                job.stop();
        });
        watch.start(100);
        std::signal(SIGINT, requestStop);
        std::signal(SIGTERM, requestStop);
        job.start(request);
        QCoreApplication::exec();
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        return result;
    }

    TransferRequest request;

  private:
    std::unique_ptr<QTemporaryDir> work_;
    SettingsFile ini_;
    Preferences preferences_;
};

// Where the n-th file of a receive goes: OUT, then OUT.2, OUT.3 and so on.
QString receivedName(const QString& out, int number) {
    return number == 1 ? out : out + u'.' + QString::number(number);
}

} // namespace

int send(const QStringList& arguments) {
    QStringList rest = arguments;
    Options options;
    if (!takeOptions(rest, options, true) || rest.size() != 1)
        return kWrongArguments;
    Transfer transfer(TransferMode::SendDocument, options);
    if (const int failed = loadDatabase(rest[0], transfer.request.table, &transfer.request.header))
        return failed;
    transfer.request.topicCount = transfer.request.table.topicCount();
    const QString name =
        options.name.isEmpty() ? QFileInfo(rest[0]).completeBaseName() : options.name;
    const hp48::EncodedRow encoded = kermit::calculatorName(name);
    if (!encoded.ok() || encoded.bytes.isEmpty())
        return fail(kUsage, strings::format(englishText(textid::kNameWithoutHp48Code),
                                            {QString::number(encoded.badColumn)}));
    transfer.request.script.nameOnCalculator = encoded.bytes;
    return transfer.run();
}

int receive(const QStringList& arguments) {
    QStringList rest = arguments;
    Options options;
    if (!takeOptions(rest, options, false) || rest.size() != 1)
        return kWrongArguments;
    const QString out = rest[0];
    int number = 0;
    Transfer transfer(TransferMode::ReceiveFile, options);
    return transfer.run([&](const QString& file) {
        const QString target = receivedName(out, ++number);
        QFile::remove(target);
        if (!QFile::copy(file, target))
            return false;
        print(stdout, target);
        return true;
    });
}

int sendLibrary(const QStringList& arguments) {
    QStringList rest = arguments;
    Options options;
    if (!takeOptions(rest, options, false) || !rest.isEmpty())
        return kWrongArguments;
    Transfer transfer(TransferMode::SendLibrary, options);
    if (!QFileInfo(transfer.request.script.tarvoLibrary).isFile())
        return fail(kCannotOpen, englishText(textid::kTarvoMissing));
    return transfer.run();
}

} // namespace cli
