#pragma once

#include "core/TopicTable.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Points HOME and every XDG directory the program uses into a fresh temporary directory for
// the life of the object, and puts them back afterwards. The settings folder (ConfigDir) is
// not made: a new user's home has none.
class Sandbox {
  public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    QString root() const { return root_.path(); }
    QString configDir() const { return root() + QStringLiteral("/config"); }
    QString runtimeDir() const { return root() + QStringLiteral("/runtime"); }
    QString stateDir() const { return root() + QStringLiteral("/state"); }
    QString settingsFile() const { return configDir() + QStringLiteral("/Ombrel.ini"); }
    // A path inside the sandbox; its parent directories are made.
    QString path(const QString& relative) const;
    // Every file and folder under the given top folders of the sandbox, sorted, each file with
    // the first bytes of its contents in hex: what a test compares before and after.
    QStringList tree(const QStringList& tops, int contentBytes) const;

  private:
    QTemporaryDir root_;
    QList<QPair<QByteArray, QByteArray>> saved_;
};

// Writes a whole file, making its folder; fails the running test when it cannot.
void writeBytes(const QString& fileName, const QByteArray& bytes);
QByteArray readBytes(const QString& fileName);
// Sets a file's time of last change that many seconds back.
void ageFile(const QString& fileName, int seconds);
// The bytes of a database file whose topics hold the given rows, each row quoted.
QByteArray database(const QList<QList<QByteArray>>& topics);
// A topic table holding the given rows, topic by topic.
TopicTable tableOf(const QList<QList<QByteArray>>& topics);
