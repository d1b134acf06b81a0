// The desktop integration against the real freedesktop tools, in a sandboxed home.
#include "Sandbox.h"
#include "install/DesktopIntegration.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

namespace {

const QString kExe = QStringLiteral("/opt/Ombrel 2.7/ombrel");

// The standard output of a tool, or a note why it failed.
QString Run(const QString& program, const QStringList& arguments) {
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
void Validate(const QString& entry) {
    QVERIFY2(QFileInfo::exists(entry), qPrintable(entry));
    QCOMPARE(Run(QStringLiteral("desktop-file-validate"), {entry}), QString());
}

QString KeyOf(const QString& entry, const QString& key) {
    const QStringList lines = QString::fromUtf8(ReadBytes(entry)).split(u'\n');
    for (const QString& line : lines) {
        if (line.startsWith(key + u'='))
            return line.mid(key.size() + 1);
    }
    return QStringLiteral("<missing>");
}

// Every file and folder under the sandbox's home, data and config directories, with contents.
QStringList Tree(const Sandbox& sandbox) {
    return sandbox.Tree({"home", "data", "config"}, 32);
}

} // namespace

class TestShCut : public QObject {
    Q_OBJECT

  private slots:
    void execArgumentsFollowTheQuotingRules() {
        QCOMPARE(shcut::ExecArgument(QStringLiteral("/usr/lib/ombrel/ombrel")),
                 QStringLiteral("/usr/lib/ombrel/ombrel"));
        QCOMPARE(shcut::ExecArgument(QStringLiteral("/opt/a b/ombrel")),
                 QStringLiteral("\"/opt/a b/ombrel\""));
        QCOMPARE(shcut::ExecArgument(shcut::kRemovalSwitch),
                 QStringLiteral("\"/\\$UnInstalCompleteApp\\$\""));
        QCOMPARE(shcut::ExecArgument(QStringLiteral("/x/100%/\"q\"`\\")),
                 QStringLiteral("\"/x/100%%/\\\"q\\\"\\`\\\\\""));
    }

    // The entries are read back by desktop-file-validate and by the rules of the Exec key: the
    // program path with a blank and the switch survives both levels of escaping.
    void everyEntryValidates() {
        Sandbox sandbox;
        QDir().mkpath(sandbox.Root() + QStringLiteral("/home/Desktop"));
        for (char kind : {shcut::kProgramsMenu, shcut::kDesktop}) {
            QVERIFY(shcut::EnsureFolder(kind));
            const QString link = shcut::ShortcutFile(kind, QStringLiteral("2.7"));
            QVERIFY(link.endsWith(QStringLiteral("/ombrel-2.7.desktop")));
            QVERIFY(shcut::MakeLink(kExe, link, shcut::ShortcutName(QStringLiteral("2.7"))));
            Validate(link);
            QCOMPARE(KeyOf(link, QStringLiteral("Name")), QStringLiteral("Ombrel 2.7"));
            QCOMPARE(KeyOf(link, QStringLiteral("Exec")),
                     QStringLiteral("\"/opt/Ombrel 2.7/ombrel\""));
        }
        QVERIFY(QFileInfo(sandbox.Root() + QStringLiteral("/home/Desktop/ombrel-2.7.desktop"))
                    .isExecutable());
        QVERIFY(QFileInfo::exists(sandbox.Root() +
                                  QStringLiteral("/data/applications/ombrel-2.7.desktop")));

        QVERIFY(shcut::CreateRemovalEntry(kExe, QStringLiteral("2.7")));
        const QString removal = shcut::RemovalEntryFile(QStringLiteral("2.7"));
        Validate(removal);
        QCOMPARE(KeyOf(removal, QStringLiteral("Name")), QStringLiteral("Remove Ombrel 2.7"));
        QCOMPARE(KeyOf(removal, QStringLiteral("Name[de]")),
                 QStringLiteral("Ombrel 2.7 entfernen"));
        QCOMPARE(KeyOf(removal, QStringLiteral("Exec")),
                 QStringLiteral("\"/opt/Ombrel 2.7/ombrel\" \"/\\\\$UnInstalCompleteApp\\\\$\""));

        QVERIFY(shcut::RegisterFileClass(kExe));
        Validate(shcut::HandlerFile());
        QCOMPARE(KeyOf(shcut::HandlerFile(), QStringLiteral("Exec")),
                 QStringLiteral("\"/opt/Ombrel 2.7/ombrel\" %f"));
    }

    void kindsWithoutCounterpartMakeNothing() {
        Sandbox sandbox;
        for (char kind : {shcut::kStartMenuRoot, shcut::kQuickLaunch}) {
            QVERIFY(!shcut::HasCounterpart(kind));
            QVERIFY(!shcut::EnsureFolder(kind));
            QVERIFY(!shcut::MakeLink(kExe, shcut::ShortcutFile(kind, "2.7"), "Ombrel 2.7"));
        }
    }

    // The user's desktop folder is taken as xdg-user-dir names it and never made.
    void desktopFolderComesFromTheUserDirs() {
        Sandbox sandbox;
        QCOMPARE(shcut::DesktopFolder(), sandbox.Root() + QStringLiteral("/home/Desktop"));
        QVERIFY(!shcut::EnsureFolder(shcut::kDesktop)); // not there: no shortcut
        QVERIFY(!QFileInfo::exists(shcut::DesktopFolder()));

        WriteBytes(sandbox.ConfigDir() + QStringLiteral("/user-dirs.dirs"),
                   "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
        QCOMPARE(shcut::DesktopFolder(), sandbox.Root() + QStringLiteral("/home/Schreibtisch"));
        WriteBytes(sandbox.ConfigDir() + QStringLiteral("/user-dirs.dirs"),
                   "XDG_DESKTOP_DIR=\"$HOME/\"\n");
        QCOMPARE(shcut::DesktopFolder(), QString()); // switched off
        QVERIFY(!shcut::EnsureFolder(shcut::kDesktop));
    }

    // A file that begins with the header is of the program's type, and the program's handler
    // is the type's default; taking it back leaves the home as it was.
    void fileTypeIsFoundAndTakenBack() {
        Sandbox sandbox;
        const QStringList before = Tree(sandbox);
        const QString database = sandbox.Path(QStringLiteral("db/topics"));
        WriteBytes(database, "%%HP: T(1)A(R)F(,);\r\n{ {\"x\"}}");
        const QString other = sandbox.Path(QStringLiteral("db/other.txt"));
        WriteBytes(other, "%%HQ: plain text\n");

        QVERIFY(shcut::RegisterFileClass(kExe));
        QCOMPARE(Run(QStringLiteral("xdg-mime"), {"query", "filetype", database}),
                 shcut::kMimeType);
        QVERIFY(Run(QStringLiteral("xdg-mime"), {"query", "filetype", other}) != shcut::kMimeType);
        QCOMPARE(Run(QStringLiteral("xdg-mime"), {"query", "default", shcut::kMimeType}),
                 shcut::kHandlerName);

        shcut::UnregisterFileClass();
        QCOMPARE(Run(QStringLiteral("xdg-mime"), {"query", "default", shcut::kMimeType}),
                 QString());
        QVERIFY(Run(QStringLiteral("xdg-mime"), {"query", "filetype", database}) !=
                shcut::kMimeType);
        QCOMPARE(Tree(sandbox), before);
    }

    // Another program's type and defaults stay when the program's own go.
    void otherProgramsRegistrationsStay() {
        Sandbox sandbox;
        const QString otherPackage = sandbox.Path(QStringLiteral("data/mime/packages/x-other.xml"));
        WriteBytes(
            otherPackage,
            "<?xml version=\"1.0\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <mime-type type=\"application/x-other\"><glob pattern=\"*.ombrel-test-other\"/>"
            "</mime-type>\n</mime-info>\n");
        QCOMPARE(Run(QStringLiteral("update-mime-database"), {sandbox.Root() + "/data/mime"}),
                 QString());
        const QString list = sandbox.ConfigDir() + QStringLiteral("/mimeapps.list");
        WriteBytes(list, "[Default Applications]\napplication/x-other=other.desktop\n"
                         "[Added Associations]\napplication/x-ombrel-hpfile=viewer.desktop;\n");

        QVERIFY(shcut::RegisterFileClass(kExe));
        shcut::UnregisterFileClass();

        QVERIFY(QFileInfo::exists(otherPackage));
        QVERIFY(!QFileInfo::exists(shcut::MimePackageFile()));
        QVERIFY(!QFileInfo::exists(shcut::HandlerFile()));
        const QString kept = QString::fromUtf8(ReadBytes(list));
        QVERIFY2(kept.contains(QStringLiteral("application/x-other=other.desktop")),
                 qPrintable(kept));
        QVERIFY2(kept.contains(QStringLiteral("application/x-ombrel-hpfile=viewer.desktop;")),
                 qPrintable(kept));
        QVERIFY2(!kept.contains(shcut::kHandlerName), qPrintable(kept));
        const QString sample = sandbox.Path(QStringLiteral("db/a.ombrel-test-other"));
        WriteBytes(sample, "x");
        QCOMPARE(Run(QStringLiteral("xdg-mime"), {"query", "filetype", sample}),
                 QStringLiteral("application/x-other"));
    }

    // Without the tools to register it, nothing of the type is left behind.
    void failedRegistrationLeavesNothing() {
        Sandbox sandbox;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(sandbox.Path(QStringLiteral("emptybin"))));
        const bool registered = shcut::RegisterFileClass(kExe);
        qputenv("PATH", path);
        QVERIFY(!registered);
        QVERIFY(!QFileInfo::exists(shcut::MimePackageFile()));
        QVERIFY(!QFileInfo::exists(shcut::HandlerFile()));
    }

    void fontIsCopiedKnownAndRemoved() {
        Sandbox sandbox;
        const QString source =
            QFileInfo(QStringLiteral(OMBREL_BINARY)).absolutePath() + QStringLiteral("/HP48.TTF");
        QVERIFY(!shcut::FontKnown());
        QVERIFY(shcut::InstallFont(source));
        QCOMPARE(ReadBytes(shcut::FontFile()), ReadBytes(source));
        QVERIFY(shcut::FontKnown());         // fontconfig finds it in the user's font folder
        QVERIFY(shcut::InstallFont(source)); // over its older copy
        QVERIFY(shcut::RemoveFont());
        QVERIFY(!QFileInfo::exists(shcut::FontFile()));
        QVERIFY(!shcut::FontKnown());
        QVERIFY(!QFileInfo::exists(sandbox.Root() + QStringLiteral("/data/fonts")));

        QVERIFY(!shcut::InstallFont(sandbox.Root() + QStringLiteral("/nowhere/HP48.TTF")));
    }
};

QTEST_MAIN(TestShCut)
#include "tst_shcut.moc"
