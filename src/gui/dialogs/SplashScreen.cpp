#include "gui/dialogs/SplashScreen.h"

#include "gui/Localizer.h"
#include "gui/Pictures.h"
#include "gui/ScreenPlacement.h"
#include "platform/Settings.h"
#include "platform/TextIds.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPixmap>
#include <QTimer>

namespace {

constexpr QSize kClientSize{292, 180};
// The texts stand in the right column of the picture, under its name.
constexpr int kTextLeft = 118;
constexpr int kTextWidth = 166;
constexpr int kVersionTop = 74;
constexpr int kSloganTop = 128;
constexpr int kLineHeight = 17;
constexpr int kFontPixels = 12;

constexpr Qt::WindowFlags kWindowFlags =
    Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;

QLabel* addLabel(QWidget* parent, const char* name, int top, quint16 tag) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(kTextLeft, top, kTextWidth, kLineHeight);
    label->setAlignment(Qt::AlignCenter);
    if (tag != 0)
        label->setProperty(kTagProperty, tag);
    return label;
}

} // namespace

QPixmap logoPicture() {
    return ownPicture(QStringLiteral("logo.png"));
}

QString versionLine() {
    return QStringLiteral("Version ") + settings::versionText();
}

SplashScreen::SplashScreen(const QString& commandLineFile)
    : QWidget(nullptr, kWindowFlags), commandLineFile_(commandLineFile) {
    setObjectName(QStringLiteral("Start"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kClientSize);
    centreOnScreen(*this);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kFontPixels);
    font.setBold(true);
    setFont(font);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(logoPicture());
    image->setGeometry(QRect(QPoint(0, 0), kClientSize));
    addLabel(this, "Label1", kVersionTop, 0)->setText(versionLine());
    addLabel(this, "Label2", kSloganTop, textid::kSloganFirstLine);
    addLabel(this, "Label3", kSloganTop + kLineHeight, textid::kSloganSecondLine);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(kShowMilliseconds);
    connect(timer_, &QTimer::timeout, this, &SplashScreen::timeUp);
    timer_->start();
    registerWindow(this);
}

void SplashScreen::timeUp() {
    close();
}

void SplashScreen::closeEvent(QCloseEvent* event) {
    event->accept();
    finish();
}

void SplashScreen::finish() {
    if (finished_)
        return;
    finished_ = true;
    timer_->stop();
    emit gone(commandLineFile_);
}
