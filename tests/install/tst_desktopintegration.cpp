// The desktop integration against the real freedesktop tools, in a sandboxed home.
#include "EnvironmentOverride.h"
#include "Sandbox.h"
#include "install/DesktopIntegration.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

namespace {

using Kind = desktop::ShortcutKind;

const QString kExe = QStringLiteral("/opt/Ombrel 2.7/ombrel");

// The standard output of a tool, or a note why it failed.
QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return QStringLiteral("<did not finish>");
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("<failed: ") + output +
               QString::fromLocal8Bit(process.readAllStandardError()) + u'>';
    return output;
}

// desktop-file-validate prints nothing for an entry without errors, warnings or hints.
void validate(const QString& entry) {
    QVERIFY2(QFileInfo::exists(entry), qPrintable(entry));
    QCOMPARE(run(QStringLiteral("desktop-file-validate"), {entry}), QString());
}

QString keyOf(const QString& entry, const QString& key) {
    const QStringList lines = QString::fromUtf8(readBytes(entry)).split(u'\n');
    for (const QString& line : lines) {
        if (line.startsWith(key + u'='))
            return line.mid(key.size() + 1);
    }
    return QStringLiteral("<missing>");
}

// Every file and folder under the sandbox's home, data and config directories, with contents.
QStringList tree(const Sandbox& sandbox) {
    return sandbox.tree({"home", "data", "config"}, 32);
}

} // namespace

class TestDesktopIntegration : public QObject {
    Q_OBJECT

  private slots:
    void execArgumentsFollowTheQuotingRules() {
        QCOMPARE(desktop::execArgument(QStringLiteral("/usr/lib/ombrel/ombrel")),
                 QStringLiteral("/usr/lib/ombrel/ombrel"));
        QCOMPARE(desktop::execArgument(QStringLiteral("/opt/a b/ombrel")),
                 QStringLiteral("\"/opt/a b/ombrel\""));
        QCOMPARE(desktop::execArgument(desktop::kRemovalSwitch),
                 QStringLiteral("\"/\\$UnInstalCompleteApp\\$\""));
        QCOMPARE(desktop::execArgument(QStringLiteral("/x/100%/\"q\"`\\")),
                 QStringLiteral("\"/x/100%%/\\\"q\\\"\\`\\\\\""));
    }

    // The entries are read back by desktop-file-validate and by the rules of the Exec key: the
    // program path with a blank and the switch survives both levels of escaping.
    void everyEntryValidates() {
        Sandbox sandbox;
        QDir().mkpath(sandbox.root() + QStringLiteral("/home/Desktop"));
        for (Kind kind : {Kind::ProgramsMenu, Kind::Desktop}) {
            QVERIFY(desktop::ensureFolder(kind));
            const QString link = desktop::shortcutFile(kind, QStringLiteral("2.7"));
            QVERIFY(link.endsWith(QStringLiteral("/ombrel-2.7.desktop")));
            QVERIFY(desktop::makeLink(kExe, link, desktop::shortcutName(QStringLiteral("2.7"))));
            validate(link);
            QCOMPARE(keyOf(link, QStringLiteral("Name")), QStringLiteral("Ombrel 2.7"));
            QCOMPARE(keyOf(link, QStringLiteral("Exec")),
                     QStringLiteral("\"/opt/Ombrel 2.7/ombrel\""));
        }
        QVERIFY(QFileInfo(sandbox.root() + QStringLiteral("/home/Desktop/ombrel-2.7.desktop"))
                    .isExecutable());
        QVERIFY(QFileInfo::exists(sandbox.root() +
                                  QStringLiteral("/data/applications/ombrel-2.7.desktop")));

        QVERIFY(desktop::createRemovalEntry(kExe, QStringLiteral("2.7")));
        const QString removal = desktop::removalEntryFile(QStringLiteral("2.7"));
        validate(removal);
        QCOMPARE(keyOf(removal, QStringLiteral("Name")), QStringLiteral("Remove Ombrel 2.7"));
        QCOMPARE(keyOf(removal, QStringLiteral("Name[de]")),
                 QStringLiteral("Ombrel 2.7 entfernen"));
        QCOMPARE(keyOf(removal, QStringLiteral("Exec")),
                 QStringLiteral("\"/opt/Ombrel 2.7/ombrel\" \"/\\\\$UnInstalCompleteApp\\\\$\""));

        QVERIFY(desktop::registerFileClass(kExe));
        validate(desktop::handlerFile());
        QCOMPARE(keyOf(desktop::handlerFile(), QStringLiteral("Exec")),
                 QStringLiteral("\"/opt/Ombrel 2.7/ombrel\" %f"));
    }

    void kindsWithoutCounterpartMakeNothing() {
        Sandbox sandbox;
        for (Kind kind : {Kind::StartMenuRoot, Kind::QuickLaunch}) {
            QVERIFY(!desktop::hasCounterpart(kind));
            QVERIFY(!desktop::ensureFolder(kind));
            QVERIFY(!desktop::makeLink(kExe, desktop::shortcutFile(kind, "2.7"), "Ombrel 2.7"));
        }
    }

    // The user's desktop folder is taken as xdg-user-dir names it and never made.
    void desktopFolderComesFromTheUserDirs() {
        Sandbox sandbox;
        QCOMPARE(desktop::desktopFolder(), sandbox.root() + QStringLiteral("/home/Desktop"));
        QVERIFY(!desktop::ensureFolder(Kind::Desktop)); // not there: no shortcut
        QVERIFY(!QFileInfo::exists(desktop::desktopFolder()));

        writeBytes(sandbox.configDir() + QStringLiteral("/user-dirs.dirs"),
                   "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
        QCOMPARE(desktop::desktopFolder(), sandbox.root() + QStringLiteral("/home/Schreibtisch"));
        writeBytes(sandbox.configDir() + QStringLiteral("/user-dirs.dirs"),
                   "XDG_DESKTOP_DIR=\"$HOME/\"\n");
        QCOMPARE(desktop::desktopFolder(), QString()); // switched off
        QVERIFY(!desktop::ensureFolder(Kind::Desktop));
    }

    // A file that begins with the header is of the program's type, and the program's handler
    // is the type's default; taking it back leaves the home as it was.
    void fileTypeIsFoundAndTakenBack() {
        Sandbox sandbox;
        const QStringList before = tree(sandbox);
        const QString database = sandbox.path(QStringLiteral("db/topics"));
        writeBytes(database, "%%HP: T(1)A(R)F(,);\r\n{ {\"x\"}}");
        const QString other = sandbox.path(QStringLiteral("db/other.txt"));
        writeBytes(other, "%%HQ: plain text\n");

        QVERIFY(desktop::registerFileClass(kExe));
        QCOMPARE(run(QStringLiteral("xdg-mime"), {"query", "filetype", database}),
                 desktop::kMimeType);
        QVERIFY(run(QStringLiteral("xdg-mime"), {"query", "filetype", other}) !=
                desktop::kMimeType);
        QCOMPARE(run(QStringLiteral("xdg-mime"), {"query", "default", desktop::kMimeType}),
                 desktop::kHandlerName);

        desktop::unregisterFileClass();
        QCOMPARE(run(QStringLiteral("xdg-mime"), {"query", "default", desktop::kMimeType}),
                 QString());
        QVERIFY(run(QStringLiteral("xdg-mime"), {"query", "filetype", database}) !=
                desktop::kMimeType);
        QCOMPARE(tree(sandbox), before);
    }

    // Another program's type and defaults stay when the program's own go.
    void otherProgramsRegistrationsStay() {
        Sandbox sandbox;
        const QString otherPackage = sandbox.path(QStringLiteral("data/mime/packages/x-other.xml"));
        writeBytes(
            otherPackage,
            "<?xml version=\"1.0\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <mime-type type=\"application/x-other\"><glob pattern=\"*.ombrel-test-other\"/>"
            "</mime-type>\n</mime-info>\n");
        QCOMPARE(run(QStringLiteral("update-mime-database"), {sandbox.root() + "/data/mime"}),
                 QString());
        const QString list = sandbox.configDir() + QStringLiteral("/mimeapps.list");
        writeBytes(list, "[Default Applications]\napplication/x-other=other.desktop\n"
                         "[Added Associations]\napplication/x-ombrel-hpfile=viewer.desktop;\n");

        QVERIFY(desktop::registerFileClass(kExe));
        desktop::unregisterFileClass();

        QVERIFY(QFileInfo::exists(otherPackage));
        QVERIFY(!QFileInfo::exists(desktop::mimePackageFile()));
        QVERIFY(!QFileInfo::exists(desktop::handlerFile()));
        const QString kept = QString::fromUtf8(readBytes(list));
        QVERIFY2(kept.contains(QStringLiteral("application/x-other=other.desktop")),
                 qPrintable(kept));
        QVERIFY2(kept.contains(QStringLiteral("application/x-ombrel-hpfile=viewer.desktop;")),
                 qPrintable(kept));
        QVERIFY2(!kept.contains(desktop::kHandlerName), qPrintable(kept));
        const QString sample = sandbox.path(QStringLiteral("db/a.ombrel-test-other"));
        writeBytes(sample, "x");
        QCOMPARE(run(QStringLiteral("xdg-mime"), {"query", "filetype", sample}),
                 QStringLiteral("application/x-other"));
    }

    // Without the tools to register it, nothing of the type is left behind.
    void failedRegistrationLeavesNothing() {
        Sandbox sandbox;
        const EnvironmentOverride path("PATH",
                                       QFile::encodeName(sandbox.path(QStringLiteral("emptybin"))));
        QVERIFY(!desktop::registerFileClass(kExe));
        QVERIFY(!QFileInfo::exists(desktop::mimePackageFile()));
        QVERIFY(!QFileInfo::exists(desktop::handlerFile()));
    }

    void fontIsCopiedKnownAndRemoved() {
        Sandbox sandbox;
        const QString source = QStringLiteral(OMBREL_FONT_FILE);
        QVERIFY(!desktop::fontKnown());
        QVERIFY(desktop::installFont(source));
        QCOMPARE(readBytes(desktop::fontFile()), readBytes(source));
        QVERIFY(desktop::fontKnown());         // fontconfig finds it in the user's font folder
        QVERIFY(desktop::installFont(source)); // over its older copy
        QVERIFY(desktop::removeFont());
        QVERIFY(!QFileInfo::exists(desktop::fontFile()));
        QVERIFY(!desktop::fontKnown());
        QVERIFY(!QFileInfo::exists(sandbox.root() + QStringLiteral("/data/fonts")));

        QVERIFY(!desktop::installFont(sandbox.root() + QStringLiteral("/nowhere/HP48.TTF")));
    }
};

QTEST_MAIN(TestDesktopIntegration)
#include "tst_desktopintegration.moc"
