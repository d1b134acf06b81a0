#include "gui/Hp48Font.h"

#include "platform/Preferences.h"

#include <QFontDatabase>

namespace hp48font {

void ensure() {
    static bool tried = false;
    if (tried || QFontDatabase::families().contains(kFamily))
        return;
    tried = true;
    QFontDatabase::addApplicationFont(glob().progDir + QStringLiteral("HP48.TTF"));
}

QFont font(int pixels) {
    QFont font(kFamily);
    font.setPixelSize(pixels);
    font.setStyleHint(QFont::Monospace);
    return font;
}

} // namespace hp48font
