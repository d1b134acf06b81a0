#include "gui/CalculatorScreen.h"

#include "core/AtomicFile.h"
#include "core/LcdPicture.h"
#include "gui/FileDialogs.h"
#include "gui/Localizer.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>

namespace {

constexpr char kPictureName[] = "screen.png";

} // namespace

CalculatorScreen::CalculatorScreen(const Preferences& preferences, QWidget* parent)
    : QWidget(parent), preferences_(preferences) {
    setObjectName(QStringLiteral("calculatorScreen"));
    setProperty(kTagProperty, textid::kScreenHint);
    setProperty(kTagIsHintProperty, true);
    menu_ = new QMenu(this);
    connect(tagged(menu_->addAction(QString()), "copyScreen", textid::kCopyScreen),
            &QAction::triggered, this, &CalculatorScreen::copyPicture);
    connect(tagged(menu_->addAction(QString()), "saveScreen", textid::kSaveScreen),
            &QAction::triggered, this, &CalculatorScreen::savePicture);
    redraw();
}

void CalculatorScreen::setFontSize(lcd::FontSize size) {
    fontSize_ = size;
    redraw();
}

void CalculatorScreen::setScale(int scale) {
    scale_ = std::clamp(scale, kMinScale, kMaxScale);
    redraw();
}

void CalculatorScreen::showLines(const QStringList& lines) {
    lines_ = lines;
    redraw();
}

void CalculatorScreen::redraw() {
    const lcd::Picture picture = lcd::drawTopic(lcd::rowsOfText(lines_, fontSize_), fontSize_);
    const QList<quint32> pixels = lcd::colourPixels(picture, scale_);
    picture_ =
        QImage(reinterpret_cast<const uchar*>(pixels.constData()), lcd::kPictureWidth * scale_,
               lcd::kPictureHeight * scale_, QImage::Format_RGB32)
            .copy();
    setFixedSize(picture_.size());
    update();
}

void CalculatorScreen::paintEvent(QPaintEvent*) {
    QPainter(this).drawImage(0, 0, picture_);
}

void CalculatorScreen::contextMenuEvent(QContextMenuEvent* event) {
    menu_->exec(event->globalPos());
}

void CalculatorScreen::copyPicture() {
    QGuiApplication::clipboard()->setImage(picture_);
}

void CalculatorScreen::savePicture() {
    const QString fileName = theFileDialogs().saveFileName(
        this, strings::text(textid::kSaveScreenTitle), preferences_.preferredPath,
        QString::fromLatin1(kPictureName), strings::text(textid::kPngFilter));
    if (fileName.isEmpty())
        return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture_.save(&buffer, "PNG") || !writeFileAtomically(fileName, png))
        thePrompter().showMessage(textid::kScreenNotSaved, MessageKind::Error, {fileName});
}
