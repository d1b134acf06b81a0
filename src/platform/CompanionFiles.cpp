#include "platform/CompanionFiles.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace programfiles {
namespace {

struct Entry {
    const char* name;
    const char* here; // file name on this platform; nullptr when it has no counterpart
    bool inWorkDir;
};

constexpr Entry kEntries[kCount] = {
    {"hp48.ttf", "HP48.TTF", false},  {"~recv.tmp", "~recv.tmp", true},
    {"~send.tmp", "~send.tmp", true}, {"~task.tmp", "~task.tmp", true},
    {"kermit.pif", nullptr, false},   {"kermit.exe", "kermit", false},
    {"kermit.dos", nullptr, false},   {"omhelp.hlp", "omhelp.html", false},
    {"omhelp.cnt", nullptr, false},   {"tarvo.lib", "tarvo.lib", false},
    {"omhelp.gid", nullptr, false},   {"file_id.diz", "file_id.diz", false},
};

const Entry& at(int number) {
    return kEntries[number - 1];
}

// The library is the user's own copy, often from a DOS disk that spelt it "TARVO.LIB": any
// letter case is taken, the name as it has always been spelt first.
QString tarvoLibrary(const QString& name) {
    const QDir folder(paths::progDir());
    if (QFileInfo(folder.filePath(name)).isFile())
        return folder.filePath(name);
    // Name filters match without regard to case unless told otherwise.
    const QStringList found = folder.entryList({name}, QDir::Files | QDir::Hidden, QDir::Name);
    return folder.filePath(found.isEmpty() ? name : found.first());
}

QString kermitProgram() {
    const QString beside = paths::progDir() + QStringLiteral("kermit");
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QStandardPaths::findExecutable(QStringLiteral("kermit"));
}

} // namespace

QString name(int number) {
    return QString::fromLatin1(at(number).name);
}

bool hasCounterpart(int number) {
    return at(number).here != nullptr;
}

QString path(int number) {
    const Entry& entry = at(number);
    if (entry.here == nullptr)
        return QString();
    if (number == kKermit)
        return kermitProgram();
    if (number == kTarvoLibrary)
        return tarvoLibrary(QString::fromLatin1(entry.here));
    if (!entry.inWorkDir)
        return paths::progDir() + QString::fromLatin1(entry.here);
    // Nothing of a transfer goes into a work folder that others could enter.
    const QString work = paths::usableWorkDir();
    return work.isEmpty() ? QString() : work + u'/' + QString::fromLatin1(entry.here);
}

bool isLeftover(int number) {
    return number >= kReceiveFile && number <= kKermitPif;
}

bool isRequired(int number) {
    return hasCounterpart(number) && number >= kKermit && number <= kHelpContents;
}

} // namespace programfiles
