#pragma once

#include <QByteArray>
#include <QString>

// Writes a whole file through a temporary file in the same directory and a rename, so a write
// that fails or is interrupted leaves the previous file whole. A name that stands for a pipe,
// a device or a folder is refused and left as it is, and so is a file this user may not
// write; a link is followed and stays a link. The temporary file is named
// ".NAME.~ombrel-XXXXXX" (six letters or digits): a write killed before its rename leaves one
// behind, and the next write of that file removes it.
bool writeFileAtomically(const QString& fileName, const QByteArray& bytes);

// Removes the temporary files that killed writes of this file left beside it: only names of
// that pattern, only regular files of this user, only those nobody has written for a minute.
void removeWriteLeftovers(const QString& fileName);
