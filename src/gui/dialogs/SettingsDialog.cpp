#include "gui/dialogs/SettingsDialog.h"

#include "gui/ChildSignals.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/Palette.h"
#include "gui/ScreenPlacement.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/TransferParametersDialog.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStorageInfo>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

namespace key = settings::key;
namespace fallback = settings::fallback;

constexpr int kMinimumWidth = 442;
constexpr int kColourEntryHeight = 16;
constexpr int kColoursVisible = 6;
constexpr int kColourListWidth = 145;
constexpr int kPortCount = 4;
constexpr int kLowestBaud = 1200;
constexpr int kBaudRates[] = {1200, 2400, 4800, 9600};
constexpr int kFirstPortIndex = 1; // COM 2 when the dialog is first made
constexpr int kFirstBaudIndex = 3; // 9600
constexpr int kPortDigit = 3;      // "COM2": the fourth character

const char* const kHelpContextProperty = "helpContext";

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

QRadioButton* addRadio(QWidget* parent, QButtonGroup* group, const char* name, const QString& text,
                       int id) {
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    group->addButton(button, id);
    return button;
}

QLabel* addLabel(QWidget* parent, const char* name, quint16 tag) {
    auto* label = tagged(new QLabel(parent), name, tag);
    return label;
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

// ttyS2 before ttyS10: by the name without its number, then by the number.
bool deviceOrder(const QString& left, const QString& right) {
    const auto split = [](const QString& path) {
        qsizetype digits = path.size();
        while (digits > 0 && path.at(digits - 1).isDigit())
            --digits;
        return std::pair(path.left(digits), path.mid(digits).toLongLong());
    };
    return split(left) < split(right);
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

RowSpin::RowSpin(QWidget* parent) : QSpinBox(parent) {
    setRange(1, 7);
    setSingleStep(1);
    setWrapping(false);
    lineEdit()->setObjectName(QStringLiteral("RowText"));
    lineEdit()->setReadOnly(true);
}

// ---- making the dialog ----

SettingsDialog::SettingsDialog(Preferences& preferences, QWidget* parent)
    : QDialog(parent), preferences_(preferences) {
    setObjectName(QStringLiteral("Options"));
    setProperty(kTagProperty, textid::kSettingsCaption);
    setWindowTitle(strings::text(textid::kSettingsCaption));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    pages_->setUsesScrollButtons(false);
    createProgramPage();
    createQuestionsPage();
    createLayoutPage();
    createColoursPage();
    createLanguagePage();
    createIoPage();
    createPathPage();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    createButtons();
    pages_->setCurrentIndex(0);
    setMinimumWidth(kMinimumWidth);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    placeOnScreen(*this, settings::readPosition(preferences_.settings(), key::kSettingsPosition,
                                                fallback::kSettingsPosition));
    registerWindow(this);
}

SettingsDialog::~SettingsDialog() {
    disconnectChildSignals(this);
}

QWidget* SettingsDialog::addPage(const char* name, quint16 tag, const char* helpContext) {
    auto* page = tagged(new QWidget, name, tag);
    page->setProperty(kHelpContextProperty, QString::fromLatin1(helpContext));
    pages_->addTab(page, strings::text(tag));
    return page;
}

QCheckBox* SettingsDialog::addCheckBox(QWidget* page, const char* name, quint16 tag) {
    auto* box = tagged(new QCheckBox(page), name, tag);
    page->layout()->addWidget(box);
    return box;
}

void SettingsDialog::createProgramPage() {
    QWidget* page = addPage("TabSheet1", 3905, "prog");
    auto* layout = new QVBoxLayout(page);
    f5Box_ = addCheckBox(page, "F5Box", 3935);
    delEmptyBox_ = addCheckBox(page, "DelEmptyBox", 3955);
    charStartBox_ = addCheckBox(page, "CharStartBox", 3940);
    soundBox_ = addCheckBox(page, "SoundBox", 3945);
    kompBox_ = addCheckBox(page, "KompBox", 3950);
    layout->addStretch();
}

void SettingsDialog::createQuestionsPage() {
    QWidget* page = addPage("TabSheet7", 3805, "ask");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(addLabel(page, "Label4", 3810));
    delTBox_ = addCheckBox(page, "DelTBox", 3815);
    layout->addStretch();
}

void SettingsDialog::createLayoutPage() {
    QWidget* page = addPage("TabSheet2", 3910, "lay");
    auto* layout = new QVBoxLayout(page);
    reversedBox_ = addCheckBox(page, "ReversedBox", 3975);
    toolBarBox_ = addCheckBox(page, "ToolBarBox", 3960);
    bkgndBox_ = addCheckBox(page, "BkgndBox", 3980);
    auto* line = new QFrame(page);
    line->setObjectName(QStringLiteral("Bevel1"));
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    layout->addWidget(line);
    auto* row = new QHBoxLayout;
    row->addWidget(addLabel(page, "Label1", 3990));
    rowUpDown_ = new RowSpin(page);
    rowUpDown_->setObjectName(QStringLiteral("RowUpDown"));
    row->addWidget(rowUpDown_);
    row->addStretch();
    layout->addLayout(row);
    layout->addStretch();
}

void SettingsDialog::createColoursPage() {
    QWidget* page = addPage("TabSheet6", 3800, "color");
    auto* layout = new QGridLayout(page);
    textCombo_ = new ColourCombo(page);
    textCombo_->setObjectName(QStringLiteral("TextCombo"));
    bkgndCombo_ = new ColourCombo(page);
    bkgndCombo_->setObjectName(QStringLiteral("BkgndCombo"));
    // Until the settings are first loaded, the colours every document starts with.
    for (ColourCombo* combo : {textCombo_, bkgndCombo_})
        combo->setMinimumWidth(kColourListWidth);
    textCombo_->setCurrentIndex(fallback::kTextColour);
    bkgndCombo_->setCurrentIndex(fallback::kBackgroundColour);
    layout->addWidget(addLabel(page, "Label2", 3965), 0, 0);
    layout->addWidget(textCombo_, 0, 1);
    layout->addWidget(addLabel(page, "Label3", 3970), 1, 0);
    layout->addWidget(bkgndCombo_, 1, 1);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(2, 1);
}

void SettingsDialog::createLanguagePage() {
    QWidget* page = addPage("TabSheet3", 3915, "lang");
    auto* layout = new QGridLayout(page);
    auto* languages = new QButtonGroup(page);
    const struct {
        const char* picture;
        const char* pictureName;
        const char* name;
        const char* text;
        QRadioButton** button;
    } choices[] = {{"lang-de.png", "deuImage", "deuRButt", "  Deutsch", &deuRButt_},
                   {"lang-en.png", "engImage", "engRButt", "  English", &engRButt_}};
    int row = 0;
    for (const auto& choice : choices) {
        auto* picture = new QLabel(page);
        picture->setObjectName(QString::fromLatin1(choice.pictureName));
        picture->setPixmap(QPixmap(QStringLiteral(":/images/") + QLatin1String(choice.picture)));
        *choice.button =
            addRadio(page, languages, choice.name, QString::fromLatin1(choice.text), row);
        layout->addWidget(picture, row, 0);
        layout->addWidget(*choice.button, row, 1);
        ++row;
    }
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(row, 1);
}

void SettingsDialog::createIoPage() {
    QWidget* page = addPage("TabSheet4", 3920, "iopar");
    auto* layout = new QGridLayout(page);

    auto* ports = new QGroupBox(QStringLiteral("Port :"), page);
    ports->setObjectName(QStringLiteral("PortGroup"));
    auto* portLayout = new QGridLayout(ports);
    portGroup_ = new QButtonGroup(ports);
    const QStringList devices = serialDevices();
    for (int port = 0; port < kPortCount; ++port) {
        const QByteArray name = "PortButton" + QByteArray::number(port + 1);
        QRadioButton* button = addRadio(ports, portGroup_, name.constData(),
                                        QStringLiteral("   COM %1").arg(port + 1), port);
        // The serial device behind the port: one of those present, or any path typed in.
        auto* device = new QComboBox(ports);
        device->setObjectName(QStringLiteral("Device%1Box").arg(port + 1));
        device->setEditable(true);
        device->setInsertPolicy(QComboBox::NoInsert);
        device->addItems(devices);
        device->setMinimumContentsLength(14);
        deviceBoxes_.append(device);
        portLayout->addWidget(button, port, 0);
        portLayout->addWidget(device, port, 1);
    }
    select(portGroup_, kFirstPortIndex);

    auto* speeds = new QGroupBox(QStringLiteral("Baud :"), page);
    speeds->setObjectName(QStringLiteral("SpeedGroup"));
    auto* speedLayout = new QVBoxLayout(speeds);
    speedGroup_ = new QButtonGroup(speeds);
    for (int i = 0; i < int(std::size(kBaudRates)); ++i) {
        const QByteArray name = "SpeedButton" + QByteArray::number(i + 1);
        speedLayout->addWidget(addRadio(speeds, speedGroup_, name.constData(),
                                        QStringLiteral("    %1").arg(kBaudRates[i]), i));
    }
    select(speedGroup_, kFirstBaudIndex);

    moreButton_ = new QPushButton(page);
    moreButton_->setObjectName(QStringLiteral("MoreButton"));
    moreButton_->setProperty(kTagProperty, 3995);
    moreButton_->setAutoDefault(false);
    connect(moreButton_, &QPushButton::clicked, this, &SettingsDialog::openTransferParameters);

    layout->addWidget(ports, 0, 0);
    layout->addWidget(speeds, 0, 1);
    layout->addWidget(moreButton_, 1, 1);
    layout->setRowStretch(2, 1);
}

void SettingsDialog::createPathPage() {
    QWidget* page = addPage("TabSheet5", 3925, "pfad");
    auto* pageLayout = new QVBoxLayout(page);
    auto* frame = new QGroupBox(page);
    frame->setObjectName(QStringLiteral("GroupBox7"));
    frame->setProperty(kTagProperty, 3985);
    pageLayout->addWidget(frame);
    auto* layout = new QVBoxLayout(frame);

    dirLabel_ = new QLabel(frame);
    dirLabel_->setObjectName(QStringLiteral("DirLabel"));
    QFont italic = dirLabel_->font();
    italic.setItalic(true);
    dirLabel_->setFont(italic);
    dirLabel_->setTextFormat(Qt::PlainText);
    layout->addWidget(dirLabel_);

    directories_ = new QFileSystemModel(this);
    directories_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    directories_->setReadOnly(true);
    directories_->setRootPath(QDir::rootPath());
    pfadBox_ = new QTreeView(frame);
    pfadBox_->setObjectName(QStringLiteral("PfadBox"));
    pfadBox_->setModel(directories_);
    pfadBox_->setHeaderHidden(true);
    for (int column = 1; column < directories_->columnCount(); ++column)
        pfadBox_->hideColumn(column);
    pfadBox_->setMinimumHeight(150);
    connect(pfadBox_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { directoryChosen(current); });
    // The list reads directories in the background: once the way to the current directory
    // is read, it is shown.
    connect(directories_, &QFileSystemModel::directoryLoaded, this, [this](const QString& path) {
        if (currentDirectory_.startsWith(path))
            QTimer::singleShot(0, this, &SettingsDialog::showCurrentDirectory);
    });
    layout->addWidget(pfadBox_);

    lwBox_ = new QComboBox(frame);
    lwBox_->setObjectName(QStringLiteral("LWBox"));
    fillDriveList();
    connect(lwBox_, &QComboBox::activated, this, &SettingsDialog::showDriveDirectories);
    layout->addWidget(lwBox_);
}

void SettingsDialog::createButtons() {
    auto* row = new QHBoxLayout;
    const struct {
        const char* name;
        quint16 tag;
    } buttons[] = {{"OKBtn", 15}, {"CancelBtn", 20}, {"DefBtn", 35}, {"HelpBtn", 25}};
    QList<QPushButton*> made;
    row->addStretch();
    for (const auto& button : buttons) {
        auto* push = new QPushButton(this);
        push->setObjectName(QString::fromLatin1(button.name));
        push->setProperty(kTagProperty, button.tag);
        push->setAutoDefault(false);
        row->addWidget(push);
        made.append(push);
    }
    made[0]->setDefault(true);
    connect(made[0], &QPushButton::clicked, this, [this] {
        applySettings();
        accept();
    });
    connect(made[1], &QPushButton::clicked, this, &QDialog::reject);
    connect(made[2], &QPushButton::clicked, this, &SettingsDialog::restoreDefaults);
    connect(made[3], &QPushButton::clicked, this, &SettingsDialog::showPageHelp);
    static_cast<QBoxLayout*>(layout())->addLayout(row);
}

// ---- the drive list and the directory list ----

void SettingsDialog::fillDriveList() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && !roots.contains(volume.rootPath()))
            roots.append(volume.rootPath());
    }
    roots.sort();
    lwBox_->clear();
    for (const QString& root : roots)
        lwBox_->addItem(QDir::toNativeSeparators(root), root);
}

void SettingsDialog::showDriveOf(const QString& directory) {
    const QString root = QStorageInfo(directory).rootPath();
    int index = lwBox_->findData(root);
    if (index < 0 && !root.isEmpty()) {
        lwBox_->addItem(QDir::toNativeSeparators(root), root);
        index = lwBox_->count() - 1;
    }
    lwBox_->setCurrentIndex(index);
}

void SettingsDialog::goToDirectory(const QString& path) {
    // Also while the list cannot show it yet: the current directory is the one gone to.
    currentDirectory_ = existingDirectory(path);
    dirLabel_->setText(QDir::toNativeSeparators(currentDirectory_));
    showDriveOf(currentDirectory_);
    showCurrentDirectory();
}

void SettingsDialog::showCurrentDirectory() {
    const QModelIndex index = directories_->index(currentDirectory_);
    if (!index.isValid())
        return;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        pfadBox_->expand(up);
    const QSignalBlocker quiet(pfadBox_->selectionModel());
    pfadBox_->setCurrentIndex(index);
    pfadBox_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void SettingsDialog::directoryChosen(const QModelIndex& index) {
    if (!index.isValid())
        return;
    currentDirectory_ = directories_->filePath(index);
    dirLabel_->setText(QDir::toNativeSeparators(currentDirectory_));
    showDriveOf(currentDirectory_);
}

// A volume that cannot be read leaves both lists where they were, without a message.
void SettingsDialog::showDriveDirectories(int index) {
    const QString root = lwBox_->itemData(index).toString();
    if (!root.isEmpty() && volumeReadable(root))
        goToDirectory(root);
    else
        showDriveOf(currentDirectory_);
}

// ---- serial devices ----

QStringList SettingsDialog::serialDevices(const QString& deviceDirectory,
                                          const QString& ttyClassDirectory) {
    const QDir devices(deviceDirectory);
    const QStringList names = devices.entryList(
        {QStringLiteral("ttyS*"), QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")},
        QDir::System | QDir::Files | QDir::Hidden);
    QStringList present;
    for (const QString& name : names) {
        if (name.startsWith(QLatin1String("ttyS"))) {
            // A port whose UART type is 0 has no hardware behind it.
            QFile type(ttyClassDirectory + u'/' + name + QStringLiteral("/type"));
            if (type.open(QIODevice::ReadOnly) && type.readAll().trimmed() == "0")
                continue;
        }
        present.append(devices.filePath(name));
    }
    std::sort(present.begin(), present.end(), deviceOrder);
    return present;
}

// ---- loading ----

int SettingsDialog::openSettings() {
    loadControls();
    return exec();
}

// The fourth character of Port is the port number; numbers beyond the last select COM 4,
// 0 selects none, and a value without a digit there leaves the selection as it was.
void SettingsDialog::loadPort() {
    const QString port = settings::readString(preferences_.settings(), key::kPort,
                                              QString::fromLatin1(fallback::kPort));
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
    for (int port = 1; port <= kPortCount; ++port) {
        deviceBoxes_[port - 1]->setCurrentText(settings::readString(
            preferences_.settings(), key::kDevices[size_t(port - 1)], fallback::device(port)));
    }
}

void SettingsDialog::loadControls() {
    const SettingsFile& ini = preferences_.settings();
    loadPort();
    loadBaud();
    loadDevices();
    charStartBox_->setChecked(
        settings::readBool(ini, key::kCharTabAutoOn, fallback::kCharTabAutoOn));
    delTBox_->setChecked(settings::readBool(ini, key::kAskDelTopic, fallback::kAskDelTopic));
    soundBox_->setChecked(settings::readBool(ini, key::kSound, fallback::kSound));
    f5Box_->setChecked(settings::readBool(ini, key::kEditMode, fallback::kEditMode));
    kompBox_->setChecked(settings::readBool(ini, key::kCompress, fallback::kCompress));
    rowUpDown_->setValue(settings::readInteger(ini, key::kTopicLine, fallback::kTopicLine));
    reversedBox_->setChecked(
        settings::readBool(ini, key::kReversedBoxes, fallback::kReversedBoxes));
    delEmptyBox_->setChecked(settings::readBool(ini, key::kDeleteEmpty, fallback::kDeleteEmpty));
    toolBarBox_->setChecked(settings::readBool(ini, key::kToolBar, fallback::kToolBar));
    bkgndBox_->setChecked(settings::readBool(ini, key::kBackground, fallback::kBackground));
    // A colour index outside the palette leaves the list's selection as it was.
    const int text = settings::readInteger(ini, key::kTextColour, fallback::kTextColour);
    if (text >= 0 && text < textCombo_->count())
        textCombo_->setCurrentIndex(text);
    const int background =
        settings::readInteger(ini, key::kBackgroundColour, fallback::kBackgroundColour);
    if (background >= 0 && background < bkgndCombo_->count())
        bkgndCombo_->setCurrentIndex(background);
    (settings::readLanguage(ini) == 1 ? engRButt_ : deuRButt_)->setChecked(true);
    goToDirectory(preferences_.preferredPath);
    moreButton_->setEnabled(transferParametersDialog() != nullptr);
}

// ---- the buttons ----

void SettingsDialog::applySettings() {
    SettingsFile& ini = preferences_.settings();
    Preferences& global = preferences_;
    SettingsFile::Batch batch(ini);
    settings::write(ini, key::kPort, QStringLiteral("COM%1").arg(portGroup_->checkedId() + 1));
    settings::write(ini, key::kBaud, kLowestBaud << std::max(speedGroup_->checkedId(), 0));
    for (int port = 1; port <= kPortCount; ++port) {
        const QString device = deviceBoxes_[port - 1]->currentText().trimmed();
        settings::write(ini, key::kDevices[size_t(port - 1)],
                        device.isEmpty() ? fallback::device(port) : device);
    }
    settings::write(ini, key::kCharTabAutoOn, charStartBox_->isChecked());
    settings::write(ini, key::kSound, global.sound = soundBox_->isChecked());
    settings::write(ini, key::kEditMode, global.editMode = f5Box_->isChecked());
    settings::write(ini, key::kCompress, global.compress = kompBox_->isChecked());
    settings::write(ini, key::kDeleteEmpty, global.deleteEmpty = delEmptyBox_->isChecked());
    settings::write(ini, key::kReversedBoxes, reversedBox_->isChecked());
    settings::write(ini, key::kBackground, global.background = bkgndBox_->isChecked());
    settings::write(ini, key::kToolBar, toolBarBox_->isChecked());
    settings::write(ini, key::kAskDelTopic, global.askDelTopic = delTBox_->isChecked());
    settings::write(ini, key::kTextColour, textCombo_->currentIndex());
    settings::write(ini, key::kBackgroundColour, bkgndCombo_->currentIndex());
    settings::write(ini, key::kTopicLine, rowUpDown_->value());
    thePrompter().setSoundOn(global.sound);
    emit applied();
    settings::write(ini, key::kLanguage, engRButt_->isChecked() ? 1 : 0);
    strings::setLanguage(engRButt_->isChecked() ? strings::kEnglish : strings::kGerman);
    applyLanguage();
    global.preferredPath = withSeparator(currentDirectory_);
    settings::write(ini, key::kPrefPath, global.preferredPath);
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
    return pages_->currentWidget()->property(kHelpContextProperty).toString();
}

void SettingsDialog::showPageHelp() {
    showHelp(helpContext());
}

TransferParametersDialog* SettingsDialog::transferParametersDialog() const {
    return transferParameters_;
}

// The advanced parameters write their own values when they are confirmed.
void SettingsDialog::openTransferParameters() {
    if (TransferParametersDialog* advanced = transferParametersDialog())
        advanced->openAdvanced(this);
}
