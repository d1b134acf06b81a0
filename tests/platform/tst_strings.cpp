#include "Sandbox.h"
#include "platform/StringTable.h"

#include <QTest>

class TestStrings : public QObject {
    Q_OBJECT

  private slots:
    // First: no text may have been read before it.
    void switchAfterTheFirstTexts();
    void textsInBothLanguages_data();
    void textsInBothLanguages();
    void idsWithoutEntryAreEmpty();
    void formatFillsPlaceHoldersInOrder();
};

// Each language's texts are read when first needed; a switch must not keep the first ones.
void TestStrings::switchAfterTheFirstTexts() {
    for (int language : {strings::kEnglish, strings::kGerman, strings::kEnglish}) {
        strings::setLanguage(language);
        QCOMPARE(strings::text(2100), language == strings::kEnglish ? "&File" : "&Datei");
    }
}

void TestStrings::textsInBothLanguages_data() {
    QTest::addColumn<int>("baseId");
    QTest::addColumn<QString>("german");
    QTest::addColumn<QString>("english");
    QTest::newRow("410 leading blank") << 410 << "Groß-/Kleinschreibung beachten"
                                       << " work case sensitive";
    QTest::newRow("430 leading blank") << 430 << " Alle laden"
                                       << " Load all";
    QTest::newRow("1100 line breaks")
        << 1100
        << "Funktion <Einfügen> ist nur zwischen vorhandenen\nTopics notwendig, zum Anfügen am "
           "Ende der Liste\neinfach nur Daten eingeben und mit F5 übernehmen."
        << "Function <Insert> is necessary only between\nexisting topics, to append a new topic "
           "to the list's end,\njust enter data and commit with F5.";
    QTest::newRow("1140 double blanks")
        << 1140
        << "Leider konnten nicht alle Dateien gefunden werden.\nVorausgesetzt, die Hilfedatei ist "
           "vorhanden,\nzeigt ein Click auf  <Hilfe>  eine Liste der benötigten Dateien."
        << "Unfortunately, some files are missing.\nIf the helpfile is still there, a click on "
           "<Help>\nwill show you a list of the required files.";
    // The removal no longer restarts the system, so the sentence saying so is gone.
    QTest::newRow("1155 no restart")
        << 1155
        << "Hiermit wird Ombrel %S vollständig von Ihrem PC entfernt.\nDeinstallation fortsetzen ?"
        << "This will completly remove Ombrel %S from your PC.\nContinue deinstallation ?";
    QTest::newRow("1160 already running") << 1160 << "Es läuft schon eine Instanz von Ombrel !"
                                          << "There is already running an instance of Ombrel !";
    QTest::newRow("2100 menu") << 2100 << "&Datei"
                               << "&File";
}

void TestStrings::textsInBothLanguages() {
    QFETCH(int, baseId);
    QFETCH(QString, german);
    QFETCH(QString, english);
    const auto id = static_cast<quint16>(baseId);
    QCOMPARE(strings::text(id, strings::kGerman), german);
    QCOMPARE(strings::text(id, strings::kEnglish), english);
    QCOMPARE(strings::byId(id + 1), english);
}

void TestStrings::idsWithoutEntryAreEmpty() {
    for (quint16 id : {0, 1, 2, 320, 321, 365, 366, 1000, 1001, 1061, 1207, 65535})
        QVERIFY2(strings::byId(id).isEmpty(), qPrintable(QString::number(id)));
}

void TestStrings::formatFillsPlaceHoldersInOrder() {
    QCOMPARE(strings::format(strings::text(265, strings::kGerman), {"1234", "5"}),
             QStringLiteral("1234 Bytes in 5 Sekunden übertragen."));
    QCOMPARE(strings::format(strings::text(265, strings::kEnglish), {"1234", "5"}),
             QStringLiteral("Transfered 1234 bytes in 5 seconds."));
    // A filled-in argument is not scanned again.
    QCOMPARE(strings::format(QStringLiteral("<%S|%D>"), {"%D", "x"}), QStringLiteral("<%D|x>"));

    // The messages added for limits this program enforces, in both languages.
    QCOMPARE(strings::format(strings::text(1220, strings::kEnglish), {"3", "17"}),
             QStringLiteral("The character in row 3, column 17 has no HP48 code."));
    QCOMPARE(strings::format(strings::text(1220, strings::kGerman), {"3", "17"}),
             QStringLiteral("Das Zeichen in Zeile 3, Spalte 17 ist kein HP48-Zeichen."));
    for (quint16 added : {1210, 1215}) {
        QVERIFY(strings::text(added, strings::kGerman).contains(u"199"));
        QVERIFY(strings::text(added, strings::kEnglish).contains(u"199"));
    }
}

QTEST_APPLESS_MAIN(TestStrings)
#include "tst_strings.moc"
