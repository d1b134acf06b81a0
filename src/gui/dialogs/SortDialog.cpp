#include "gui/dialogs/SortDialog.h"
#include "ui_SortDialog.h"

#include "core/Hp48Codec.h"
#include "core/TopicTable.h"
#include "gui/DataBox.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/ScreenPlacement.h"
#include "gui/TopicList.h"
#include "gui/Workspace.h"
#include "gui/dialogs/HelpWindow.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QListWidget>
#include <QPushButton>

namespace {

constexpr int kDirectionAscending = 0;
constexpr int kDirectionDescending = 1;

} // namespace

SortDialog::SortDialog(Preferences& preferences, Workspace& workspace, QWidget* parent)
    : QDialog(parent), preferences_(preferences), workspace_(workspace),
      ui_(std::make_unique<Ui::SortDialog>()) {
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
    if (document->table().topicCount() < 2) {
        thePrompter().showMessage(textid::kTooFewTopics, MessageKind::Information);
        return;
    }
    if (exec() == QDialog::Accepted)
        sortWithChoices(document);
}

void SortDialog::sortWithChoices(DocumentWindow* document) {
    TopicTable table = document->table();
    sort::sortTable(table, chosenComparison(), descending());
    QList<TopicRows> sorted;
    for (int topic = 1; topic <= table.topicCount(); ++topic)
        sorted.append(table.topic(topic));
    const QList<TopicRows> before = document->document().topics();
    document->document().reorder(sorted);
    document->recordStep(textid::kStepSort, before, 1, 1);
    // The sort only changes the order of the topics: every entry keeps its place in the list
    // and takes the title now standing there.
    QListWidget* list = document->topicList();
    for (int entry = 1; entry <= table.topicCount() && entry <= list->count(); ++entry)
        list->item(entry - 1)->setText(hp48::decodeRow(table.title(entry)));
    document->selectEntry(1);
    workspace_.showStatus(strings::text(textid::kTopicsSorted));
    document->showTopic();
    list->setFocus();
}
