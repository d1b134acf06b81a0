#pragma once

#include <QByteArray>
#include <QString>

// Writes a whole file through a temporary file in the same directory and a rename, so a write
// that fails or is interrupted leaves the previous file whole.
bool WriteFileAtomically(const QString& fileName, const QByteArray& bytes);
