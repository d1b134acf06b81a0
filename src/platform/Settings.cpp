#include "platform/Settings.h"

namespace settings {

QPoint readPosition(const SettingsFile& file, Position position, QPoint fallback) {
    return QPoint(readInteger(file, position.left, fallback.x()),
                  readInteger(file, position.top, fallback.y()));
}

void writePosition(SettingsFile& file, Position position, QPoint topLeft) {
    write(file, position.top, topLeft.y());
    write(file, position.left, topLeft.x());
}

quint8 readLanguage(const SettingsFile& file) {
    return readInteger(file, key::kLanguage, 0) == 1 ? 1 : 0;
}

int readTranslation(const SettingsFile& file) {
    const int mode = readInteger(file, key::kTranslation, fallback::kTranslation);
    return mode >= 0 && mode <= 3 ? mode : fallback::kTranslation;
}

bool readHp49(const SettingsFile& file) {
    return readInteger(file, key::kCalculator, fallback::kCalculator) == fallback::kCalculatorHp49;
}

ScreenSettings readScreenSettings(const SettingsFile& file) {
    ScreenSettings screen;
    screen.shown = readBool(file, key::kScreenShown, fallback::kScreenShown);
    const int fontSize = readInteger(file, key::kScreenFont, fallback::kScreenFont);
    if (fontSize >= 1 && fontSize <= 3)
        screen.fontSize = fontSize;
    const int scale = readInteger(file, key::kScreenScale, fallback::kScreenScale);
    if (scale == 2 || scale == 3)
        screen.scale = scale;
    return screen;
}

QStringList readRecentFiles(const SettingsFile& file) {
    QStringList names;
    for (int number = 1; number <= key::kRecentFiles; ++number) {
        const QString name =
            file.readString(key::kFilesSection, QByteArray::number(number).constData(), {});
        // A shorter list written over a longer one leaves its old keys behind, so a name may
        // stand twice; it is listed once.
        if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive))
            names.append(name);
    }
    return names;
}

namespace {

// A dialog of the given size centred on the screen.
QPoint centred(QSize screen, int width, int height) {
    return QPoint((screen.width() - width) / 2, (screen.height() - height) / 2);
}

void writeApplicationDefaults(SettingsFile& file, QSize screen, int language) {
    write(file, key::kAppName, QString::fromLatin1(kProgramName));
    write(file, key::kAppVersion, versionText());
    write(file, key::kLanguage, language);
    write(file, key::kWindowState, 0);
    write(file, key::kMainTop, screen.height() / 3 - 167);
    write(file, key::kMainLeft, screen.width() / 2 - 370);
    write(file, key::kMainHeight, fallback::kMainHeight);
    write(file, key::kMainWidth, fallback::kMainWidth);
}

void writeDialogDefaults(SettingsFile& file, QSize screen) {
    write(file, key::kSortDirection, false);
    write(file, key::kSortAnsi, true);
    write(file, key::kSortUpCase, false);
    writePosition(file, key::kSortPosition, centred(screen, 435, 202));
    write(file, key::kFindLocation, true);
    write(file, key::kFindUpCase, false);
    writePosition(file, key::kFindPosition, centred(screen, 391, 239));
    write(file, key::kScanUpCase, false);
    writePosition(file, key::kScanPosition, centred(screen, 377, 437));
}

void writeTransferDefaults(SettingsFile& file, QSize screen) {
    write(file, key::kPort, QString::fromLatin1(fallback::kPort));
    write(file, key::kBaud, fallback::kBaud);
    write(file, key::kCompress, true);
    write(file, key::kParity, QString::fromLatin1(fallback::kParity));
    write(file, key::kRetries, fallback::kRetries);
    write(file, key::kSendPacketLength, fallback::kScriptPacketLength);
    write(file, key::kReceivePacketLength, fallback::kScriptPacketLength);
    writePosition(file, key::kTransferPosition, centred(screen, 401, 247));
}

void writeMiscDefaults(SettingsFile& file, QSize screen) {
    write(file, key::kCharTabAutoOn, false);
    writePosition(file, key::kCharTabPosition,
                  QPoint(screen.width() / 2 - 370, screen.height() / 3 + 243));
    write(file, key::kSound, true);
    write(file, key::kEditMode, false);
    write(file, key::kReversedBoxes, false);
    write(file, key::kBackground, true);
    write(file, key::kToolBar, true);
    write(file, key::kDeleteEmpty, false);
    write(file, key::kTopicLine, fallback::kTopicLine);
    write(file, key::kAskDelTopic, true);
    write(file, key::kPrefPath, QString::fromLatin1(fallback::kPrefPath));
    write(file, key::kTranslation, fallback::kTranslation);
    write(file, key::kCalculator, fallback::kCalculator);
    writePosition(file, key::kSettingsPosition, centred(screen, 442, 328));
}

} // namespace

void writeDefaults(SettingsFile& file, QSize screen, int language) {
    SettingsFile::Batch batch(file);
    write(file, key::kWarningMessage, QString::fromLatin1(kWarningText));
    writeApplicationDefaults(file, screen, language);
    writeDialogDefaults(file, screen);
    write(file, key::kTextColour, fallback::kTextColour);
    write(file, key::kBackgroundColour, fallback::kBackgroundColour);
    writeTransferDefaults(file, screen);
    writeMiscDefaults(file, screen);
}

void saveOnExit(SettingsFile& file, const ExitState& state) {
    SettingsFile::Batch batch(file);
    if (!state.defaultsRestored) {
        write(file, key::kWindowState, state.windowState);
        if (state.windowState == 0) {
            write(file, key::kMainTop, state.mainGeometry.top());
            write(file, key::kMainLeft, state.mainGeometry.left());
            write(file, key::kMainHeight, state.mainGeometry.height());
            write(file, key::kMainWidth, state.mainGeometry.width());
        }
        writePosition(file, key::kCharTabPosition, state.charTabPosition);
        writePosition(file, key::kSettingsPosition, state.settingsPosition);
        writePosition(file, key::kTransferPosition, state.transferPosition);
    }
    int number = 0;
    for (const QString& name : state.recentFiles) {
        if (SettingsFile::canHold(name))
            file.writeString(key::kFilesSection, QByteArray::number(++number).constData(), name);
    }
}

} // namespace settings
