#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A serial device present on this machine: the path to open and the name a user knows it by.
struct SerialDevice {
    QString path;
    QString name; // "FTDI FT232R USB UART (ttyUSB0)"; empty for a device known by its path

    friend bool operator==(const SerialDevice&, const SerialDevice&) = default;
};

// Where the devices are looked for: the device directory and the kernel's directory of tty
// classes. The default is the machine's own, below the root OMBREL_DEVICE_ROOT names when it
// is set (a test lays out devices of its own there).
struct DeviceRoots {
    QString devices;
    QString ttyClasses;

    static DeviceRoots system();
};

// The serial devices present, those with a stable name first (/dev/serial/by-id, named by the
// adapter's maker and product with the port it stands for), then every ttyUSB* and ttyACM*
// that no stable name stands for, and the ttyS* ports that have a UART behind them; ttyS2
// before ttyS10.
QList<SerialDevice> listSerialDevices(const DeviceRoots& roots = DeviceRoots::system());

// The paths alone, in the same order.
QStringList serialDevices(const DeviceRoots& roots = DeviceRoots::system());

// The name a stable link stands for when the kernel does not tell the adapter's maker and
// product: "usb-FTDI_FT232R_USB_UART_A12345-if00-port0" gives "FTDI FT232R USB UART".
QString nameOfStableLink(const QString& linkName);
