#pragma once

#include <QDialog>

#include <memory>

class SettingsFile;
namespace Ui {
class InstallerDialog;
}

// The installer, shown on the first start: the language, which entries to make and whether
// database files open with the program. Ok installs and closes the dialog with Accepted;
// Cancel, and an installation that cannot install the font, close it with Rejected, and the
// program then ends without a settings file. The installation itself is install/'s; the dialog
// collects the choices and reports what went wrong.
class InstallerDialog : public QDialog {
    Q_OBJECT

  public:
    explicit InstallerDialog(SettingsFile& settings, QWidget* parent = nullptr);
    ~InstallerDialog() override;

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
    std::unique_ptr<Ui::InstallerDialog> ui_;
};
