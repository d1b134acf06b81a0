#include "gui/dialogs/InstallerDialog.h"

#include "gui/Hp48Font.h"
#include "gui/Localizer.h"
#include "gui/Pictures.h"
#include "gui/ScreenPlacement.h"
#include "gui/dialogs/HelpWindow.h"
#include "install/DesktopIntegration.h"
#include "install/Installation.h"
#include "platform/CompanionFiles.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"
#include "ui_InstallerDialog.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace {

const QString kHelpContext = QStringLiteral("inst");
constexpr int kFontPixels = 12;
// A fixed dialog frame without title-bar buttons.
constexpr Qt::WindowFlags kWindowFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

QSize screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

} // namespace

InstallerDialog::InstallerDialog(SettingsFile& settings, QWidget* parent)
    : QDialog(parent, kWindowFlags), settings_(settings), ui_(new Ui::InstallerDialog) {
    ui_->setupUi(this);
    ui_->programIcon->setPixmap(ownPicture(QStringLiteral("ombrel-32.png")));
    QFont font = this->font();
    font.setPixelSize(kFontPixels);
    setFont(font);
    // The language buttons stand on their frame but are no items of it, which would take their
    // texts from the frame's tag: each keeps the name of its language.
    (strings::language() == strings::kEnglish ? ui_->languageEnglish : ui_->languageGerman)
        ->setChecked(true);
    if (!install::offered(desktop::ShortcutKind::ProgramsMenu)) {
        ui_->programsMenu->setChecked(false);
        ui_->programsMenu->setEnabled(false);
    }
    connect(ui_->languageGerman, &QRadioButton::clicked, this, &InstallerDialog::chooseLanguage);
    connect(ui_->languageEnglish, &QRadioButton::clicked, this, &InstallerDialog::chooseLanguage);
    connect(ui_->installButton, &QPushButton::clicked, this, &InstallerDialog::install);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &InstallerDialog::cancelInstallation);
    connect(ui_->helpButton, &QPushButton::clicked, this, &InstallerDialog::showInstallHelp);

    centreOnScreen(*this);
    showLanguageTexts();
    registerWindow(this);
}

InstallerDialog::~InstallerDialog() = default;

void InstallerDialog::showEvent(QShowEvent* event) {
    showLanguageTexts();
    QDialog::showEvent(event);
}

void InstallerDialog::showLanguageTexts() {
    applyLanguageTo(this);
    ui_->welcome->setText(strings::text(textid::kWelcome) + settings::versionText() +
                          QStringLiteral(" !"));
}

void InstallerDialog::chooseLanguage() {
    strings::setLanguage(ui_->languageEnglish->isChecked() ? strings::kEnglish : strings::kGerman);
    showLanguageTexts();
    if (HelpWindow* help = HelpWindow::instance())
        applyLanguageTo(help);
}

// Every record of the installation is saved at once, so a file that cannot be written is
// reported once.
void InstallerDialog::install() {
    const SettingsFile::Batch batch(settings_);
    if (!installFont()) {
        reject(); // the program ends; the next start shows the installer again
        return;
    }
    install::Choices choices;
    choices.language = strings::language();
    choices.fileAssociation = ui_->fileAssociation->isChecked();
    choices.desktopShortcut = ui_->desktopShortcut->isChecked();
    choices.programsMenu = ui_->programsMenu->isChecked();
    choices.startMenuRoot = ui_->startMenuRoot->isChecked();
    choices.quickLaunch = ui_->quickLaunch->isChecked();
    install::installEntries(settings_, choices, {paths::exeFile(), settings::versionText()},
                            screenSize());
    accept();
}

void InstallerDialog::cancelInstallation() {
    reject();
}

void InstallerDialog::showInstallHelp() {
    // A window of this dialog, so that the user can read it while the dialog waits.
    if (!HelpWindow::instance())
        applyLanguageTo(new HelpWindow(this));
    showHelp(kHelpContext);
}

// False when the installation cannot go on.
bool InstallerDialog::installFont() {
    switch (install::installFont(settings_, programfiles::path(programfiles::kFont))) {
    case install::FontResult::Copied:
        hp48font::addInstalled(desktop::fontFile());
        return true;
    case install::FontResult::AlreadyKnown:
        thePrompter().showMessage(textid::kFontRegistered, MessageKind::Information);
        return true;
    case install::FontResult::SourceMissing:
        thePrompter().showMessage(textid::kFontMissing, MessageKind::Error);
        return false;
    case install::FontResult::NotCopied:
        thePrompter().showMessage(textid::kFileNotCopied, MessageKind::Information);
        return false;
    }
    return false;
}
