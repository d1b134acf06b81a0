#pragma once

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

    QString Root() const { return root_.path(); }
    QString ConfigDir() const { return Root() + QStringLiteral("/config"); }
    QString RuntimeDir() const { return Root() + QStringLiteral("/runtime"); }
    QString SettingsFile() const { return ConfigDir() + QStringLiteral("/Ombrel.ini"); }
    // A path inside the sandbox; its parent directories are made.
    QString Path(const QString& relative) const;
    // Every file and folder under the given top folders of the sandbox, sorted, each file with
    // the first bytes of its contents in hex: what a test compares before and after.
    QStringList Tree(const QStringList& tops, int contentBytes) const;

  private:
    QTemporaryDir root_;
    QList<QPair<QByteArray, QByteArray>> saved_;
};

// Writes a whole file, making its folder; fails the running test when it cannot.
void WriteBytes(const QString& fileName, const QByteArray& bytes);
QByteArray ReadBytes(const QString& fileName);
// The bytes of a database file whose topics hold the given rows, each row quoted.
QByteArray Database(const QList<QList<QByteArray>>& topics);
