#include "gui/dialogs/DeviceBox.h"

#include <QComboBox>
#include <QSignalBlocker>

QString chosenDevice(const QComboBox* box) {
    const QString text = box->currentText().trimmed();
    const int index = box->findText(text);
    return index >= 0 ? box->itemData(index).toString() : text;
}

void showDevice(QComboBox* box, const QString& path) {
    const int index = path.isEmpty() ? -1 : box->findData(path);
    if (index >= 0)
        box->setCurrentIndex(index);
    else
        box->setEditText(path);
}

void fillDeviceBox(QComboBox* box, const QList<SerialDevice>& devices) {
    const QString chosen = chosenDevice(box);
    const QSignalBlocker quiet(box);
    box->clear();
    for (const SerialDevice& device : devices) {
        box->addItem(device.name.isEmpty() ? device.path : device.name, device.path);
        box->setItemData(box->count() - 1, device.path, Qt::ToolTipRole);
    }
    showDevice(box, chosen);
}
