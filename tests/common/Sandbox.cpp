#include "Sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {
const char* const kVariables[] = {"HOME",           "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                  "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "OMBREL_PROGDIR"};
}

Sandbox::Sandbox() {
    const QString root = root_.path();
    const QList<QPair<const char*, QString>> directories = {
        {"HOME", root + QStringLiteral("/home")},
        {"XDG_CONFIG_HOME", ConfigDir()},
        {"XDG_DATA_HOME", root + QStringLiteral("/data")},
        {"XDG_CACHE_HOME", root + QStringLiteral("/cache")},
        {"XDG_RUNTIME_DIR", RuntimeDir()},
    };
    for (const char* name : kVariables)
        saved_.append({name, qgetenv(name)});
    for (const auto& [name, directory] : directories) {
        QDir().mkpath(directory);
        qputenv(name, QFile::encodeName(directory));
    }
    QFile::setPermissions(RuntimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

Sandbox::~Sandbox() {
    for (const auto& [name, value] : saved_) {
        if (value.isNull())
            qunsetenv(name.constData());
        else
            qputenv(name.constData(), value);
    }
}

QString Sandbox::Path(const QString& relative) const {
    const QString path = Root() + u'/' + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

void WriteBytes(const QString& fileName, const QByteArray& bytes) {
    QFile file(fileName);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(fileName));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}
