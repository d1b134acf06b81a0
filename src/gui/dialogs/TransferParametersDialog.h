#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TransferParametersDialog;
}
class Preferences;

// The advanced transfer parameters: parity, retries and the two packet lengths of the Kermit
// transfer. Made once when the program starts; the settings dialog opens it, and it writes its
// values into the settings file itself when it is confirmed.
class TransferParametersDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TransferParametersDialog(Preferences& preferences, QWidget* parent = nullptr);
    ~TransferParametersDialog() override;

    // Shows the dialog modally beside the settings dialog with the values of the settings
    // file; returns when it is closed.
    void openAdvanced(const QWidget* settingsDialog);
    // The set-up part of openAdvanced: the place and the values.
    void prepareAdvanced(const QWidget* settingsDialog);
    // Ok: writes the four values into section Transfer.
    void saveParameters();

  private:
    Preferences& preferences_;
    std::unique_ptr<Ui::TransferParametersDialog> ui_;
};
