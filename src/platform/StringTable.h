#pragma once

#include <QString>

// The German and English texts of the program by id: base id N (a multiple of 5) holds the
// German text, N + 1 the English one. An id without an entry yields the empty text.
namespace strings {

constexpr int kGerman = 0;
constexpr int kEnglish = 1;

QString Entry(quint16 id);
inline QString text(quint16 baseId, int language) {
    return Entry(static_cast<quint16>(baseId + language));
}
// Fills the %D and %S place holders in order, as the texts use them.
QString format(const QString& text, const QStringList& arguments);

} // namespace strings
