#include "gui/dialogs/SortDialog.h"
#include "ui_SortDialog.h"

#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/ScreenPlacement.h"
#include "gui/dialogs/HelpWindow.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/TextIds.h"

#include <QPushButton>

namespace {

constexpr int kDirectionAscending = 0;
constexpr int kDirectionDescending = 1;

} // namespace

SortDialog::SortDialog(Preferences& preferences, QWidget* parent)
    : QDialog(parent), preferences_(preferences), ui_(std::make_unique<Ui::SortDialog>()) {
    ui_->setupUi(this);
    connect(ui_->helpButton, &QPushButton::clicked, this, [] { showHelp(QStringLiteral("sort")); });
    readSettings();
    registerWindow(this);
}

SortDialog::~SortDialog() = default;

void SortDialog::readSettings() {
    using namespace settings;
    const SettingsFile& ini = preferences_.settings();
    placeOnScreen(*this, readPosition(ini, key::kSortPosition, fallback::kSortPosition));
    ui_->localeConventions->setChecked(readBool(ini, key::kSortAnsi, fallback::kSortAnsi));
    ui_->caseSensitive->setChecked(readBool(ini, key::kSortUpCase, fallback::kSortUpCase));
    const int direction = readInteger(ini, key::kSortDirection, fallback::kSortDirection);
    (direction == kDirectionDescending ? ui_->descending : ui_->ascending)->setChecked(true);
}

void SortDialog::writeSettings() const {
    using namespace settings;
    SettingsFile& ini = preferences_.settings();
    writePosition(ini, key::kSortPosition, pos());
    write(ini, key::kSortAnsi, ui_->localeConventions->isChecked());
    write(ini, key::kSortUpCase, ui_->caseSensitive->isChecked());
    write(ini, key::kSortDirection, descending() ? kDirectionDescending : kDirectionAscending);
}

sort::Comparison SortDialog::chosenComparison() const {
    const bool caseSensitive = ui_->caseSensitive->isChecked();
    using sort::Comparison;
    if (ui_->localeConventions->isChecked())
        return caseSensitive ? Comparison::LocaleCase : Comparison::LocaleNoCase;
    return caseSensitive ? Comparison::Ordinal : Comparison::OrdinalNoCase;
}

bool SortDialog::descending() const {
    return ui_->descending->isChecked();
}

void SortDialog::sortTopics(DocumentWindow* document) {
    if (document == nullptr)
        return;
    if (document->document().table().topicCount() < 2) {
        thePrompter().showMessage(textid::kTooFewTopics, MessageKind::Information);
        return;
    }
    if (exec() == QDialog::Accepted)
        document->sortTopics(chosenComparison(), descending());
}
