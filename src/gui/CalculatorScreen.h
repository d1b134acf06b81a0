#pragma once

#include "core/LcdFont.h"

#include <QImage>
#include <QStringList>
#include <QWidget>

class Preferences;
class QMenu;

// The calculator's screen beside a document window's data box: the lines it is given (the data
// box's, as typed) drawn as the calculator shows them, at twice or three times the size. A right
// click offers to copy the picture or save it as a PNG file, in the preferred folder.
class CalculatorScreen : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kMinScale = 2;
    static constexpr int kMaxScale = 3;

    explicit CalculatorScreen(const Preferences& preferences, QWidget* parent = nullptr);

    lcd::FontSize fontSize() const { return fontSize_; }
    int scale() const { return scale_; }
    void setFontSize(lcd::FontSize size);
    void setScale(int scale); // kMinScale to kMaxScale

    // The picture as shown, scale included.
    const QImage& picture() const { return picture_; }
    void copyPicture();
    // Asks for a file name and writes the picture there; a failure is reported by message.
    void savePicture();

  public slots:
    void showLines(const QStringList& lines);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void redraw();

    const Preferences& preferences_;
    QStringList lines_;
    lcd::FontSize fontSize_ = lcd::kDefaultFontSize;
    int scale_ = kMinScale;
    QImage picture_;
    QMenu* menu_ = nullptr;
};
