#include "platform/CompanionFiles.h"

#include "platform/Paths.h"

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

const Entry& At(int number) {
    return kEntries[number - 1];
}

QString KermitProgram() {
    const QString beside = paths::ProgDir() + QStringLiteral("kermit");
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QStandardPaths::findExecutable(QStringLiteral("kermit"));
}

} // namespace

QString Name(int number) {
    return QString::fromLatin1(At(number).name);
}

bool HasCounterpart(int number) {
    return At(number).here != nullptr;
}

QString Path(int number) {
    const Entry& entry = At(number);
    if (entry.here == nullptr)
        return QString();
    if (number == kKermit)
        return KermitProgram();
    if (!entry.inWorkDir)
        return paths::ProgDir() + QString::fromLatin1(entry.here);
    // Nothing of a transfer goes into a work folder that others could enter.
    const QString work = paths::UsableWorkDir();
    return work.isEmpty() ? QString() : work + u'/' + QString::fromLatin1(entry.here);
}

bool IsLeftover(int number) {
    return number >= kReceiveFile && number <= kKermitPif;
}

bool IsRequired(int number) {
    return HasCounterpart(number) && number >= kKermit && number <= kHelpContents;
}

} // namespace programfiles
