#include "gui/dialogs/AboutDialog.h"
#include "ui_AboutDialog.h"

#include "gui/Localizer.h"
#include "gui/ScreenPlacement.h"
#include "gui/dialogs/SplashScreen.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

namespace {

constexpr int kFontPixels = 12;

// A dialog frame with only the system menu: no minimise, maximise or context help button.
constexpr Qt::WindowFlags kWindowFlags = Qt::Dialog | Qt::CustomizeWindowHint |
                                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                         Qt::WindowCloseButtonHint;

} // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, kWindowFlags), ui_(std::make_unique<Ui::AboutDialog>()) {
    ui_->setupUi(this);
    setWindowTitle(strings::text(textid::kAboutCaption));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kFontPixels);
    font.setBold(true);
    setFont(font);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    ui_->picture->setPixmap(logoPicture());
    ui_->version->setText(versionLine());
    QPalette onPicture = palette();
    onPicture.setColor(QPalette::WindowText, Qt::white);
    for (QLabel* label : {ui_->version, ui_->credit, ui_->languages})
        label->setPalette(onPicture);

    centreOnScreen(*this);
    registerWindow(this);
}

AboutDialog::~AboutDialog() = default;
