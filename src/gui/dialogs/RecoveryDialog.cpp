#include "gui/dialogs/RecoveryDialog.h"
#include "ui_RecoveryDialog.h"

#include "core/FileName.h"
#include "gui/Localizer.h"
#include "gui/dialogs/HelpWindow.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QDir>
#include <QEvent>
#include <QHeaderView>
#include <QPushButton>

namespace {

constexpr int kFileColumn = 0;
constexpr int kTimeColumn = 1;
constexpr int kIndexRole = Qt::UserRole;

} // namespace

RecoveryDialog::RecoveryDialog(const QList<RecoveryCopy>& copies, QWidget* parent)
    : QDialog(parent), choices_(copies.size(), Choice::Keep),
      ui_(std::make_unique<Ui::RecoveryDialog>()) {
    ui_->setupUi(this);
    fillList(copies);
    connect(ui_->restoreButton, &QPushButton::clicked, this,
            [this] { decideSelected(Choice::Restore); });
    connect(ui_->discardButton, &QPushButton::clicked, this,
            [this] { decideSelected(Choice::Discard); });
    connect(ui_->helpButton, &QPushButton::clicked, this,
            [] { showHelp(QStringLiteral("recovery")); });
    connect(ui_->copyList, &QTreeWidget::itemSelectionChanged, this,
            &RecoveryDialog::enableButtons);
    applyLanguageTo(this);
}

RecoveryDialog::~RecoveryDialog() = default;

void RecoveryDialog::fillList(const QList<RecoveryCopy>& copies) {
    for (int index = 0; index < copies.size(); ++index) {
        const RecoveryCopy& copy = copies[index];
        auto* item = new QTreeWidgetItem(ui_->copyList);
        item->setData(kFileColumn, kIndexRole, index);
        item->setText(kFileColumn,
                      copy.originalFile.isEmpty()
                          ? strings::text(textid::kUnnamed)
                          : QDir::toNativeSeparators(filename::forDisplay(copy.originalFile)));
        item->setToolTip(kFileColumn, item->text(kFileColumn));
        item->setText(kTimeColumn,
                      copy.written.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        item->setSelected(true);
    }
    ui_->copyList->header()->setStretchLastSection(false);
    ui_->copyList->header()->setSectionResizeMode(kFileColumn, QHeaderView::Stretch);
    ui_->copyList->header()->setSectionResizeMode(kTimeColumn, QHeaderView::ResizeToContents);
    enableButtons();
}

void RecoveryDialog::decideSelected(Choice choice) {
    for (QTreeWidgetItem* item : ui_->copyList->selectedItems()) {
        choices_[item->data(kFileColumn, kIndexRole).toInt()] = choice;
        delete item;
    }
    if (ui_->copyList->topLevelItemCount() == 0)
        accept();
}

void RecoveryDialog::enableButtons() {
    const bool selected = !ui_->copyList->selectedItems().isEmpty();
    ui_->restoreButton->setEnabled(selected);
    ui_->discardButton->setEnabled(selected);
}

// The column heads are no controls the localizer knows.
void RecoveryDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        ui_->copyList->setHeaderLabels({strings::text(textid::kRecoveryFileColumn),
                                        strings::text(textid::kRecoveryTimeColumn)});
    }
    QDialog::changeEvent(event);
}
