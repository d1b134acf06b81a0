#include "install/Installation.h"

#include "platform/Settings.h"

#include <QFileInfo>

namespace install {
namespace {

using desktop::ShortcutKind;

settings::Key recordKey(ShortcutKind kind) {
    switch (kind) {
    case ShortcutKind::StartMenuRoot:
        return settings::key::kInstalledStartMenu;
    case ShortcutKind::Desktop:
        return settings::key::kInstalledDesktop;
    case ShortcutKind::QuickLaunch:
        return settings::key::kInstalledQuickLaunch;
    case ShortcutKind::ProgramsMenu:
        break;
    }
    return settings::key::kInstalledProgramsMenu;
}

// A shortcut that cannot be made is recorded as not made; the installation goes on.
void createShortcut(SettingsFile& record, ShortcutKind kind, const Program& program) {
    const bool made = desktop::ensureFolder(kind) &&
                      desktop::makeLink(program.file, desktop::shortcutFile(kind, program.version),
                                        desktop::shortcutName(program.version));
    settings::write(record, recordKey(kind), made);
}

} // namespace

bool offered(ShortcutKind kind) {
    return kind != ShortcutKind::ProgramsMenu || !desktop::installedByPackage();
}

FontResult installFont(SettingsFile& record, const QString& fontSource) {
    if (desktop::fontKnown())
        return FontResult::AlreadyKnown;
    if (!QFileInfo::exists(fontSource))
        return FontResult::SourceMissing;
    if (!desktop::installFont(fontSource))
        return FontResult::NotCopied;
    settings::write(record, settings::key::kInstalledFont, true);
    return FontResult::Copied;
}

void installEntries(SettingsFile& record, const Choices& choices, const Program& program,
                    QSize screen) {
    settings::writeDefaults(record, screen, choices.language);
    const QList<QPair<bool, ShortcutKind>> shortcuts = {
        {choices.startMenuRoot, ShortcutKind::StartMenuRoot},
        {choices.programsMenu, ShortcutKind::ProgramsMenu},
        {choices.desktopShortcut, ShortcutKind::Desktop},
        {choices.quickLaunch, ShortcutKind::QuickLaunch},
    };
    for (const auto& [chosen, kind] : shortcuts) {
        if (chosen && offered(kind))
            createShortcut(record, kind, program);
    }
    if (choices.fileAssociation)
        settings::write(record, settings::key::kInstalledClass,
                        desktop::registerFileClass(program.file));
    desktop::createRemovalEntry(program.file, program.version);
}

} // namespace install
