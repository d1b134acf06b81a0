#include "StandInProgram.h"

#include "core/HpFile.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/dialogs/TransferDialog.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

const char* const kStandInVariables[] = {"STANDIN_DIR",  "STANDIN_RECEIVE",     "STANDIN_SLEEP",
                                         "STANDIN_EXIT", "STANDIN_IGNORE_TERM", "PATH"};
constexpr int kTransferEndMs = 20000;

} // namespace

TopicTable sampleTable() {
    TopicTable table;
    TopicRows first;
    first[0] = "Alpha";
    first[1] = "1";
    TopicRows second;
    second[0] = "Beta";
    table.fill({first, second, TopicRows()});
    return table;
}

StandInProgram::StandInProgram(const QByteArray& settingsText) {
    for (const char* name : kStandInVariables)
        saved.append({name, qgetenv(name)});
    qputenv("STANDIN_DIR", QFile::encodeName(sandbox.path(QStringLiteral("standin/"))));
    for (const char* name :
         {"STANDIN_RECEIVE", "STANDIN_SLEEP", "STANDIN_EXIT", "STANDIN_IGNORE_TERM"})
        qunsetenv(name);
    writeBytes(sandbox.settingsFile(), settingsText);
    // Port COM2 on a character device that anyone may open.
    if (!settingsText.contains("Device2="))
        settings.writeString("Transfer", "Device2", QStringLiteral("/dev/null"));
    const QString kermit = paths::progDir() + QStringLiteral("kermit");
    writeBytes(kermit,
               readBytes(QStringLiteral(OMBREL_SOURCE_DIR "/tests/transfer/stand-in-kermit")));
    QFile::setPermissions(kermit, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    open();
    dialog = new TransferDialog(preferences, *main, main.get());
    applyLanguage();
}

StandInProgram::~StandInProgram() {
    main.reset();
    for (const auto& [name, value] : saved) {
        if (value.isNull())
            qunsetenv(name.constData());
        else
            qputenv(name.constData(), value);
    }
}

QString StandInProgram::standInFile(const char* name) const {
    return sandbox.path(QStringLiteral("standin/")) + QLatin1String(name);
}

bool StandInProgram::kermitRan() const {
    return QFileInfo::exists(standInFile("arguments"));
}

QStringList StandInProgram::workFilesLeft() const {
    return QDir(paths::workDir()).entryList(QDir::Files | QDir::Hidden);
}

DocumentWindow* StandInProgram::document(const TopicTable& table) {
    DocumentWindow* document = main->newDocument();
    const QString file = sandbox.path(QStringLiteral("db/doc.txt"));
    writeBytes(file, formatHpFile(table, table.topicCount(), false, false));
    document->loadFromFile(file);
    return document;
}

QString StandInProgram::text(const char* label) const {
    return control<QLabel>(label)->text();
}

QString StandInProgram::run(TransferMode mode, const QString& name) {
    if (!dialog->prepareTransfer(mode))
        return QStringLiteral("<not shown>");
    dialog->show();
    if (mode == TransferMode::SendDocument)
        control<QLineEdit>("nameOnCalculator")->setText(name);
    dialog->startTransfer();
    if (!QTest::qWaitFor([this] { return !dialog->transferRunning(); }, kTransferEndMs))
        return QStringLiteral("<still running>");
    return status();
}
