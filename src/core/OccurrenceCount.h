#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Counting a text in database files, as the directory scanner lists them.
namespace scan {

// Counts above this are listed as "      >200"; once past it each further row is searched once.
constexpr quint16 kCountLimit = 200;

// Occurrences of `text` in rows 1..10 of every topic of a database file; 0 for a file that
// cannot be read, is no regular file or no database, is too large, holds no topic or too many.
// Occurrences do not overlap. Without caseSensitive only the letters a..z and A..Z are taken as
// equal.
quint16 countInFile(const QString& fileName, QByteArrayView text, bool caseSensitive);
quint16 countInData(QByteArrayView data, QByteArrayView text, bool caseSensitive);

// The ordinary, visible files of a directory in the order the file system lists them: regular
// files and links to regular files.
QStringList scannableFiles(const QString& directory);

// A list entry: the count in ten characters ("%10.3d", or "      >200"), a tab, the name.
QString entryText(quint16 count, const QString& fileName);
constexpr int kEntryPrefixLength = 11;

} // namespace scan
