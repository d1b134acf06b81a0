#pragma once

#include "core/FileName.h"

#include <QProcess>
#include <QStringList>

#include <algorithm>

// QProcess hands its arguments to the program as UTF-8, so a file name that is no UTF-8 (its
// odd bytes kept as core/FileName.h keeps them) would lose them. Such a start goes through the
// shell instead, which makes each argument's bytes with printf and then runs the program in its
// own place.
inline void startWithBytes(QProcess& process, const QString& program,
                           const QStringList& arguments) {
    const bool plain = std::all_of(arguments.cbegin(), arguments.cend(),
                                   [](const QString& a) { return filename::forDisplay(a) == a; });
    if (plain) {
        process.start(program, arguments);
        return;
    }
    QString script = QStringLiteral("exec \"$0\"");
    for (const QString& argument : arguments) {
        script += QStringLiteral(" \"$(printf '%b' '");
        for (const char byte : filename::toBytes(argument))
            script += QStringLiteral("\\0%1").arg(static_cast<unsigned char>(byte), 3, 8,
                                                  QLatin1Char('0'));
        script += QStringLiteral("')\"");
    }
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script, program});
}
