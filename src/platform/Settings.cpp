#include "platform/Settings.h"

namespace settings {

QPoint ReadPosition(const SettingsFile& file, Position position, QPoint fallback) {
    return QPoint(ReadInteger(file, position.left, fallback.x()),
                  ReadInteger(file, position.top, fallback.y()));
}

void WritePosition(SettingsFile& file, Position position, QPoint topLeft) {
    Write(file, position.top, topLeft.y());
    Write(file, position.left, topLeft.x());
}

quint8 ReadLanguage(const SettingsFile& file) {
    return ReadInteger(file, key::kLanguage, 0) == 1 ? 1 : 0;
}

QStringList ReadRecentFiles(const SettingsFile& file) {
    QStringList names;
    for (int number = 1; number <= key::kRecentFiles; ++number) {
        const QString name =
            file.ReadString(key::kFilesSection, QByteArray::number(number).constData(), {});
        // A shorter list written over a longer one leaves its old keys behind, so a name may
        // stand twice; it is listed once.
        if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive))
            names.append(name);
    }
    return names;
}

namespace {

// A dialog of the given size centred on the screen.
QPoint Centred(QSize screen, int width, int height) {
    return QPoint((screen.width() - width) / 2, (screen.height() - height) / 2);
}

void WriteApplicationDefaults(SettingsFile& file, QSize screen, int language) {
    Write(file, key::kAppName, QString::fromLatin1(kProgramName));
    Write(file, key::kAppVersion, QString::fromLatin1(kVersion));
    Write(file, key::kLanguage, language);
    Write(file, key::kWindowState, 0);
    Write(file, key::kMainTop, screen.height() / 3 - 167);
    Write(file, key::kMainLeft, screen.width() / 2 - 370);
    Write(file, key::kMainHeight, fallback::kMainHeight);
    Write(file, key::kMainWidth, fallback::kMainWidth);
}

void WriteDialogDefaults(SettingsFile& file, QSize screen) {
    Write(file, key::kSortDirection, false);
    Write(file, key::kSortAnsi, true);
    Write(file, key::kSortUpCase, false);
    WritePosition(file, key::kSortPosition, Centred(screen, 435, 202));
    Write(file, key::kFindLocation, true);
    Write(file, key::kFindUpCase, false);
    WritePosition(file, key::kFindPosition, Centred(screen, 391, 239));
    Write(file, key::kScanUpCase, false);
    WritePosition(file, key::kScanPosition, Centred(screen, 377, 437));
}

void WriteTransferDefaults(SettingsFile& file, QSize screen) {
    Write(file, key::kPort, QString::fromLatin1(fallback::kPort));
    Write(file, key::kBaud, fallback::kBaud);
    Write(file, key::kCompress, true);
    Write(file, key::kParity, QString::fromLatin1(fallback::kParity));
    Write(file, key::kRetries, fallback::kRetries);
    Write(file, key::kSendPacketLength, fallback::kScriptPacketLength);
    Write(file, key::kReceivePacketLength, fallback::kScriptPacketLength);
    WritePosition(file, key::kTransferPosition, Centred(screen, 401, 247));
}

void WriteMiscDefaults(SettingsFile& file, QSize screen) {
    Write(file, key::kCharTabAutoOn, false);
    WritePosition(file, key::kCharTabPosition,
                  QPoint(screen.width() / 2 - 370, screen.height() / 3 + 243));
    Write(file, key::kSound, true);
    Write(file, key::kEditMode, false);
    Write(file, key::kReversedBoxes, false);
    Write(file, key::kBackground, true);
    Write(file, key::kToolBar, true);
    Write(file, key::kDeleteEmpty, false);
    Write(file, key::kTopicLine, fallback::kTopicLine);
    Write(file, key::kAskDelTopic, true);
    Write(file, key::kPrefPath, QString::fromLatin1(fallback::kPrefPath));
    WritePosition(file, key::kSettingsPosition, Centred(screen, 442, 328));
}

} // namespace

void WriteDefaults(SettingsFile& file, QSize screen, int language) {
    SettingsFile::Batch batch(file);
    Write(file, key::kWarningMessage, QString::fromLatin1(kWarningText));
    WriteApplicationDefaults(file, screen, language);
    WriteDialogDefaults(file, screen);
    Write(file, key::kTextColour, fallback::kTextColour);
    Write(file, key::kBackgroundColour, fallback::kBackgroundColour);
    WriteTransferDefaults(file, screen);
    WriteMiscDefaults(file, screen);
}

void SaveOnExit(SettingsFile& file, const ExitState& state) {
    SettingsFile::Batch batch(file);
    if (!state.defaultsRestored) {
        Write(file, key::kWindowState, state.windowState);
        if (state.windowState == 0) {
            Write(file, key::kMainTop, state.mainGeometry.top());
            Write(file, key::kMainLeft, state.mainGeometry.left());
            Write(file, key::kMainHeight, state.mainGeometry.height());
            Write(file, key::kMainWidth, state.mainGeometry.width());
        }
        WritePosition(file, key::kCharTabPosition, state.charTabPosition);
        WritePosition(file, key::kSettingsPosition, state.settingsPosition);
        WritePosition(file, key::kTransferPosition, state.transferPosition);
    }
    int number = 0;
    for (const QString& name : state.recentFiles) {
        if (SettingsFile::CanHold(name))
            file.WriteString(key::kFilesSection, QByteArray::number(++number).constData(), name);
    }
}

} // namespace settings
