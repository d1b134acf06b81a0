#pragma once

#include <QString>

// The German and English texts of the program by id: base id N (a multiple of 5) holds the
// German text, N + 1 the English one. An id without an entry yields the empty text.
namespace strings {

constexpr int kGerman = 0;
constexpr int kEnglish = 1;

// The entry of exactly this id.
QString byId(quint16 id);
inline QString text(quint16 baseId, int language) {
    return byId(static_cast<quint16>(baseId + language));
}

// The language the program speaks, German until the settings say otherwise.
void setLanguage(int language);
int language();
// The text of a base id in the program's language.
inline QString text(quint16 baseId) {
    return text(baseId, language());
}
// Fills the %D and %S place holders in order, as the texts use them.
QString format(const QString& text, const QStringList& arguments);

} // namespace strings
