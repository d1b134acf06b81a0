#include "gui/dialogs/FindDialog.h"

#include "core/Hp48Codec.h"
#include "core/TopicTable.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/ScreenPlacement.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/SearchTextValidator.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/TextIds.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QValidator>

namespace {

constexpr int kLocationCurrentTopic = 0;
constexpr int kLocationAllTopics = 1;

constexpr QSize kClientSize{383, 212};
constexpr int kLabelX = 16;
constexpr int kFieldX = 110;
constexpr int kFieldWidth = 257;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 8;
constexpr int kButtonsY = 164;

QLabel* makeLabel(QWidget* parent, const char* name, quint16 tag, QRect geometry) {
    auto* label = tagged(new QLabel(parent), name, tag);
    label->setGeometry(geometry);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, quint16 tag, int index) {
    auto* button = tagged(new QPushButton(parent), name, tag);
    button->setGeometry(kFieldX + index * (kButtonWidth + kButtonGap), kButtonsY, kButtonWidth,
                        kButtonHeight);
    return button;
}

} // namespace

FindDialog::FindDialog(Preferences& preferences, QWidget* parent)
    : QDialog(parent), preferences_(preferences) {
    setObjectName(QStringLiteral("Find"));
    setProperty(kTagProperty, textid::kFindCaption);
    setFixedSize(kClientSize);
    createControls();
    readSettings();
    registerWindow(this);
}

void FindDialog::createControls() {
    QLabel* findWhat = makeLabel(this, "Label1", textid::kFindWhat, QRect(kLabelX, 18, 90, 20));
    edit1_ = new QLineEdit(this);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit1_->setGeometry(kFieldX, 16, kFieldWidth, 24);
    edit1_->setValidator(new SearchTextValidator(edit1_));
    findWhat->setBuddy(edit1_);

    makeLabel(this, "Label4", textid::kWhere, QRect(kLabelX, 64, 90, 20));
    radioGroup2_ = new QGroupBox(this);
    radioGroup2_->setObjectName(QStringLiteral("RadioGroup2"));
    radioGroup2_->setProperty(kTagProperty, textid::kWhereGroup);
    radioGroup2_->setGeometry(kFieldX, 52, kFieldWidth, 44);
    // Two columns; the items take their texts from the group's tag in this order.
    currentTopic_ = new QRadioButton(radioGroup2_);
    currentTopic_->setObjectName(QStringLiteral("RadioGroup2Item0"));
    currentTopic_->setGeometry(10, 14, 118, 22);
    allTopics_ = new QRadioButton(radioGroup2_);
    allTopics_->setObjectName(QStringLiteral("RadioGroup2Item1"));
    allTopics_->setGeometry(132, 14, 118, 22);

    makeLabel(this, "Label2", textid::kFindHow, QRect(kLabelX, 118, 90, 20));
    auto* groupBox = new QGroupBox(this);
    groupBox->setObjectName(QStringLiteral("GroupBox1"));
    groupBox->setGeometry(kFieldX, 106, kFieldWidth, 44);
    checkBox1_ = new QCheckBox(groupBox);
    checkBox1_->setObjectName(QStringLiteral("CheckBox1"));
    checkBox1_->setProperty(kTagProperty, textid::kMatchCase);
    checkBox1_->setGeometry(10, 14, kFieldWidth - 20, 22);

    bitBtn1_ = makeButton(this, "BitBtn1", textid::kStart, 0);
    bitBtn1_->setDefault(true);
    bitBtn2_ = makeButton(this, "BitBtn2", textid::kCancel, 1);
    bitBtn3_ = makeButton(this, "BitBtn3", textid::kHelp, 2);
    connect(bitBtn3_, &QPushButton::clicked, this, [] { showHelp(QStringLiteral("find")); });
    connect(bitBtn1_, &QPushButton::clicked, this, &QDialog::accept);
    connect(bitBtn2_, &QPushButton::clicked, this, &QDialog::reject);
}

void FindDialog::readSettings() {
    const SettingsFile& ini = preferences_.settings();
    placeOnScreen(*this, settings::readPosition(ini, settings::key::kFindPosition,
                                                settings::fallback::kFindPosition));
    const int location =
        settings::readInteger(ini, settings::key::kFindLocation, settings::fallback::kFindLocation);
    (location == kLocationAllTopics ? allTopics_ : currentTopic_)->setChecked(true);
    checkBox1_->setChecked(
        settings::readBool(ini, settings::key::kFindUpCase, settings::fallback::kFindUpCase));
}

void FindDialog::writeSettings() const {
    SettingsFile& ini = preferences_.settings();
    settings::write(ini, settings::key::kFindLocation,
                    allTopics_->isChecked() ? kLocationAllTopics : kLocationCurrentTopic);
    settings::write(ini, settings::key::kFindUpCase, checkBox1_->isChecked());
    settings::writePosition(ini, settings::key::kFindPosition, pos());
}

void FindDialog::showFind(DocumentWindow* document) {
    const QPointer<DocumentWindow> target(document);
    edit1_->setFocus();
    if (exec() != QDialog::Accepted || !target)
        return;
    startSearch(target);
}

bool FindDialog::startSearch(DocumentWindow* document) {
    if (document == nullptr)
        return false;
    const int stopTopic =
        allTopics_->isChecked() ? document->table().entryCount() : document->selectedEntry();
    search_.start(edit1_->text(), checkBox1_->isChecked(), stopTopic);
    emit searchStarted();
    return searchNext(document);
}

bool FindDialog::searchNext(DocumentWindow* document) {
    if (document == nullptr)
        return false;
    const FindHit hit = search_.findFrom(document->table(), qMax(1, document->selectedEntry()));
    if (!hit.found()) {
        thePrompter().showMessage(textid::kNotFound, MessageKind::Information);
        return false;
    }
    selectHit(document, hit);
    return true;
}

// Shows the entry of the hit and selects the occurrence in the data box. The box shows each
// row decoded, one line per row, and some codes take two characters there: the selection is
// measured on the decoded row.
void FindDialog::selectHit(DocumentWindow* document, const FindHit& hit) const {
    document->selectEntry(hit.entry);
    document->showTopic();
    QPlainTextEdit* box = document->dataBox();
    box->setFocus();
    const QByteArray& row = document->table().row(hit.entry, hit.row);
    const QTextBlock line = box->document()->findBlockByNumber(hit.row - 1);
    const int start =
        line.position() + static_cast<int>(hp48::decodeRow(row.left(hit.position - 1)).size());
    const int length =
        static_cast<int>(hp48::decodeRow(row.mid(hit.position - 1, search_.codeLength())).size());
    QTextCursor cursor(box->document());
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
}
