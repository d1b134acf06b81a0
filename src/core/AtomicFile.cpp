#include "core/AtomicFile.h"

#include "core/RegularFile.h"

#include <QSaveFile>

bool writeFileAtomically(const QString& fileName, const QByteArray& bytes) {
    // The rename would put a regular file in the place of a pipe or a device.
    if (isNonRegularFile(fileName))
        return false;
    QSaveFile file(fileName);
    // Unbuffered, so a short write (a full disk, a size limit) shows here and is not lost in a
    // buffer that commit() would flush without telling.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
