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

// The calculator whose characters the program shows: on the HP49 and 50 code 160 is the euro
// sign, which then also encodes to it; on the HP48 it is a no-break space and the euro sign has
// no code. One choice for the whole program, like its language; the HP48 until set.
enum class Model { Hp48, Hp49 };
void setModel(Model model);
Model model();

QString decodeRow(QByteArrayView bytes);
QString decodeByte(uchar code);
QString decodeByte(uchar code, Model model); // as that model shows it
// refusedCode, when given, is treated as if it had no code.
EncodedRow encodeRow(QStringView text, int refusedCode = -1);
// The number of codes the text takes; a character without code counts as one.
int encodedLength(QStringView text);

} // namespace hp48
