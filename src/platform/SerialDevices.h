#pragma once

#include <QString>
#include <QStringList>

// The serial devices present: ttyS* ports that have a UART behind them, every ttyUSB* and
// ttyACM*, ttyS2 before ttyS10. The directories are parameters so that a test can lay out its
// own.
QStringList serialDevices(const QString& deviceDirectory = QStringLiteral("/dev"),
                          const QString& ttyClassDirectory = QStringLiteral("/sys/class/tty"));
