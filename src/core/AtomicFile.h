#pragma once

#include <QByteArray>
#include <QString>

// Writes a whole file through a temporary file in the same directory and a rename, so a write
// that fails or is interrupted leaves the previous file whole. A name that stands for a pipe,
// a device or a folder is refused and left as it is.
bool writeFileAtomically(const QString& fileName, const QByteArray& bytes);
