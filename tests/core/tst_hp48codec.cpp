#include "core/CharacterNames.h"
#include "core/Hp48Codec.h"

#include <QTest>

class TestHp48Codec : public QObject {
    Q_OBJECT

  private slots:
    void everyByteDecodesAndEncodesBack() {
        QByteArray all;
        for (int code = 0; code < 256; ++code)
            all += static_cast<char>(code);
        const QString text = hp48::decodeRow(all);
        const hp48::EncodedRow back = hp48::encodeRow(text);
        QVERIFY(back.ok());
        QCOMPARE(back.bytes, all);
        for (int code = 0; code < 256; ++code)
            QVERIFY2(!hp48::decodeByte(static_cast<uchar>(code)).isEmpty(),
                     qPrintable(QString::number(code)));
    }

    void calculatorCharacters() {
        QCOMPARE(hp48::decodeRow("\x80\x87\x8d"), QStringLiteral(u"\u2220\u03C0\u2192"));
        QCOMPARE(hp48::decodeRow("\x81"), QStringLiteral(u"x\u0304")); // two characters
        QCOMPARE(hp48::decodeRow("\x0a\x0d"), QStringLiteral(u"\u240A\u240D"));
        QCOMPARE(hp48::decodeRow("A b"), QStringLiteral("A b"));
    }

    void aliasesEncodeButNeverDecode() {
        QCOMPARE(hp48::encodeRow(u"\t\u03BC\u2126\u2211").bytes, QByteArray("\x09\xb5\x9d\x85"));
        QCOMPARE(hp48::encodeRow(u"\u2026\u0101").bytes, QByteArray("\x1f\x81"));
        QCOMPARE(hp48::encodeRow(u"x\u0305").bytes, QByteArray("\x81"));
        QCOMPARE(hp48::encodeRow(u"x\u0304x").bytes, QByteArray("\x81x"));
        QCOMPARE(hp48::encodeRow(u"xx").bytes, QByteArray("xx"));
    }

    void theFirstCharacterWithoutCodeIsNamed() {
        const hp48::EncodedRow euro = hp48::encodeRow(u"ab\u20AC");
        QVERIFY(!euro.ok());
        QCOMPARE(euro.badIndex, 2);
        QCOMPARE(euro.badColumn, 3);
        QVERIFY(euro.bytes.isEmpty());
        // After "x" with its bar the text index and the byte column part.
        const hp48::EncodedRow afterBar = hp48::encodeRow(u"x\u0304\u20AC\u20AC");
        QCOMPARE(afterBar.badIndex, 2);
        QCOMPARE(afterBar.badColumn, 2);
        QCOMPARE(hp48::encodeRow(u"line\nbreak").badIndex, 4);
        QCOMPARE(hp48::encodeRow(QString::fromUcs4(U"\U0001F600")).badIndex, 0);
        QCOMPARE(hp48::encodeRow(u"\u0304").badIndex, 0); // a bar without its x
    }

    // The HP49 and 50 show code 160 as the euro sign and take it back; the HP48 refuses it.
    void theModelDecidesTheEuroSign() {
        QCOMPARE(hp48::decodeRow("\xa0"), QStringLiteral(u"\u00A0"));
        QVERIFY(!hp48::encodeRow(u"\u20AC").ok());
        hp48::setModel(hp48::Model::Hp49);
        QCOMPARE(hp48::decodeRow("a\xa0"), QStringLiteral(u"a\u20AC"));
        QCOMPARE(hp48::decodeByte(0xa0), QStringLiteral(u"\u20AC"));
        QCOMPARE(hp48::encodeRow(u"\u20AC\u00A0").bytes, QByteArray("\xa0\xa0"));
        hp48::setModel(hp48::Model::Hp48);
        QCOMPARE(hp48::decodeByte(0xa0), QStringLiteral(u"\u00A0"));
        QCOMPARE(hp48::encodeRow(u"x\u20AC").badIndex, 1);
    }

    void aRefusedCodeCountsAsWithoutCode() {
        QVERIFY(hp48::encodeRow(u"a\u241A").ok());
        const hp48::EncodedRow refused = hp48::encodeRow(u"a\u241A", 26);
        QCOMPARE(refused.badIndex, 1);
        QCOMPARE(refused.badColumn, 2);
    }

    void everyCodeHasANameInBothLanguages() {
        for (int code = 0; code < 256; ++code) {
            for (int language : {0, 1})
                QVERIFY2(!hp48::characterName(uchar(code), language).isEmpty(),
                         qPrintable(QStringLiteral("%1 in %2").arg(code).arg(language)));
        }
        const QList<std::tuple<uchar, const char*, const char*>> names = {
            {141, "Pfeil nach rechts", "rightwards arrow"},
            {9, "Tabulator", "horizontal tabulation"},
            {1, "Kopfanfang", "start of heading"},
            {196, "Großbuchstabe Ä", "latin capital letter A with diaeresis"},
            {198, "Großbuchstabe Æ", "latin capital letter AE"},
            {240, "Kleinbuchstabe Eth", "latin small letter eth"},
            {157, "griechischer Großbuchstabe Omega", "greek capital letter omega"},
        };
        for (const auto& [code, german, english] : names) {
            QCOMPARE(hp48::characterName(code, 0), QString::fromUtf8(german));
            QCOMPARE(hp48::characterName(code, 1), QString::fromUtf8(english));
        }
    }
};

QTEST_GUILESS_MAIN(TestHp48Codec)
#include "tst_hp48codec.moc"
