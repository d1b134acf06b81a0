#include "gui/dialogs/HelpWindow.h"

#include "gui/Localizer.h"
#include "platform/CompanionFiles.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QPointer>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr QSize kInitialSize{620, 520};

QPointer<HelpWindow> theHelpWindow;

// A modal dialog blocks every window but its own children: the help it asks for opens as a
// window of the dialog, so the user can read and scroll it while the dialog waits.
QWidget* helpParent() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(window))
            return window;
    }
    return nullptr;
}

} // namespace

namespace help {

QString anchor(const QString& context, int language) {
    QString anchor = context.isEmpty() ? QStringLiteral("contents") : context;
    bool numeric = false;
    anchor.toInt(&numeric);
    if (numeric)
        anchor.prepend(QStringLiteral("ctx"));
    return language == 1 ? QStringLiteral("en-") + anchor : anchor;
}

} // namespace help

void showHelp(const QString& context) {
    QWidget* parent = helpParent();
    if (!theHelpWindow) {
        theHelpWindow = new HelpWindow(parent);
        applyLanguage();
    } else if (theHelpWindow->parentWidget() != parent) {
        const QRect placed = theHelpWindow->geometry();
        theHelpWindow->setParent(parent, theHelpWindow->windowFlags());
        theHelpWindow->setGeometry(placed);
    }
    if (!theHelpWindow->open(context))
        return;
    theHelpWindow->show();
    theHelpWindow->raise();
    theHelpWindow->activateWindow();
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setProperty(kTagProperty, textid::kHelpCaption);
    setWindowTitle(strings::text(textid::kHelpCaption));
    resize(kInitialSize);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(false);

    auto* buttons = new QHBoxLayout;
    QToolButton* contents = addButton("ContentsButton", textid::kContentsButton, "go-home");
    QToolButton* back = addButton("BackButton", textid::kBackButton, "go-previous");
    QToolButton* forward = addButton("ForwardButton", textid::kForwardButton, "go-next");
    for (QToolButton* button : {contents, back, forward})
        buttons->addWidget(button);
    buttons->addStretch();
    connect(contents, &QToolButton::clicked, this, [this] { open(help::kContents); });
    connect(back, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
    back->setEnabled(false);
    forward->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
    theHelpWindow = this;
    registerWindow(this);
}

HelpWindow* HelpWindow::instance() {
    return theHelpWindow;
}

QToolButton* HelpWindow::addButton(const char* name, quint16 tag, const char* themeIcon) {
    auto* button = tagged(new QToolButton(this), name, tag);
    button->setIcon(QIcon::fromTheme(QString::fromLatin1(themeIcon)));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

bool HelpWindow::open(const QString& context) {
    const QString file = programfiles::path(programfiles::kHelp);
    if (!QFileInfo(file).isReadable()) {
        thePrompter().showMessage(textid::kCannotOpen, MessageKind::Error);
        return false;
    }
    QUrl url = QUrl::fromLocalFile(file);
    url.setFragment(help::anchor(context, strings::language()));
    browser_->setSource(url);
    return true;
}
