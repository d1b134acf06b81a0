#include "gui/Hp48Font.h"

#include "platform/Paths.h"

#include <QFontDatabase>
#include <QStringList>

namespace hp48font {

void ensure() {
    static bool tried = false;
    if (tried || QFontDatabase::families().contains(kFamily))
        return;
    tried = true;
    QFontDatabase::addApplicationFont(paths::progDir() + QStringLiteral("HP48.TTF"));
}

void addInstalled(const QString& fontFile) {
    static int added = -1;
    if (added >= 0)
        QFontDatabase::removeApplicationFont(added);
    added = QFontDatabase::addApplicationFont(fontFile);
}

QFont font(int pixels) {
    QFont font(kFamily);
    font.setPixelSize(pixels);
    font.setStyleHint(QFont::Monospace);
    return font;
}

} // namespace hp48font
