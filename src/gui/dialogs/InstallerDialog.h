#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The installer, shown on the first start: the language, which entries to make and whether
// database files open with the program. Ok installs and closes the dialog with Accepted;
// Cancel, and an installation that cannot install the font, close it with Rejected, and the
// program then ends without a settings file.
class SettingsFile;

class InstallerDialog : public QDialog {
    Q_OBJECT

  public:
    explicit InstallerDialog(SettingsFile& settings, QWidget* parent = nullptr);

    // Puts the texts of the chosen language into the dialog.
    void showLanguageTexts();
    // A language button was chosen: the program's language follows at once, the settings file
    // only when the installation writes its defaults.
    void chooseLanguage();
    // Installs in the described order, then closes the dialog.
    void install();
    // Ends the installation; nothing is installed.
    void cancelInstallation();
    // The help on installing.
    void showInstallHelp();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    bool installFont();

    SettingsFile& settings_;
    QLabel* addLabel(const char* name, int top, quint16 tag);
    QCheckBox* addCheckBox(const char* name, int row, quint16 tag);
    QPushButton* addButton(const char* name, int left, quint16 tag);

    QLabel* welcome_ = nullptr;
    QGroupBox* options_ = nullptr;
    QRadioButton* german_ = nullptr;
    QRadioButton* english_ = nullptr;
    QCheckBox* fileClass_ = nullptr;    // CheckBox3
    QCheckBox* desktop_ = nullptr;      // CheckBox2
    QCheckBox* quickLaunch_ = nullptr;  // CheckBox5
    QCheckBox* startMenu_ = nullptr;    // CheckBox1
    QCheckBox* programsMenu_ = nullptr; // CheckBox4
};
