#include "gui/dialogs/InstallerDialog.h"

#include "gui/Hp48Font.h"
#include "gui/Localizer.h"
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

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace {

const QString kHelpContext = QStringLiteral("inst");

constexpr QSize kClientSize{400, 320};
constexpr int kFontPixels = 12;
constexpr int kLineHeight = 17;
constexpr QRect kImage{16, 16, 32, 32};
constexpr int kTextLeft = 60;
constexpr int kTextWidth = 330;
constexpr QRect kLanguageBox{16, 130, 112, 78};
constexpr QRect kGermanButton{28, 152, 96, 20};
constexpr QRect kEnglishButton{28, 176, 96, 20};
constexpr QRect kOptionsBox{140, 130, 244, 144};
constexpr int kCheckBoxTop = 22;
constexpr int kCheckBoxStep = 24;
constexpr int kButtonTop = 284;
constexpr QSize kButtonSize{75, 25};

// The language buttons keep their own texts.
constexpr const char* kGermanText = "deutsch";
constexpr const char* kEnglishText = "english";

// A fixed dialog frame without title-bar buttons.
constexpr Qt::WindowFlags kWindowFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

QSize screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

} // namespace

InstallerDialog::InstallerDialog(SettingsFile& settings, QWidget* parent)
    : QDialog(parent, kWindowFlags), settings_(settings) {
    setObjectName(QStringLiteral("Inst"));
    setProperty(kTagProperty, textid::kInstallerCaption);
    setFixedSize(kClientSize);
    QFont font = this->font();
    font.setPixelSize(kFontPixels);
    setFont(font);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(kImage);
    image->setPixmap(QPixmap(QStringLiteral(":/images/ombrel-32.png")));
    welcome_ = addLabel("Label1", 16, 0);
    addLabel("Label2", 42, textid::kPressOk);
    addLabel("Label3", 42 + kLineHeight, textid::kCancelAborts);
    addLabel("Label4", 83, textid::kReadRemarks);
    addLabel("Label5", 83 + kLineHeight, textid::kWithHelp);

    // The language buttons stand on the frame but do not belong to it: they are no radio group
    // whose items take texts from the frame's tag.
    auto* languageBox = new QGroupBox(this);
    languageBox->setObjectName(QStringLiteral("LangBox"));
    languageBox->setProperty(kTagProperty, textid::kLanguage);
    languageBox->setGeometry(kLanguageBox);
    german_ = new QRadioButton(QString::fromLatin1(kGermanText), this);
    german_->setObjectName(QStringLiteral("deuRButt"));
    german_->setGeometry(kGermanButton);
    english_ = new QRadioButton(QString::fromLatin1(kEnglishText), this);
    english_->setObjectName(QStringLiteral("engRButt"));
    english_->setGeometry(kEnglishButton);
    (strings::language() == strings::kEnglish ? english_ : german_)->setChecked(true);
    connect(german_, &QRadioButton::clicked, this, &InstallerDialog::chooseLanguage);
    connect(english_, &QRadioButton::clicked, this, &InstallerDialog::chooseLanguage);

    options_ = new QGroupBox(this);
    options_->setObjectName(QStringLiteral("GroupBox1"));
    options_->setProperty(kTagProperty, textid::kInstallerOptions);
    options_->setGeometry(kOptionsBox);
    fileClass_ = addCheckBox("CheckBox3", 0, textid::kLinkFiles);
    desktop_ = addCheckBox("CheckBox2", 1, textid::kOnDesktop);
    quickLaunch_ = addCheckBox("CheckBox5", 2, textid::kQuickLaunch);
    startMenu_ = addCheckBox("CheckBox1", 3, textid::kStartMenuRoot);
    programsMenu_ = addCheckBox("CheckBox4", 4, textid::kProgramsMenu);
    // A start-menu root and a Quick Launch bar do not exist on this desktop.
    for (QCheckBox* absent : {quickLaunch_, startMenu_}) {
        absent->setChecked(false);
        absent->setEnabled(false);
    }

    QPushButton* ok = addButton("BitBtn1", kOptionsBox.left(), textid::kOk);
    ok->setDefault(true);
    QPushButton* cancel = addButton("BitBtn2", kOptionsBox.left() + 84, textid::kCancel);
    QPushButton* help = addButton("BitBtn3", kOptionsBox.left() + 169, textid::kHelp);
    connect(ok, &QPushButton::clicked, this, &InstallerDialog::install);
    connect(cancel, &QPushButton::clicked, this, &InstallerDialog::cancelInstallation);
    connect(help, &QPushButton::clicked, this, &InstallerDialog::showInstallHelp);

    centreOnScreen(*this);
    showLanguageTexts();
    registerWindow(this);
}

QLabel* InstallerDialog::addLabel(const char* name, int top, quint16 tag) {
    auto* label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(kTextLeft, top, kTextWidth, kLineHeight);
    if (tag != 0)
        label->setProperty(kTagProperty, tag);
    return label;
}

QCheckBox* InstallerDialog::addCheckBox(const char* name, int row, quint16 tag) {
    auto* box = tagged(new QCheckBox(options_), name, tag);
    box->setGeometry(12, kCheckBoxTop + row * kCheckBoxStep, kOptionsBox.width() - 20, 20);
    box->setChecked(true);
    return box;
}

QPushButton* InstallerDialog::addButton(const char* name, int left, quint16 tag) {
    auto* button = tagged(new QPushButton(this), name, tag);
    button->setGeometry(QRect(QPoint(left, kButtonTop), kButtonSize));
    button->setAutoDefault(false);
    return button;
}

void InstallerDialog::showEvent(QShowEvent* event) {
    showLanguageTexts();
    QDialog::showEvent(event);
}

void InstallerDialog::showLanguageTexts() {
    applyLanguageTo(this);
    welcome_->setText(strings::text(textid::kWelcome) + settings::versionText() +
                      QStringLiteral(" !"));
}

void InstallerDialog::chooseLanguage() {
    strings::setLanguage(english_->isChecked() ? strings::kEnglish : strings::kGerman);
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
    choices.fileAssociation = fileClass_->isChecked();
    choices.desktopShortcut = desktop_->isChecked();
    choices.programsMenu = programsMenu_->isChecked();
    choices.startMenuRoot = startMenu_->isChecked();
    choices.quickLaunch = quickLaunch_->isChecked();
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
