#include "Sandbox.h"

#include "core/FileName.h"

#include <QDateTime>
#include <QDir>

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <algorithm>

#include <fcntl.h>

namespace {
const char* const kVariables[] = {"HOME",           "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                  "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "XDG_STATE_HOME",
                                  "OMBREL_PROGDIR"};
}

Sandbox::Sandbox() {
    const QString root = root_.path();
    const QList<QPair<const char*, QString>> directories = {
        {"HOME", root + QStringLiteral("/home")},
        {"XDG_CONFIG_HOME", configDir()},
        {"XDG_DATA_HOME", root + QStringLiteral("/data")},
        {"XDG_CACHE_HOME", root + QStringLiteral("/cache")},
        {"XDG_RUNTIME_DIR", runtimeDir()},
        {"XDG_STATE_HOME", stateDir()},
    };
    for (const char* name : kVariables)
        saved_.append({name, qgetenv(name)});
    for (const auto& [name, directory] : directories) {
        // A new user has no settings or state folder yet: the program makes them when it first
        // writes.
        if (directory != configDir() && directory != stateDir())
            QDir().mkpath(directory);
        qputenv(name, QFile::encodeName(directory));
    }
    QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

Sandbox::~Sandbox() {
    for (const auto& [name, value] : saved_) {
        if (value.isNull())
            qunsetenv(name.constData());
        else
            qputenv(name.constData(), value);
    }
}

QString Sandbox::path(const QString& relative) const {
    const QString path = root() + u'/' + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

QStringList Sandbox::tree(const QStringList& tops, int contentBytes) const {
    QStringList tree;
    for (const QString& top : tops) {
        const QDir folder(root() + u'/' + top);
        QDirIterator it(folder.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QString line = top + u'/' + folder.relativeFilePath(path);
            if (it.fileInfo().isFile())
                line += u' ' + QString::fromLatin1(readBytes(path).toHex().left(contentBytes * 2));
            tree.append(line);
        }
    }
    tree.sort();
    return tree;
}

void ageFile(const QString& fileName, int seconds) {
    QFile file(fileName);
    QVERIFY2(file.open(QIODevice::ReadWrite), qPrintable(fileName));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-seconds),
                             QFileDevice::FileModificationTime));
}

QByteArray database(const QList<QList<QByteArray>>& topics) {
    QByteArray out = "%%HP: T(1)A(R)F(,);\r\n{ ";
    for (const QList<QByteArray>& rows : topics) {
        out += '{';
        for (const QByteArray& row : rows)
            out += '"' + row + "\"\r\n";
        out += "}\r\n";
    }
    return out + "}\r\n";
}

TopicTable tableOf(const QList<QList<QByteArray>>& topics) {
    QList<TopicRows> filled;
    for (const QList<QByteArray>& rows : topics) {
        filled.append(TopicRows{});
        std::copy(rows.cbegin(), rows.cend(), filled.last().begin());
    }
    TopicTable table;
    table.fill(filled);
    return table;
}

// Files are opened by the bytes of their names, which need not be UTF-8 (core/FileName.h).
void writeBytes(const QString& fileName, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    const int descriptor = ::open(filename::toBytes(fileName).constData(),
                                  O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    QFile file;
    QVERIFY2(descriptor >= 0 &&
                 file.open(descriptor, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle),
             qPrintable(fileName));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& fileName) {
    const int descriptor = ::open(filename::toBytes(fileName).constData(), O_RDONLY | O_CLOEXEC);
    QFile file;
    if (descriptor < 0 || !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return QByteArray();
    return file.readAll();
}
