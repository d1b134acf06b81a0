#include "gui/dialogs/SettingsDialog.h"
#include "ui_SettingsDialog.h"

#include "core/Hp48Codec.h"
#include "core/HpTranslation.h"
#include "gui/ChildSignals.h"
#include "gui/Localizer.h"
#include "gui/Palette.h"
#include "gui/Pictures.h"
#include "gui/ScreenPlacement.h"
#include "gui/dialogs/DeviceBox.h"
#include "gui/dialogs/HelpWindow.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/SerialDevices.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStorageInfo>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>

#include <utility>

namespace {

namespace key = settings::key;
namespace fallback = settings::fallback;

constexpr int kColourEntryHeight = 16;
constexpr int kColoursVisible = 6;
constexpr int kPortCount = 4;
constexpr int kDevicePort = kPortCount; // the button of a device of its own, after COM 4
constexpr int kDeviceRefreshMs = 1000;  // a device plugged in shows within a second
constexpr int kLowestBaud = 1200;
constexpr int kBaudRates[] = {1200, 2400, 4800, 9600};
constexpr int kFirstPortIndex = 1; // COM 2 when the dialog is first made
constexpr int kFirstBaudIndex = 3; // 9600
constexpr int kPortDigit = 3;      // "COM2": the fourth character

constexpr char kHelpContextProperty[] = "helpContext";

// A swatch: the rectangle shrunk by 4 pixels left and right and 3 at top and bottom in the
// colour, and a frame along the whole rectangle, black with the focus, else white.
void drawSwatch(QPainter& painter, const QRect& rect, int index, bool focused) {
    painter.fillRect(rect.adjusted(4, 3, -4, -3), paletteColour(index));
    painter.setPen(paletteColour(focused ? 0 : 14));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

class SwatchDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool focused = option.state & (QStyle::State_HasFocus | QStyle::State_Selected);
        drawSwatch(*painter, option.rect, index.row(), focused);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(option.rect.width(), kColourEntryHeight);
    }
};

// Checks the button with the id, or none for an id that no button has.
void select(QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id)) {
        button->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

// A port is a device of its own when it is a path.
bool isDevicePath(const QString& port) {
    return port.contains(u'/');
}

QString withSeparator(const QString& directory) {
    return directory.endsWith(u'/') ? directory : directory + u'/';
}

// The nearest directory that exists, going up from the path.
QString existingDirectory(const QString& path) {
    QDir directory(QDir::cleanPath(QDir(path).absolutePath()));
    while (!directory.exists() && !directory.isRoot()) {
        if (!directory.cdUp())
            break;
    }
    return directory.absolutePath();
}

bool volumeReadable(const QString& root) {
    const QStorageInfo volume(root);
    return volume.isValid() && volume.isReady() && QDir(root).isReadable();
}

} // namespace

// ---- the colour lists ----

ColourCombo::ColourCombo(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new SwatchDelegate(this));
    setMaxVisibleItems(kColoursVisible);
    for (size_t i = 0; i < settings::kColourPalette.size(); ++i)
        addItem(QString());
}

void ColourCombo::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0)
        return;
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    drawSwatch(painter, field, currentIndex(), hasFocus());
}

// ---- making the dialog ----

SettingsDialog::SettingsDialog(Preferences& preferences, QWidget* parent)
    : QDialog(parent), preferences_(preferences), ui_(std::make_unique<Ui::SettingsDialog>()) {
    ui_->setupUi(this);
    ui_->germanPicture->setPixmap(ownPicture(QStringLiteral("lang-de.png")));
    ui_->englishPicture->setPixmap(ownPicture(QStringLiteral("lang-en.png")));
    setWindowTitle(strings::text(textid::kSettingsCaption));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // The preselected topic row is chosen with the arrows only.
    auto* rowText = ui_->topicRow->findChild<QLineEdit*>();
    rowText->setObjectName(QStringLiteral("topicRowText"));
    rowText->setReadOnly(true);
    // Until the settings are first loaded, the colours every document starts with.
    ui_->textColour->setCurrentIndex(fallback::kTextColour);
    ui_->backgroundColour->setCurrentIndex(fallback::kBackgroundColour);
    setUpPortsAndSpeeds();
    setUpDirectoryList();
    connectButtons();
    // The dialog's width follows the tab texts: they are there before it is placed.
    for (int page = 0; page < ui_->pages->count(); ++page) {
        const auto tag =
            static_cast<quint16>(ui_->pages->widget(page)->property(kTagProperty).toUInt());
        ui_->pages->setTabText(page, strings::text(tag));
    }
    placeOnScreen(*this, settings::readPosition(preferences_.settings(), key::kSettingsPosition,
                                                fallback::kSettingsPosition));
    registerWindow(this);
}

SettingsDialog::~SettingsDialog() {
    disconnectChildSignals(this);
}

QList<QComboBox*> SettingsDialog::deviceBoxes() const {
    return {ui_->device1, ui_->device2, ui_->device3, ui_->device4, ui_->device};
}

// Each port offers the serial devices present, and any path typed in; so does the device of
// its own, which is chosen as soon as it is picked or typed. While the I/O page is shown, the
// lists follow the devices plugged in and taken away.
void SettingsDialog::setUpPortsAndSpeeds() {
    portGroup_ = new QButtonGroup(ui_->portGroup);
    const QList<QRadioButton*> ports = {ui_->port1, ui_->port2, ui_->port3, ui_->port4,
                                        ui_->portDevice};
    for (int port = 0; port < int(ports.size()); ++port)
        portGroup_->addButton(ports[port], port);
    refreshDevices();
    select(portGroup_, kFirstPortIndex);
    const auto chooseDevice = [this] { ui_->portDevice->setChecked(true); };
    connect(ui_->device, &QComboBox::activated, this, chooseDevice);
    connect(ui_->device->lineEdit(), &QLineEdit::textEdited, this, chooseDevice);
    const auto refreshOnIoPage = [this] {
        if (ui_->pages->currentWidget() == ui_->ioPage)
            refreshDevices();
    };
    deviceTimer_ = new QTimer(this);
    deviceTimer_->setInterval(kDeviceRefreshMs);
    connect(deviceTimer_, &QTimer::timeout, this, refreshOnIoPage);
    connect(ui_->pages, &QTabWidget::currentChanged, this, refreshOnIoPage);

    speedGroup_ = new QButtonGroup(ui_->speedGroup);
    const QList<QRadioButton*> speeds = {ui_->speed1200, ui_->speed2400, ui_->speed4800,
                                         ui_->speed9600};
    for (int speed = 0; speed < int(speeds.size()); ++speed)
        speedGroup_->addButton(speeds[speed], speed);
    select(speedGroup_, kFirstBaudIndex);
}

void SettingsDialog::refreshDevices() {
    QList<SerialDevice> devices = listSerialDevices();
    if (devices == devices_)
        return;
    devices_ = std::move(devices);
    for (QComboBox* box : deviceBoxes())
        fillDeviceBox(box, devices_);
}

void SettingsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    refreshDevices();
    deviceTimer_->start();
}

void SettingsDialog::hideEvent(QHideEvent* event) {
    deviceTimer_->stop();
    QDialog::hideEvent(event);
}

void SettingsDialog::setUpDirectoryList() {
    directories_ = new QFileSystemModel(this);
    directories_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    directories_->setReadOnly(true);
    directories_->setRootPath(QDir::rootPath());
    QTreeView* tree = ui_->directoryTree;
    tree->setModel(directories_);
    tree->setHeaderHidden(true);
    for (int column = 1; column < directories_->columnCount(); ++column)
        tree->hideColumn(column);
    connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { directoryChosen(current); });
    // The list reads directories in the background: once the way to the current directory
    // is read, it is shown.
    connect(directories_, &QFileSystemModel::directoryLoaded, this, [this](const QString& path) {
        if (currentDirectory_.startsWith(path))
            QTimer::singleShot(0, this, &SettingsDialog::showCurrentDirectory);
    });
    fillDriveList();
    connect(ui_->driveList, &QComboBox::activated, this, &SettingsDialog::showDriveDirectories);
}

void SettingsDialog::connectButtons() {
    connect(ui_->advancedButton, &QPushButton::clicked, this,
            &SettingsDialog::transferParametersRequested);
    connect(ui_->okButton, &QPushButton::clicked, this, [this] {
        applySettings();
        accept();
    });
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->defaultsButton, &QPushButton::clicked, this, &SettingsDialog::restoreDefaults);
    connect(ui_->helpButton, &QPushButton::clicked, this, &SettingsDialog::showPageHelp);
}

// ---- the drive list and the directory list ----

void SettingsDialog::fillDriveList() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && !roots.contains(volume.rootPath()))
            roots.append(volume.rootPath());
    }
    roots.sort();
    ui_->driveList->clear();
    for (const QString& root : roots)
        ui_->driveList->addItem(QDir::toNativeSeparators(root), root);
}

void SettingsDialog::showDriveOf(const QString& directory) {
    const QString root = QStorageInfo(directory).rootPath();
    int index = ui_->driveList->findData(root);
    if (index < 0 && !root.isEmpty()) {
        ui_->driveList->addItem(QDir::toNativeSeparators(root), root);
        index = ui_->driveList->count() - 1;
    }
    ui_->driveList->setCurrentIndex(index);
}

void SettingsDialog::goToDirectory(const QString& path) {
    // Also while the list cannot show it yet: the current directory is the one gone to.
    currentDirectory_ = existingDirectory(path);
    ui_->directoryLabel->setText(QDir::toNativeSeparators(currentDirectory_));
    showDriveOf(currentDirectory_);
    showCurrentDirectory();
}

void SettingsDialog::showCurrentDirectory() {
    const QModelIndex index = directories_->index(currentDirectory_);
    if (!index.isValid())
        return;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        ui_->directoryTree->expand(up);
    const QSignalBlocker quiet(ui_->directoryTree->selectionModel());
    ui_->directoryTree->setCurrentIndex(index);
    ui_->directoryTree->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void SettingsDialog::directoryChosen(const QModelIndex& index) {
    if (!index.isValid())
        return;
    currentDirectory_ = directories_->filePath(index);
    ui_->directoryLabel->setText(QDir::toNativeSeparators(currentDirectory_));
    showDriveOf(currentDirectory_);
}

// A volume that cannot be read leaves both lists where they were, without a message.
void SettingsDialog::showDriveDirectories(int index) {
    const QString root = ui_->driveList->itemData(index).toString();
    if (!root.isEmpty() && volumeReadable(root))
        goToDirectory(root);
    else
        showDriveOf(currentDirectory_);
}

// ---- loading ----

int SettingsDialog::openSettings() {
    loadControls();
    return exec();
}

// A path is a device of its own. Otherwise the fourth character of Port is the port number;
// numbers beyond the last select COM 4, 0 selects none, and a value without a digit there
// leaves the selection as it was.
void SettingsDialog::loadPort() {
    const QString port = settings::readString(preferences_.settings(), key::kPort,
                                              QString::fromLatin1(fallback::kPort));
    if (isDevicePath(port)) {
        showDevice(ui_->device, port);
        select(portGroup_, kDevicePort);
        return;
    }
    if (port.size() <= kPortDigit || !port.at(kPortDigit).isDigit())
        return;
    const int number = port.at(kPortDigit).digitValue();
    select(portGroup_, std::min(number, kPortCount) - 1);
}

void SettingsDialog::loadBaud() {
    const int baud = settings::readInteger(preferences_.settings(), key::kBaud, fallback::kBaud);
    const auto* rate = std::find(std::begin(kBaudRates), std::end(kBaudRates), baud);
    if (rate != std::end(kBaudRates))
        select(speedGroup_, int(rate - std::begin(kBaudRates)));
}

void SettingsDialog::loadDevices() {
    const QList<QComboBox*> boxes = deviceBoxes();
    for (int port = 1; port <= kPortCount; ++port) {
        showDevice(boxes[port - 1],
                   settings::readString(preferences_.settings(), key::kDevices[size_t(port - 1)],
                                        fallback::device(port)));
    }
}

void SettingsDialog::loadControls() {
    const SettingsFile& ini = preferences_.settings();
    loadPort();
    loadBaud();
    loadDevices();
    ui_->characterTableOnStart->setChecked(
        settings::readBool(ini, key::kCharTabAutoOn, fallback::kCharTabAutoOn));
    ui_->askDeleteTopic->setChecked(
        settings::readBool(ini, key::kAskDelTopic, fallback::kAskDelTopic));
    ui_->sound->setChecked(settings::readBool(ini, key::kSound, fallback::kSound));
    ui_->quickEdit->setChecked(settings::readBool(ini, key::kEditMode, fallback::kEditMode));
    ui_->compress->setChecked(settings::readBool(ini, key::kCompress, fallback::kCompress));
    ui_->topicRow->setValue(settings::readInteger(ini, key::kTopicLine, fallback::kTopicLine));
    ui_->swapBoxes->setChecked(
        settings::readBool(ini, key::kReversedBoxes, fallback::kReversedBoxes));
    ui_->deleteEmptyTopics->setChecked(
        settings::readBool(ini, key::kDeleteEmpty, fallback::kDeleteEmpty));
    ui_->toolBar->setChecked(settings::readBool(ini, key::kToolBar, fallback::kToolBar));
    ui_->backgroundPicture->setChecked(
        settings::readBool(ini, key::kBackground, fallback::kBackground));
    // A colour index outside the palette leaves the list's selection as it was.
    const int text = settings::readInteger(ini, key::kTextColour, fallback::kTextColour);
    if (text >= 0 && text < ui_->textColour->count())
        ui_->textColour->setCurrentIndex(text);
    const int background =
        settings::readInteger(ini, key::kBackgroundColour, fallback::kBackgroundColour);
    if (background >= 0 && background < ui_->backgroundColour->count())
        ui_->backgroundColour->setCurrentIndex(background);
    (settings::readLanguage(ini) == 1 ? ui_->english : ui_->german)->setChecked(true);
    (hptrans::usesBackslashCodes(settings::readTranslation(ini)) ? ui_->newFilesAsCodes
                                                                 : ui_->newFilesAsBytes)
        ->setChecked(true);
    (settings::readHp49(ini) ? ui_->calculatorHp49 : ui_->calculatorHp48)->setChecked(true);
    goToDirectory(preferences_.preferredPath);
}

// ---- the buttons ----

void SettingsDialog::applySettings() {
    SettingsFile& ini = preferences_.settings();
    Preferences& global = preferences_;
    SettingsFile::Batch batch(ini);
    settings::write(ini, key::kPort, chosenPort());
    settings::write(ini, key::kBaud, kLowestBaud << std::max(speedGroup_->checkedId(), 0));
    const QList<QComboBox*> boxes = deviceBoxes();
    for (int port = 1; port <= kPortCount; ++port) {
        const QString device = chosenDevice(boxes[port - 1]);
        settings::write(ini, key::kDevices[size_t(port - 1)],
                        device.isEmpty() ? fallback::device(port) : device);
    }
    settings::write(ini, key::kCharTabAutoOn, ui_->characterTableOnStart->isChecked());
    settings::write(ini, key::kSound, global.sound = ui_->sound->isChecked());
    settings::write(ini, key::kEditMode, global.editMode = ui_->quickEdit->isChecked());
    settings::write(ini, key::kCompress, global.compress = ui_->compress->isChecked());
    settings::write(ini, key::kDeleteEmpty,
                    global.deleteEmpty = ui_->deleteEmptyTopics->isChecked());
    settings::write(ini, key::kReversedBoxes, ui_->swapBoxes->isChecked());
    settings::write(ini, key::kBackground, global.background = ui_->backgroundPicture->isChecked());
    settings::write(ini, key::kToolBar, ui_->toolBar->isChecked());
    settings::write(ini, key::kAskDelTopic, global.askDelTopic = ui_->askDeleteTopic->isChecked());
    settings::write(ini, key::kTextColour, ui_->textColour->currentIndex());
    settings::write(ini, key::kBackgroundColour, ui_->backgroundColour->currentIndex());
    settings::write(ini, key::kTopicLine, ui_->topicRow->value());
    applyCharacterSettings();
    thePrompter().setSoundOn(global.sound);
    emit applied();
    settings::write(ini, key::kLanguage, ui_->english->isChecked() ? 1 : 0);
    strings::setLanguage(ui_->english->isChecked() ? strings::kEnglish : strings::kGerman);
    applyLanguage();
    global.preferredPath = withSeparator(currentDirectory_);
    settings::write(ini, key::kPrefPath, global.preferredPath);
}

// A device of its own is stored as its path, a bare name as the device of that name in /dev;
// without one typed, the port stays the default.
QString SettingsDialog::chosenPort() const {
    const int port = portGroup_->checkedId();
    if (port != kDevicePort)
        return QStringLiteral("COM%1").arg(port + 1);
    const QString device = chosenDevice(ui_->device);
    if (device.isEmpty())
        return QString::fromLatin1(fallback::kPort);
    return isDevicePath(device) ? device : QStringLiteral("/dev/") + device;
}

// A mode of new documents written by hand (0 or 2) stays while its kind is chosen.
void SettingsDialog::applyCharacterSettings() {
    SettingsFile& ini = preferences_.settings();
    const bool codes = ui_->newFilesAsCodes->isChecked();
    int mode = settings::readTranslation(ini);
    if (hptrans::usesBackslashCodes(mode) != codes)
        mode = codes ? 3 : 1;
    settings::write(ini, key::kTranslation, preferences_.newTranslation = mode);
    preferences_.hp49 = ui_->calculatorHp49->isChecked();
    settings::write(ini, key::kCalculator,
                    preferences_.hp49 ? fallback::kCalculatorHp49 : fallback::kCalculator);
    hp48::setModel(preferences_.hp49 ? hp48::Model::Hp49 : hp48::Model::Hp48);
}

// The whole settings file goes back to its defaults and the program ends; the positions of
// this run are not written back.
void SettingsDialog::restoreDefaults() {
    MessageRequest question;
    question.baseId = textid::kDefaultsQuestion;
    question.text = strings::text(textid::kDefaultsQuestion);
    question.icon = MsgIcon::Warning;
    question.buttons = {MsgButton::Yes, MsgButton::No};
    const bool reset = thePrompter().ask(question, Beep::Exclamation) == MsgButton::Yes;
    done(kDefaultResult);
    if (!reset)
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    settings::writeDefaults(preferences_.settings(), screen ? screen->size() : QSize(),
                            strings::language());
    emit defaultsRestored();
}

QString SettingsDialog::helpContext() const {
    return ui_->pages->currentWidget()->property(kHelpContextProperty).toString();
}

void SettingsDialog::showPageHelp() {
    showHelp(helpContext());
}
