#include "platform/SerialDevices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace {

// How far up from a tty the kernel's directories are searched for the adapter's product.
constexpr int kAdapterLevels = 4;

// ttyS2 before ttyS10: by the name without its number, then by the number.
bool deviceOrder(const SerialDevice& left, const SerialDevice& right) {
    const auto split = [](const QString& path) {
        qsizetype digits = path.size();
        while (digits > 0 && path.at(digits - 1).isDigit())
            --digits;
        return std::pair(path.left(digits), path.mid(digits).toLongLong());
    };
    return split(left.path) < split(right.path);
}

QString firstLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readLine()).trimmed();
}

// A ttyS* port answers when the kernel knows a UART behind it. Without the kernel's type file
// the port itself is asked; a port that cannot be asked is kept.
bool portAnswers(const QString& path, const QString& typeFile) {
    if (QFileInfo::exists(typeFile))
        return firstLine(typeFile) != u"0";
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return errno != ENXIO && errno != ENODEV && errno != EIO;
    serial_struct serial{};
    const bool unknown = ::ioctl(fd, TIOCGSERIAL, &serial) == 0 && serial.type == PORT_UNKNOWN;
    ::close(fd);
    return !unknown;
}

// The maker and product of the adapter behind a tty, as the kernel read them from it.
QString adapterName(const DeviceRoots& roots, const QString& tty) {
    QString directory =
        QFileInfo(roots.ttyClasses + u'/' + tty + QStringLiteral("/device")).canonicalFilePath();
    for (int level = 0; level < kAdapterLevels && !directory.isEmpty(); ++level) {
        const QString product = firstLine(directory + QStringLiteral("/product"));
        if (!product.isEmpty()) {
            const QString maker = firstLine(directory + QStringLiteral("/manufacturer"));
            return maker.isEmpty() || product.startsWith(maker) ? product : maker + u' ' + product;
        }
        directory = QFileInfo(directory).path();
    }
    return {};
}

// The devices with a stable name; the ttys they stand for go into `named`.
QList<SerialDevice> stableDevices(const DeviceRoots& roots, QStringList& named) {
    const QDir links(roots.devices + QStringLiteral("/serial/by-id"));
    QList<SerialDevice> found;
    for (const QFileInfo& link : links.entryInfoList(QDir::System | QDir::Files, QDir::Name)) {
        const QString tty = QFileInfo(link.symLinkTarget()).fileName();
        if (tty.isEmpty() || !QFileInfo::exists(link.absoluteFilePath()))
            continue; // a link left behind by a device taken away
        QString name = adapterName(roots, tty);
        if (name.isEmpty())
            name = nameOfStableLink(link.fileName());
        found.append({link.absoluteFilePath(), QStringLiteral("%1 (%2)").arg(name, tty)});
        named.append(tty);
    }
    return found;
}

} // namespace

DeviceRoots DeviceRoots::system() {
    const QString root = qEnvironmentVariable("OMBREL_DEVICE_ROOT");
    return {QDir::cleanPath(root + QStringLiteral("/dev")),
            QDir::cleanPath(root + QStringLiteral("/sys/class/tty"))};
}

QString nameOfStableLink(const QString& linkName) {
    // bus-Maker_Product_Serial-ifNN-portN: the bus and the interface go; the serial goes when
    // it has a digit and something stands before it.
    static const QRegularExpression frame(QStringLiteral("^[a-z]+-(.*?)(-if[0-9a-f]+.*)?$"));
    QString name = frame.match(linkName).captured(1);
    if (name.isEmpty())
        return linkName;
    QStringList parts = name.split(u'_', Qt::SkipEmptyParts);
    static const QRegularExpression digit(QStringLiteral("[0-9]"));
    if (parts.size() > 2 && parts.back().contains(digit))
        parts.removeLast();
    return parts.join(u' ');
}

QList<SerialDevice> listSerialDevices(const DeviceRoots& roots) {
    QStringList named;
    QList<SerialDevice> stable = stableDevices(roots, named);
    const QDir devices(roots.devices);
    const QStringList names = devices.entryList(
        {QStringLiteral("ttyS*"), QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")},
        QDir::System | QDir::Files | QDir::Hidden);
    QList<SerialDevice> plain;
    for (const QString& name : names) {
        if (named.contains(name))
            continue;
        const QString path = devices.filePath(name);
        if (name.startsWith(QLatin1String("ttyS")) &&
            !portAnswers(path, roots.ttyClasses + u'/' + name + QStringLiteral("/type")))
            continue;
        plain.append({path, {}});
    }
    std::sort(plain.begin(), plain.end(), deviceOrder);
    return stable + plain;
}

QStringList serialDevices(const DeviceRoots& roots) {
    QStringList paths;
    for (const SerialDevice& device : listSerialDevices(roots))
        paths.append(device.path);
    return paths;
}
