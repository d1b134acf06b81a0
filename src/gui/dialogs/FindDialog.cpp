#include "gui/dialogs/FindDialog.h"
#include "ui_FindDialog.h"

#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/ScreenPlacement.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/SearchTextValidator.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/TextIds.h"

#include <QPointer>
#include <QPushButton>

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
    const Document& searched = document->document();
    const int stopTopic =
        ui_->allTopics->isChecked() ? searched.table().entryCount() : searched.selection();
    search_.start(ui_->searchText->text(), ui_->caseSensitive->isChecked(), stopTopic);
    emit searchStarted();
    return searchNext(document);
}

bool FindDialog::searchNext(DocumentWindow* document) {
    if (document == nullptr)
        return false;
    const Document& searched = document->document();
    const FindHit hit = search_.findFrom(searched.table(), searched.selection());
    if (!hit.found()) {
        thePrompter().showMessage(textid::kNotFound, MessageKind::Information);
        return false;
    }
    document->showFindHit(hit, search_.codeLength());
    return true;
}
