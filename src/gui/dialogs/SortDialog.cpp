#include "gui/dialogs/SortDialog.h"

#include "core/Hp48Codec.h"
#include "core/TopicTable.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/ScreenPlacement.h"
#include "gui/Workspace.h"
#include "gui/dialogs/HelpWindow.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int kDirectionAscending = 0;
constexpr int kDirectionDescending = 1;

constexpr QSize kClientSize{400, 161};
constexpr int kLeftColumnX = 16;
constexpr int kLeftColumnWidth = 150;
constexpr int kRightColumnX = 180;
constexpr int kRightColumnWidth = 204;
constexpr int kGroupY = 32;
constexpr int kGroupHeight = 70;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 8;
constexpr int kButtonsY = 118;

QLabel* makeLabel(QWidget* parent, const char* name, quint16 tag, int x, int width) {
    auto* label = tagged(new QLabel(parent), name, tag);
    label->setGeometry(x, 10, width, 18);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, quint16 tag, int index) {
    constexpr int kFirstX = kClientSize.width() - kLeftColumnX - 3 * kButtonWidth - 2 * kButtonGap;
    auto* button = tagged(new QPushButton(parent), name, tag);
    button->setGeometry(kFirstX + index * (kButtonWidth + kButtonGap), kButtonsY, kButtonWidth,
                        kButtonHeight);
    return button;
}

} // namespace

SortDialog::SortDialog(Preferences& preferences, Workspace& workspace, QWidget* parent)
    : QDialog(parent), preferences_(preferences), workspace_(workspace) {
    setObjectName(QStringLiteral("SortForm"));
    setProperty(kTagProperty, textid::kSortCaption);
    setFixedSize(kClientSize);
    createControls();
    readSettings();
    registerWindow(this);
}

void SortDialog::createControls() {
    makeLabel(this, "Label1", textid::kOrder, kLeftColumnX, kLeftColumnWidth);
    radioGroup1_ = new QGroupBox(this);
    radioGroup1_->setObjectName(QStringLiteral("RadioGroup1"));
    radioGroup1_->setProperty(kTagProperty, textid::kOrderGroup);
    radioGroup1_->setGeometry(kLeftColumnX, kGroupY, kLeftColumnWidth, kGroupHeight);
    // The items take their texts from the group's tag in this order.
    ascending_ = new QRadioButton(radioGroup1_);
    ascending_->setObjectName(QStringLiteral("RadioGroup1Item0"));
    ascending_->setGeometry(10, 12, kLeftColumnWidth - 20, 22);
    descending_ = new QRadioButton(radioGroup1_);
    descending_->setObjectName(QStringLiteral("RadioGroup1Item1"));
    descending_->setGeometry(10, 38, kLeftColumnWidth - 20, 22);

    makeLabel(this, "Label2", textid::kSortOptions, kRightColumnX, kRightColumnWidth);
    auto* groupBox = new QGroupBox(this);
    groupBox->setObjectName(QStringLiteral("GroupBox1"));
    groupBox->setGeometry(kRightColumnX, kGroupY, kRightColumnWidth, kGroupHeight);
    checkBox1_ = new QCheckBox(groupBox);
    checkBox1_->setObjectName(QStringLiteral("CheckBox1"));
    checkBox1_->setProperty(kTagProperty, textid::kLocaleConventions);
    checkBox1_->setGeometry(10, 12, kRightColumnWidth - 20, 22);
    checkBox2_ = new QCheckBox(groupBox);
    checkBox2_->setObjectName(QStringLiteral("CheckBox2"));
    checkBox2_->setProperty(kTagProperty, textid::kSortCaseSensitive);
    checkBox2_->setGeometry(10, 38, kRightColumnWidth - 20, 22);

    bitBtn1_ = makeButton(this, "BitBtn1", textid::kStart, 0);
    bitBtn1_->setDefault(true);
    bitBtn2_ = makeButton(this, "BitBtn2", textid::kCancel, 1);
    bitBtn3_ = makeButton(this, "BitBtn3", textid::kHelp, 2);
    connect(bitBtn3_, &QPushButton::clicked, this, [] { showHelp(QStringLiteral("sort")); });
    connect(bitBtn1_, &QPushButton::clicked, this, &QDialog::accept);
    connect(bitBtn2_, &QPushButton::clicked, this, &QDialog::reject);
}

void SortDialog::readSettings() {
    using namespace settings;
    const SettingsFile& ini = preferences_.settings();
    placeOnScreen(*this, readPosition(ini, key::kSortPosition, fallback::kSortPosition));
    checkBox1_->setChecked(readBool(ini, key::kSortAnsi, fallback::kSortAnsi));
    checkBox2_->setChecked(readBool(ini, key::kSortUpCase, fallback::kSortUpCase));
    const int direction = readInteger(ini, key::kSortDirection, fallback::kSortDirection);
    (direction == kDirectionDescending ? descending_ : ascending_)->setChecked(true);
}

void SortDialog::writeSettings() const {
    using namespace settings;
    SettingsFile& ini = preferences_.settings();
    writePosition(ini, key::kSortPosition, pos());
    write(ini, key::kSortAnsi, checkBox1_->isChecked());
    write(ini, key::kSortUpCase, checkBox2_->isChecked());
    write(ini, key::kSortDirection, descending() ? kDirectionDescending : kDirectionAscending);
}

sort::Comparison SortDialog::chosenComparison() const {
    const bool caseSensitive = checkBox2_->isChecked();
    using sort::Comparison;
    if (checkBox1_->isChecked())
        return caseSensitive ? Comparison::LocaleCase : Comparison::LocaleNoCase;
    return caseSensitive ? Comparison::Ordinal : Comparison::OrdinalNoCase;
}

bool SortDialog::descending() const {
    return descending_->isChecked();
}

void SortDialog::sortTopics(DocumentWindow* document) {
    if (document == nullptr)
        return;
    if (document->table().topicCount() < 2) {
        thePrompter().showMessage(textid::kTooFewTopics, MessageKind::Information);
        return;
    }
    if (exec() == QDialog::Accepted)
        sortWithChoices(document);
}

void SortDialog::sortWithChoices(DocumentWindow* document) {
    TopicTable& table = document->table();
    sort::sortTable(table, chosenComparison(), descending());
    // The sort only changes the order of the topics: every entry keeps its place in the list
    // and takes the title now standing there.
    QListWidget* list = document->topicBox();
    for (int entry = 1; entry <= table.topicCount() && entry <= list->count(); ++entry)
        list->item(entry - 1)->setText(hp48::decodeRow(table.title(entry)));
    document->selectEntry(1);
    workspace_.showStatus(strings::text(textid::kTopicsSorted));
    document->setModified(true);
    document->showTopic();
    list->setFocus();
}
