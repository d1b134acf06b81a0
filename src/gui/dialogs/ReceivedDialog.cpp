#include "gui/dialogs/ReceivedDialog.h"
#include "ui_ReceivedDialog.h"

#include "core/HpFile.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/Workspace.h"
#include "gui/dialogs/HelpWindow.h"
#include "platform/Preferences.h"
#include "platform/ReceivedCopies.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QEvent>
#include <QLocale>
#include <QPushButton>

ReceivedDialog::ReceivedDialog(Workspace& workspace, Preferences& preferences, QWidget* parent)
    : QDialog(parent), workspace_(workspace), preferences_(preferences),
      ui_(std::make_unique<Ui::ReceivedDialog>()) {
    ui_->setupUi(this);
    setModal(false);
    using namespace settings;
    ui_->keepCount->setValue(
        readInteger(preferences_.settings(), key::kKeepReceived, fallback::kKeepReceived));
    // The limit holds from the next file received on.
    connect(ui_->keepCount, &QSpinBox::valueChanged, this,
            [this](int count) { write(preferences_.settings(), key::kKeepReceived, count); });
    connect(ui_->openButton, &QPushButton::clicked, this, &ReceivedDialog::openChosen);
    connect(ui_->compareButton, &QPushButton::clicked, this, &ReceivedDialog::compareChosen);
    connect(ui_->copyList, &QTreeWidget::itemActivated, this, &ReceivedDialog::openChosen);
    connect(ui_->closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(ui_->helpButton, &QPushButton::clicked, this,
            [] { showHelp(QStringLiteral("received")); });
    registerWindow(this);
    relabel();
}

ReceivedDialog::~ReceivedDialog() = default;

void ReceivedDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        relabel();
    QDialog::changeEvent(event);
}

void ReceivedDialog::relabel() {
    ui_->copyList->setHeaderLabels(
        {strings::text(textid::kReceivedDate), strings::text(textid::kReceivedTime),
         strings::text(textid::kReceivedTopics), strings::text(textid::kReceivedSize)});
}

void ReceivedDialog::showCopies() {
    fill();
    show();
    raise();
    activateWindow();
}

void ReceivedDialog::fill() {
    ui_->copyList->clear();
    const QLocale locale;
    for (const received::Copy& copy : received::copies()) {
        TopicTable table;
        const int topics = readHpFile(copy.path, table);
        auto* item = new QTreeWidgetItem(
            ui_->copyList,
            {locale.toString(copy.arrived.date(), QLocale::ShortFormat),
             locale.toString(copy.arrived.time(), QStringLiteral("HH:mm:ss")),
             topics >= 0 ? QString::number(topics) : QStringLiteral("-"),
             locale.formattedDataSize(copy.size, 1, QLocale::DataSizeTraditionalFormat)});
        item->setData(0, Qt::UserRole, copy.path);
        item->setTextAlignment(2, Qt::AlignRight);
        item->setTextAlignment(3, Qt::AlignRight);
    }
    for (int column = 0; column < ui_->copyList->columnCount(); ++column)
        ui_->copyList->resizeColumnToContents(column);
    ui_->copyList->setCurrentItem(ui_->copyList->topLevelItem(0));
    const bool any = ui_->copyList->topLevelItemCount() > 0;
    ui_->nothingReceived->setVisible(!any);
    ui_->openButton->setEnabled(any);
    ui_->compareButton->setEnabled(any);
}

// The copy opens as a document of its own, received and without a file, so that saving it
// asks for a name and the copy stays as it came.
DocumentWindow* ReceivedDialog::openCopy() {
    const QTreeWidgetItem* item = ui_->copyList->currentItem();
    if (item == nullptr)
        return nullptr;
    DocumentWindow* document = workspace_.openDocument(item->data(0, Qt::UserRole).toString(),
                                                       Workspace::RecentFiles::Skip);
    if (document != nullptr)
        document->takeReceived();
    return document;
}

void ReceivedDialog::openChosen() {
    openCopy();
}

void ReceivedDialog::compareChosen() {
    DocumentWindow* active = workspace_.activeDocument();
    DocumentWindow* copy = openCopy();
    if (copy != nullptr)
        emit compareRequested(active ? active : copy, active ? copy : nullptr);
}
