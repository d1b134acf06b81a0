#include "gui/dialogs/CompareWindow.h"
#include "ui_CompareWindow.h"

#include "core/Hp48Codec.h"
#include "gui/DocumentWindow.h"
#include "gui/FileDialogs.h"
#include "gui/Hp48Font.h"
#include "gui/Localizer.h"
#include "gui/Workspace.h"
#include "gui/dialogs/HelpWindow.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QEvent>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>

namespace {

using compare::Side;
using compare::State;

constexpr int kFontPixels = 14;
// The kinds "take all" offers, in the order of its choice.
constexpr State kKinds[] = {State::Changed, State::OnlyInA, State::OnlyInB};

quint16 stateText(State state) {
    switch (state) {
    case State::Same:
        return textid::kCompareSame;
    case State::Changed:
        return textid::kCompareChanged;
    case State::OnlyInA:
        return textid::kCompareOnlyInA;
    case State::OnlyInB:
        return textid::kCompareOnlyInB;
    }
    return textid::kCompareSame;
}

QColor stateColour(State state) {
    switch (state) {
    case State::Changed:
        return {255, 240, 170};
    case State::OnlyInA:
        return {255, 205, 205};
    case State::OnlyInB:
        return {200, 235, 200};
    case State::Same:
        break;
    }
    return {};
}

QString titleOf(const DocumentWindow* window, int topic) {
    if (window == nullptr || topic == 0)
        return {};
    const Document& document = window->document();
    const QString title = hp48::decodeRow(document.table().row(topic, document.titleRow()));
    return QStringLiteral("%1  %2").arg(topic, 3).arg(title);
}

} // namespace

CompareWindow::CompareWindow(Workspace& workspace, QWidget* parent)
    : QDialog(parent), workspace_(workspace), ui_(std::make_unique<Ui::CompareWindow>()) {
    ui_->setupUi(this);
    setModal(false);
    const QFont font = hp48font::font(kFontPixels);
    ui_->pairList->setFont(font);
    ui_->rowList->setFont(font);
    auto onSide = [this](void (CompareWindow::*take)(Side), Side side) {
        return [this, take, side] { (this->*take)(side); };
    };
    connect(ui_->takeTopicIntoA, &QPushButton::clicked, this,
            onSide(&CompareWindow::takeTopic, Side::A));
    connect(ui_->takeTopicIntoB, &QPushButton::clicked, this,
            onSide(&CompareWindow::takeTopic, Side::B));
    connect(ui_->takeRowIntoA, &QPushButton::clicked, this,
            onSide(&CompareWindow::takeRow, Side::A));
    connect(ui_->takeRowIntoB, &QPushButton::clicked, this,
            onSide(&CompareWindow::takeRow, Side::B));
    connect(ui_->takeAllIntoA, &QPushButton::clicked, this,
            onSide(&CompareWindow::takeAll, Side::A));
    connect(ui_->takeAllIntoB, &QPushButton::clicked, this,
            onSide(&CompareWindow::takeAll, Side::B));
    connect(ui_->nextButton, &QPushButton::clicked, this, &CompareWindow::nextDifference);
    connect(ui_->previousButton, &QPushButton::clicked, this, &CompareWindow::previousDifference);
    // F7 and Shift+F7 step through the differences as in other compare tools; the buttons'
    // own letters stay theirs.
    connect(new QShortcut(Qt::Key_F7, this), &QShortcut::activated, this,
            &CompareWindow::nextDifference);
    connect(new QShortcut(Qt::SHIFT | Qt::Key_F7, this), &QShortcut::activated, this,
            &CompareWindow::previousDifference);
    connect(ui_->closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(ui_->helpButton, &QPushButton::clicked, this,
            [] { showHelp(QStringLiteral("compare")); });
    connect(ui_->pairList, &QTreeWidget::currentItemChanged, this, &CompareWindow::showPair);
    connect(ui_->rowList, &QTreeWidget::currentItemChanged, this, &CompareWindow::updateButtons);
    connect(ui_->otherChoice, &QComboBox::activated, this, &CompareWindow::otherChosen);
    connect(ui_->kindChoice, &QComboBox::currentIndexChanged, this, &CompareWindow::updateButtons);
    registerWindow(this);
    relabel();
    updateButtons();
}

CompareWindow::~CompareWindow() = default;

void CompareWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        relabel();
    // Documents opened, closed or saved under another name since are offered as they are now.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        fillChoices();
    QDialog::changeEvent(event);
}

// The texts the window makes itself: the columns, the kinds, the choice of a file, the states.
void CompareWindow::relabel() {
    const QString a = strings::text(textid::kCompareSideA).remove(u':');
    const QString b = strings::text(textid::kCompareSideB).remove(u':');
    ui_->pairList->setHeaderLabels({strings::text(textid::kCompareStateColumn), a, b});
    ui_->rowList->setHeaderLabels({strings::text(textid::kCompareRowColumn), a, b});
    const int kind = std::max(ui_->kindChoice->currentIndex(), 0);
    ui_->kindChoice->clear();
    for (const State state : kKinds)
        ui_->kindChoice->addItem(strings::text(stateText(state)));
    ui_->kindChoice->setCurrentIndex(kind);
    fillChoices();
    refresh();
}

void CompareWindow::compare(DocumentWindow* a, DocumentWindow* b) {
    if (b == nullptr || b == a) {
        b = nullptr;
        for (DocumentWindow* open : workspace_.documentWindows()) {
            if (open != a) {
                b = open;
                break;
            }
        }
    }
    a_ = a;
    b_ = b;
    gone_ = false;
    watch(a);
    watch(b);
    fillChoices();
    refresh();
    ui_->pairList->setCurrentItem(nullptr);
    nextDifference(); // the first difference, if any
    if (currentPair() < 0)
        setCurrentPair(0);
}

void CompareWindow::watch(DocumentWindow* document) {
    if (document == nullptr)
        return;
    Document& model = document->document();
    // Connected once however often the document is compared.
    connect(&model, &Document::topicsChanged, this, &CompareWindow::refresh, Qt::UniqueConnection);
    connect(&model, &Document::titleRowChanged, this, &CompareWindow::refresh,
            Qt::UniqueConnection);
    connect(document, &DocumentWindow::closing, this, &CompareWindow::documentClosing,
            Qt::UniqueConnection);
}

// A compared document goes: nothing is compared until another is chosen.
void CompareWindow::documentClosing(DocumentWindow* document) {
    if (document != a_ && document != b_)
        return;
    (document == a_ ? a_ : b_) = nullptr;
    gone_ = true;
    fillChoices();
    refresh();
}

// The open documents besides A, then a file to open.
void CompareWindow::fillChoices() {
    filling_ = true;
    ui_->documentA->setText(a_ ? a_->caption() : QString());
    ui_->otherChoice->clear();
    for (DocumentWindow* open : workspace_.documentWindows()) {
        if (open == a_)
            continue;
        ui_->otherChoice->addItem(open->caption(), QVariant::fromValue<QObject*>(open));
        if (open == b_)
            ui_->otherChoice->setCurrentIndex(ui_->otherChoice->count() - 1);
    }
    ui_->otherChoice->addItem(strings::text(textid::kCompareWithFile));
    if (b_ == nullptr)
        ui_->otherChoice->setCurrentIndex(ui_->otherChoice->count() - 1);
    filling_ = false;
}

void CompareWindow::otherChosen(int index) {
    if (filling_)
        return;
    auto* chosen =
        qobject_cast<DocumentWindow*>(ui_->otherChoice->itemData(index).value<QObject*>());
    if (chosen == nullptr)
        chooseFile();
    else
        compare(a_, chosen);
}

// The file opens in a window of its own, to be merged and saved like any document.
void CompareWindow::chooseFile() {
    const QString name = theFileDialogs().openFileName(
        this, strings::text(textid::kCompareWithItem).remove(u'&'), QString(), allFilesFilter());
    DocumentWindow* chosen =
        name.isEmpty() ? nullptr : workspace_.openDocument(name, Workspace::RecentFiles::Remember);
    if (chosen == nullptr) {
        fillChoices();
        return;
    }
    raise();
    activateWindow();
    compare(a_, chosen);
}

// Compares anew, keeping the pair chosen by its place.
void CompareWindow::refresh() {
    const int current = currentPair();
    const bool both = a_ && b_;
    pairs_ = both ? compare::compareTopics(a_->document().topics(), b_->document().topics(),
                                           a_->document().titleRow())
                  : QList<compare::Pair>();
    QSignalBlocker blocker(ui_->pairList);
    ui_->pairList->clear();
    int count[4] = {};
    for (const compare::Pair& pair : pairs_) {
        ++count[int(pair.state)];
        auto* item = new QTreeWidgetItem(ui_->pairList, {strings::text(stateText(pair.state)),
                                                         titleOf(a_, pair.a), titleOf(b_, pair.b)});
        if (pair.state != State::Same) {
            for (int column = 0; column < 3; ++column)
                item->setBackground(column, stateColour(pair.state));
        }
    }
    for (int column = 0; column < 3; ++column)
        ui_->pairList->resizeColumnToContents(column);
    if (!both)
        ui_->summary->setText(gone_ ? strings::text(textid::kCompareDocumentGone) : QString());
    else if (compare::allSame(pairs_))
        ui_->summary->setText(strings::text(textid::kCompareAllSame));
    else
        ui_->summary->setText(
            strings::format(strings::text(textid::kCompareSummary),
                            {QString::number(count[0]), QString::number(count[1]),
                             QString::number(count[2]), QString::number(count[3])}));
    blocker.unblock();
    setCurrentPair(std::min(current, int(pairs_.size()) - 1));
    showPair();
}

int CompareWindow::currentPair() const {
    return ui_->pairList->indexOfTopLevelItem(ui_->pairList->currentItem());
}

void CompareWindow::setCurrentPair(int pair) {
    ui_->pairList->setCurrentItem(ui_->pairList->topLevelItem(std::max(pair, 0)));
}

// The rows of the chosen pair side by side, the differing ones marked.
void CompareWindow::showPair() {
    const int current = currentPair();
    const int row = std::max(ui_->rowList->indexOfTopLevelItem(ui_->rowList->currentItem()), 0);
    ui_->rowList->clear();
    if (current >= 0 && current < pairs_.size()) {
        const compare::Pair& pair = pairs_[current];
        const TopicRows empty;
        const TopicRows& rowsA = pair.a ? a_->document().table().topic(pair.a) : empty;
        const TopicRows& rowsB = pair.b ? b_->document().table().topic(pair.b) : empty;
        for (int r = 0; r < kRowsPerTopic; ++r) {
            const bool differs = pair.state != State::Same && rowsA[r] != rowsB[r];
            auto* item = new QTreeWidgetItem(
                ui_->rowList, {QString(differs ? u'\u2260' : u' ') + QString::number(r + 1),
                               hp48::decodeRow(rowsA[r]), hp48::decodeRow(rowsB[r])});
            if (differs) {
                for (int column = 0; column < 3; ++column)
                    item->setBackground(column, stateColour(pair.state));
            }
        }
        ui_->rowList->setCurrentItem(ui_->rowList->topLevelItem(row));
        ui_->pairList->scrollToItem(ui_->pairList->currentItem());
    }
    ui_->rowList->resizeColumnToContents(0);
    ui_->rowList->resizeColumnToContents(1); // side A whole, so that the rows stand side by side
    updateButtons();
}

void CompareWindow::updateButtons() {
    const int current = currentPair();
    const bool chosen = current >= 0 && current < pairs_.size();
    const State state = chosen ? pairs_[current].state : State::Same;
    const bool differs = chosen && state != State::Same;
    ui_->takeTopicIntoA->setEnabled(differs);
    ui_->takeTopicIntoB->setEnabled(differs);
    const int row = ui_->rowList->indexOfTopLevelItem(ui_->rowList->currentItem());
    const bool rowDiffers =
        state == State::Changed && row >= 0 && (pairs_[current].changedRows & (1U << row)) != 0;
    ui_->takeRowIntoA->setEnabled(rowDiffers);
    ui_->takeRowIntoB->setEnabled(rowDiffers);
    const State kind = kKinds[std::max(ui_->kindChoice->currentIndex(), 0)];
    const bool any = std::any_of(pairs_.cbegin(), pairs_.cend(),
                                 [kind](const compare::Pair& pair) { return pair.state == kind; });
    ui_->takeAllIntoA->setEnabled(any);
    ui_->takeAllIntoB->setEnabled(any);
    const bool steps = std::any_of(pairs_.cbegin(), pairs_.cend(), compare::isDifference);
    ui_->nextButton->setEnabled(steps);
    ui_->previousButton->setEnabled(steps);
}

void CompareWindow::nextDifference() {
    stepTo(1);
}

void CompareWindow::previousDifference() {
    stepTo(-1);
}

// The next difference in that direction, round past either end.
void CompareWindow::stepTo(int direction) {
    const int count = int(pairs_.size());
    const int from = currentPair() < 0 ? (direction > 0 ? -1 : count) : currentPair();
    for (int step = 1; step <= count; ++step) {
        const int pair = ((from + direction * step) % count + count) % count;
        if (compare::isDifference(pairs_[pair])) {
            setCurrentPair(pair);
            return;
        }
    }
}

void CompareWindow::takeTopic(Side into) {
    if (currentPair() >= 0)
        take(into, {{currentPair(), compare::kAllRows}});
}

void CompareWindow::takeRow(Side into) {
    const int row = ui_->rowList->indexOfTopLevelItem(ui_->rowList->currentItem());
    if (currentPair() >= 0 && row >= 0)
        take(into, {{currentPair(), quint16(1U << row)}});
}

void CompareWindow::takeAll(Side into) {
    const State kind = kKinds[std::max(ui_->kindChoice->currentIndex(), 0)];
    QList<compare::Take> takes;
    for (qsizetype pair = 0; pair < pairs_.size(); ++pair) {
        if (pairs_[pair].state == kind)
            takes.append({int(pair), compare::kAllRows});
    }
    take(into, takes);
}

// One step of the history of the document taken into, which its Undo takes back.
void CompareWindow::take(Side into, const QList<compare::Take>& takes) {
    DocumentWindow* target = into == Side::A ? a_ : b_;
    if (takes.isEmpty() || a_ == nullptr || b_ == nullptr)
        return;
    Document& document = target->document();
    const QList<TopicRows> before = document.topics();
    QList<TopicRows> after;
    if (!compare::merged(a_->document().topics(), b_->document().topics(), pairs_, into, takes,
                         after)) {
        thePrompter().showMessage(textid::kTableFull, MessageKind::Error);
        return;
    }
    const int undoEntry = document.selection();
    const int selection = std::min(undoEntry, int(after.size()) + 1);
    document.putBack(after, selection);
    target->history().record(textid::kTakeStep,
                             {changedPart(document, before, undoEntry, selection)});
}
