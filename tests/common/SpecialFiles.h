#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

#include <sys/stat.h>

// Files that are no ordinary database: a pipe, and large files that take no room on disk.

inline void makePipe(const QString& fileName) {
    QVERIFY2(::mkfifo(QFile::encodeName(fileName).constData(), 0600) == 0, qPrintable(fileName));
}

inline bool isPipe(const QString& fileName) {
    struct stat info;
    return ::stat(QFile::encodeName(fileName).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

// A file of `size` bytes that begins with `start` and holds only zero bytes after it.
inline void makeSparseFile(const QString& fileName, const QByteArray& start, qint64 size) {
    QFile file(fileName);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(fileName));
    QCOMPARE(file.write(start), start.size());
    QVERIFY(file.resize(size));
}

constexpr qint64 kMiB = 1024 * 1024;
