#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;
class QSpinBox;

// The advanced transfer parameters: parity, retries and the two packet lengths of the Kermit
// transfer. Made once when the program starts; the settings dialog opens it, and it writes its
// values into the settings file itself when it is confirmed.
class Preferences;

class TransferParametersDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TransferParametersDialog(Preferences& preferences, QWidget* parent = nullptr);

    // Shows the dialog modally beside the settings dialog with the values of the settings
    // file; returns when it is closed.
    void openAdvanced(const QWidget* settingsDialog);
    // The set-up part of OpenAdvanced: the place and the values.
    void prepareAdvanced(const QWidget* settingsDialog);
    // Ok: writes the four values into section Transfer.
    void saveParameters();

  private:
    Preferences& preferences_;
    void createControls();
    QSpinBox* makeSpin(const char* name, const char* editName, int minimum, int maximum, int step,
                       int y);

    QComboBox* parityBox_ = nullptr;
    QSpinBox* retriesUpDown_ = nullptr;
    QSpinBox* sendUpDown_ = nullptr;
    QSpinBox* receiveUpDown_ = nullptr;
    QPushButton* button1_ = nullptr;
    QPushButton* button2_ = nullptr;
    QPushButton* button3_ = nullptr;
};
