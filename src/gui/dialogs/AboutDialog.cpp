#include "gui/dialogs/AboutDialog.h"

#include "gui/Localizer.h"
#include "gui/ScreenPlacement.h"
#include "gui/dialogs/SplashScreen.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr QSize kClientSize{290, 277};
constexpr QRect kPanel{5, 5, 280, 170};
// The picture sits 5 pixels up and left of the panel's corner; the panel clips it.
constexpr QPoint kPictureOffset{-5, -5};
constexpr int kFontPixels = 12;
constexpr int kLineHeight = 17;
// Inside the panel: the texts stand in the picture's right column, under its name.
constexpr int kPanelTextLeft = 113;
constexpr int kPanelTextWidth = 166;
constexpr int kVersionTop = 69;
constexpr int kCreditTop = 118;
constexpr int kLanguagesTop = kCreditTop + kLineHeight;
// Under the panel.
constexpr int kCreditLineTop = 182;
constexpr int kHelpHintTop = 204;
constexpr QRect kOkButton{108, 244, 75, 25};

// Fixed texts: the product's credit line and its two languages.
constexpr const char* kCredit = "Ombrel \u00b7 Tarvo-Datenbanken";
constexpr const char* kLanguages = "deutsch/english";

// A dialog frame with only the system menu: no minimise, maximise or context help button.
constexpr Qt::WindowFlags kWindowFlags = Qt::Dialog | Qt::CustomizeWindowHint |
                                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                         Qt::WindowCloseButtonHint;

QLabel* addLabel(QWidget* parent, const char* name, QRect geometry, quint16 tag) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignCenter);
    if (tag != 0)
        label->setProperty(kTagProperty, tag);
    return label;
}

QRect panelLine(int top) {
    return QRect(kPanelTextLeft, top, kPanelTextWidth, kLineHeight);
}

QRect windowLine(int top) {
    return QRect(0, top, kClientSize.width(), kLineHeight);
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent, kWindowFlags) {
    setObjectName(QStringLiteral("Uber"));
    setProperty(kTagProperty, textid::kAboutCaption);
    setWindowTitle(strings::text(textid::kAboutCaption));
    setFixedSize(kClientSize);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kFontPixels);
    font.setBold(true);
    setFont(font);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(kPanel);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* image = new QLabel(panel);
    image->setObjectName(QStringLiteral("Image1"));
    const QPixmap picture = logoPicture();
    image->setPixmap(picture);
    image->setGeometry(QRect(kPictureOffset, picture.size()));
    image->lower();
    QPalette onPicture = palette();
    onPicture.setColor(QPalette::WindowText, Qt::white);
    QLabel* version = addLabel(panel, "Label1", panelLine(kVersionTop), 0);
    version->setText(versionLine());
    QLabel* credit = addLabel(panel, "Label2", panelLine(kCreditTop), 0);
    credit->setText(QString::fromUtf8(kCredit));
    QLabel* languages = addLabel(panel, "Label3", panelLine(kLanguagesTop), 0);
    languages->setText(QString::fromLatin1(kLanguages));
    for (QLabel* label : {version, credit, languages})
        label->setPalette(onPicture);

    addLabel(this, "Label4", windowLine(kCreditLineTop), textid::kCreditLine);
    addLabel(this, "Label6", windowLine(kHelpHintTop), textid::kHelpHintFirstLine);
    addLabel(this, "Label7", windowLine(kHelpHintTop + kLineHeight), textid::kHelpHintSecondLine);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setGeometry(kOkButton);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    centreOnScreen(*this);
    registerWindow(this);
}
