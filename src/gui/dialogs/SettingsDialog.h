#pragma once

#include "platform/SerialDevices.h"

#include <QComboBox>
#include <QDialog>

#include <memory>

namespace Ui {
class SettingsDialog;
}
class QButtonGroup;
class QFileSystemModel;
class QTimer;
class Preferences;

// A colour list that shows the colours of the palette as swatches, also on its face.
class ColourCombo : public QComboBox {
    Q_OBJECT

  public:
    explicit ColourCombo(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// The settings dialog: seven pages of options, written to the settings file by OK and
// applied at once where they can be.
class SettingsDialog : public QDialog {
    Q_OBJECT

  public:
    // The result of the dialog when the Default button closed it.
    static constexpr int kDefaultResult = 6;

    explicit SettingsDialog(Preferences& preferences, QWidget* parent = nullptr);
    ~SettingsDialog() override;

    // Loads every control from the settings and shows the dialog modally.
    int openSettings();
    // The loading alone, as openSettings does it before it shows the dialog.
    void loadControls();

    void applySettings();
    void restoreDefaults();
    void showDriveDirectories(int index);

    // The help context of the page shown.
    QString helpContext() const;
    // The directory list: its current directory, and going to one.
    QString currentDirectory() const { return currentDirectory_; }
    void goToDirectory(const QString& path);

  signals:
    // Ok wrote the choices: the windows are to show them (background, tool bar, boxes).
    void applied();
    // Default was confirmed: the settings file holds the defaults and the program ends.
    void defaultsRestored();
    // Advanced was pressed: the advanced transfer parameters are to open over this dialog.
    void transferParametersRequested();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void showPageHelp();
    void refreshDevices();
    QString chosenPort() const;
    void setUpPortsAndSpeeds();
    void setUpDirectoryList();
    void connectButtons();
    void loadPort();
    void loadBaud();
    void loadDevices();
    void applyCharacterSettings();
    void fillDriveList();
    void showDriveOf(const QString& directory);
    void directoryChosen(const QModelIndex& index);
    void showCurrentDirectory();
    QList<QComboBox*> deviceBoxes() const;

    Preferences& preferences_;
    std::unique_ptr<Ui::SettingsDialog> ui_;
    QButtonGroup* portGroup_ = nullptr;
    QButtonGroup* speedGroup_ = nullptr;
    QFileSystemModel* directories_ = nullptr;
    QTimer* deviceTimer_ = nullptr;
    QList<SerialDevice> devices_; // as the lists show them
    QString currentDirectory_;
};
