#include "gui/dialogs/TransferParametersDialog.h"

#include "gui/Localizer.h"
#include "gui/ScreenPlacement.h"
#include "gui/dialogs/HelpWindow.h"
#include "platform/Preferences.h"
#include "platform/Settings.h"
#include "ui_TransferParametersDialog.h"

#include <QLineEdit>

namespace {

// The dialog stands this far right of and below the settings dialog's corner.
constexpr QPoint kOffsetFromSettings{115, 70};

} // namespace

TransferParametersDialog::TransferParametersDialog(Preferences& preferences, QWidget* parent)
    : QDialog(parent), preferences_(preferences),
      ui_(std::make_unique<Ui::TransferParametersDialog>()) {
    ui_->setupUi(this);
    // The numbers change by the arrows only: their edits take no typing.
    for (QSpinBox* spin : {ui_->retries, ui_->sendPacketLength, ui_->receivePacketLength})
        spin->findChild<QLineEdit*>()->setReadOnly(true);
    connect(ui_->helpButton, &QPushButton::clicked, this,
            [] { showHelp(QStringLiteral("advanced")); });
    connect(ui_->okButton, &QPushButton::clicked, this, [this] {
        saveParameters();
        accept();
    });
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    registerWindow(this);
}

TransferParametersDialog::~TransferParametersDialog() = default;

void TransferParametersDialog::openAdvanced(const QWidget* settingsDialog) {
    prepareAdvanced(settingsDialog);
    exec();
}

void TransferParametersDialog::prepareAdvanced(const QWidget* settingsDialog) {
    namespace key = settings::key;
    namespace fallback = settings::fallback;
    const SettingsFile& ini = preferences_.settings();
    if (settingsDialog)
        placeOnScreen(*this, settingsDialog->pos() + kOffsetFromSettings);
    // A parity that is not one of the list, letter case included, keeps the selection.
    const int parity = ui_->parity->findText(
        settings::readString(ini, key::kParity, QString::fromLatin1(fallback::kParity)),
        Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (parity >= 0)
        ui_->parity->setCurrentIndex(parity);
    // A value out of range shows as the nearest bound.
    ui_->retries->setValue(settings::readInteger(ini, key::kRetries, fallback::kRetries));
    ui_->sendPacketLength->setValue(
        settings::readInteger(ini, key::kSendPacketLength, fallback::kDialogPacketLength));
    ui_->receivePacketLength->setValue(
        settings::readInteger(ini, key::kReceivePacketLength, fallback::kDialogPacketLength));
}

void TransferParametersDialog::saveParameters() {
    namespace key = settings::key;
    SettingsFile& ini = preferences_.settings();
    const SettingsFile::Batch batch(ini);
    settings::write(ini, key::kParity, ui_->parity->currentText());
    settings::write(ini, key::kRetries, ui_->retries->value());
    settings::write(ini, key::kSendPacketLength, ui_->sendPacketLength->value());
    settings::write(ini, key::kReceivePacketLength, ui_->receivePacketLength->value());
}
