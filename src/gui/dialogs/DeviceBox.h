#pragma once

#include "platform/SerialDevices.h"

class QComboBox;

// An editable list of serial devices: an entry for each device present, a device by its name
// where it has one, and any path typed in.

// The device the list stands for: the path behind the entry shown, or the text typed.
QString chosenDevice(const QComboBox* box);
// Shows the device's entry, or the path itself where the list has none for it.
void showDevice(QComboBox* box, const QString& path);
// Makes the entries the devices given; the device the list stood for stays.
void fillDeviceBox(QComboBox* box, const QList<SerialDevice>& devices);
