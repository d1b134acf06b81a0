#include "gui/dialogs/TransferParametersDialog.h"

#include "gui/Localizer.h"
#include "gui/ScreenPlacement.h"
#include "gui/dialogs/HelpWindow.h"
#include "platform/Preferences.h"
#include "platform/Settings.h"
#include "platform/TextIds.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

// Kermit's parities, in the order of the list; the words are Kermit's own and not translated.
const char* const kParities[] = {"none", "even", "odd", "mark", "space"};
constexpr int kVisibleParities = 5;
constexpr int kMinRetries = 1;
constexpr int kMaxRetries = 63;
constexpr int kMinPacketLength = 24;
constexpr int kMaxPacketLength = 96;
constexpr int kPacketLengthStep = 8;

// The dialog stands this far right of and below the settings dialog's corner.
constexpr QPoint kOffsetFromSettings{115, 70};

constexpr QSize kClientSize{300, 210};
constexpr int kLabelX = 16;
constexpr int kLabelWidth = 130;
constexpr int kFieldX = 160;
constexpr QSize kFieldSize{120, 24};
constexpr int kLineHeight = 18;
constexpr int kButtonsY = 170;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 10;

void makeLabel(QWidget* parent, const char* name, quint16 tag, int y) {
    auto* label = tagged(new QLabel(parent), name, tag);
    label->setGeometry(kLabelX, y, kLabelWidth, kLineHeight);
}

QPushButton* makeButton(QWidget* parent, const char* name, quint16 tag, int index) {
    auto* button = tagged(new QPushButton(parent), name, tag);
    button->setGeometry(kLabelX + index * (kButtonWidth + kButtonGap), kButtonsY, kButtonWidth,
                        kButtonHeight);
    return button;
}

} // namespace

TransferParametersDialog::TransferParametersDialog(Preferences& preferences, QWidget* parent)
    : QDialog(parent), preferences_(preferences) {
    setObjectName(QStringLiteral("More"));
    setProperty(kTagProperty, textid::kParametersCaption);
    setFixedSize(kClientSize);
    createControls();
    registerWindow(this);
}

// A number field that only its arrows change: its edit takes no typing.
QSpinBox* TransferParametersDialog::makeSpin(const char* name, const char* editName, int minimum,
                                             int maximum, int step, int y) {
    auto* spin = new QSpinBox(this);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(minimum, maximum);
    spin->setSingleStep(step);
    spin->setWrapping(false);
    spin->setGeometry(QRect(QPoint(kFieldX, y), kFieldSize));
    QLineEdit* edit = spin->findChild<QLineEdit*>();
    edit->setObjectName(QString::fromLatin1(editName));
    edit->setReadOnly(true);
    return spin;
}

void TransferParametersDialog::createControls() {
    makeLabel(this, "Label1", textid::kParametersParityLabel, 16);
    parityBox_ = new QComboBox(this);
    parityBox_->setObjectName(QStringLiteral("ParityBox"));
    parityBox_->setEditable(false);
    parityBox_->setMaxVisibleItems(kVisibleParities);
    for (const char* parity : kParities)
        parityBox_->addItem(QString::fromLatin1(parity));
    parityBox_->setCurrentIndex(-1);
    parityBox_->setGeometry(QRect(QPoint(kFieldX, 12), kFieldSize));

    makeLabel(this, "Label12", textid::kRetriesLabel, 52);
    retriesUpDown_ = makeSpin("RetriesUpDown", "Retries", kMinRetries, kMaxRetries, 1, 48);

    makeLabel(this, "Label6", textid::kSendLabel, 80);
    makeLabel(this, "Label2", textid::kPacketLengthLabel, 80 + kLineHeight);
    sendUpDown_ = makeSpin("SendUpDown", "SendPacket", kMinPacketLength, kMaxPacketLength,
                           kPacketLengthStep, 86);

    makeLabel(this, "Label10", textid::kReceiveLabel, 122);
    makeLabel(this, "Label5", textid::kPacketLengthLabel, 122 + kLineHeight);
    receiveUpDown_ = makeSpin("ReceiveUpDown", "ReceivePacket", kMinPacketLength, kMaxPacketLength,
                              kPacketLengthStep, 128);

    button1_ = makeButton(this, "Button1", textid::kOk, 0);
    button1_->setDefault(true);
    button2_ = makeButton(this, "Button2", textid::kCancel, 1);
    button3_ = makeButton(this, "Button3", textid::kHelp, 2);
    connect(button3_, &QPushButton::clicked, this, [] { showHelp(QStringLiteral("advanced")); });
    connect(button1_, &QPushButton::clicked, this, [this] {
        saveParameters();
        accept();
    });
    connect(button2_, &QPushButton::clicked, this, &QDialog::reject);
}

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
    const int parity = parityBox_->findText(
        settings::readString(ini, key::kParity, QString::fromLatin1(fallback::kParity)),
        Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (parity >= 0)
        parityBox_->setCurrentIndex(parity);
    // A value out of range shows as the nearest bound.
    retriesUpDown_->setValue(settings::readInteger(ini, key::kRetries, fallback::kRetries));
    sendUpDown_->setValue(
        settings::readInteger(ini, key::kSendPacketLength, fallback::kDialogPacketLength));
    receiveUpDown_->setValue(
        settings::readInteger(ini, key::kReceivePacketLength, fallback::kDialogPacketLength));
}

void TransferParametersDialog::saveParameters() {
    namespace key = settings::key;
    SettingsFile& ini = preferences_.settings();
    const SettingsFile::Batch batch(ini);
    settings::write(ini, key::kParity, parityBox_->currentText());
    settings::write(ini, key::kRetries, retriesUpDown_->value());
    settings::write(ini, key::kSendPacketLength, sendUpDown_->value());
    settings::write(ini, key::kReceivePacketLength, receiveUpDown_->value());
}
