#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The one translation between calculator character codes and the Unicode text that shows them.
// Every byte decodes to exactly one piece of text; encoding also accepts the alias spellings
// that people type or paste (a plain tab, the mu sign, the ohm sign, ...).
namespace hp48 {

struct EncodedRow {
    QByteArray bytes;
    // Index into the source text of the first character that has no code, or -1.
    qsizetype badIndex = -1;
    // 1-based byte column that character would have taken in the encoded row.
    int badColumn = 0;

    bool ok() const { return badIndex < 0; }
};

QString decodeRow(QByteArrayView bytes);
QString decodeByte(uchar code);
// refusedCode, when given, is treated as if it had no code.
EncodedRow encodeRow(QStringView text, int refusedCode = -1);
// The number of codes the text takes; a character without code counts as one.
int encodedLength(QStringView text);

} // namespace hp48
