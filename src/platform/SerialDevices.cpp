#include "platform/SerialDevices.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <utility>

namespace {

// ttyS2 before ttyS10: by the name without its number, then by the number.
bool deviceOrder(const QString& left, const QString& right) {
    const auto split = [](const QString& path) {
        qsizetype digits = path.size();
        while (digits > 0 && path.at(digits - 1).isDigit())
            --digits;
        return std::pair(path.left(digits), path.mid(digits).toLongLong());
    };
    return split(left) < split(right);
}

} // namespace

QStringList serialDevices(const QString& deviceDirectory, const QString& ttyClassDirectory) {
    const QDir devices(deviceDirectory);
    const QStringList names = devices.entryList(
        {QStringLiteral("ttyS*"), QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")},
        QDir::System | QDir::Files | QDir::Hidden);
    QStringList present;
    for (const QString& name : names) {
        if (name.startsWith(QLatin1String("ttyS"))) {
            // A port whose UART type is 0 has no hardware behind it.
            QFile type(ttyClassDirectory + u'/' + name + QStringLiteral("/type"));
            if (type.open(QIODevice::ReadOnly) && type.readAll().trimmed() == "0")
                continue;
        }
        present.append(devices.filePath(name));
    }
    std::sort(present.begin(), present.end(), deviceOrder);
    return present;
}
