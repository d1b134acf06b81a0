#include "gui/dialogs/FindDialog.h"
#include "ui_FindDialog.h"

#include "core/Hp48Codec.h"
#include "core/TopicTable.h"
#include "gui/DataBox.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/ScreenPlacement.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/SearchTextValidator.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/TextIds.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextBlock>

namespace {

constexpr int kLocationCurrentTopic = 0;
constexpr int kLocationAllTopics = 1;

} // namespace

FindDialog::FindDialog(Preferences& preferences, QWidget* parent)
    : QDialog(parent), preferences_(preferences), ui_(std::make_unique<Ui::FindDialog>()) {
    ui_->setupUi(this);
    ui_->searchText->setValidator(new SearchTextValidator(ui_->searchText));
    connect(ui_->helpButton, &QPushButton::clicked, this, [] { showHelp(QStringLiteral("find")); });
    readSettings();
    registerWindow(this);
}

FindDialog::~FindDialog() = default;

void FindDialog::readSettings() {
    const SettingsFile& ini = preferences_.settings();
    placeOnScreen(*this, settings::readPosition(ini, settings::key::kFindPosition,
                                                settings::fallback::kFindPosition));
    const int location =
        settings::readInteger(ini, settings::key::kFindLocation, settings::fallback::kFindLocation);
    (location == kLocationAllTopics ? ui_->allTopics : ui_->currentTopic)->setChecked(true);
    ui_->caseSensitive->setChecked(
        settings::readBool(ini, settings::key::kFindUpCase, settings::fallback::kFindUpCase));
}

void FindDialog::writeSettings() const {
    SettingsFile& ini = preferences_.settings();
    settings::write(ini, settings::key::kFindLocation,
                    ui_->allTopics->isChecked() ? kLocationAllTopics : kLocationCurrentTopic);
    settings::write(ini, settings::key::kFindUpCase, ui_->caseSensitive->isChecked());
    settings::writePosition(ini, settings::key::kFindPosition, pos());
}

void FindDialog::showFind(DocumentWindow* document) {
    const QPointer<DocumentWindow> target(document);
    ui_->searchText->setFocus();
    if (exec() != QDialog::Accepted || !target)
        return;
    startSearch(target);
}

bool FindDialog::startSearch(DocumentWindow* document) {
    if (document == nullptr)
        return false;
    const int stopTopic =
        ui_->allTopics->isChecked() ? document->table().entryCount() : document->selectedEntry();
    search_.start(ui_->searchText->text(), ui_->caseSensitive->isChecked(), stopTopic);
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
