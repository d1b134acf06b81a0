#pragma once

#include "platform/SettingsFile.h"
#include "platform/Version.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <array>

// Every section and key of the settings file, the defaults its readers use, and the routines
// that write many keys at once.
namespace settings {

struct Key {
    const char* section;
    const char* name;
};

// A window position: Top and Left of one section.
struct Position {
    Key top;
    Key left;
};

namespace key {
constexpr Key kWarningMessage{"-Warning-", "Message"};

constexpr Key kAppName{"Application", "Name"};
constexpr Key kAppVersion{"Application", "Version"};
constexpr Key kLanguage{"Application", "Language"};
constexpr Key kWindowState{"Application", "WindowState"};
constexpr Key kMainTop{"Application", "Top"};
constexpr Key kMainLeft{"Application", "Left"};
constexpr Key kMainHeight{"Application", "Height"};
constexpr Key kMainWidth{"Application", "Width"};

constexpr Key kSortDirection{"Sort", "Direction"};
constexpr Key kSortAnsi{"Sort", "Ansi"};
constexpr Key kSortUpCase{"Sort", "UpCase"};
constexpr Position kSortPosition{{"Sort", "Top"}, {"Sort", "Left"}};

constexpr Key kFindLocation{"Find", "Location"};
constexpr Key kFindUpCase{"Find", "UpCase"};
constexpr Position kFindPosition{{"Find", "Top"}, {"Find", "Left"}};

constexpr Key kScanUpCase{"Scan", "UpCase"};
constexpr Position kScanPosition{{"Scan", "Top"}, {"Scan", "Left"}};

constexpr Key kTextColour{"Colors", "Text"};
constexpr Key kBackgroundColour{"Colors", "Background"};

constexpr Key kPort{"Transfer", "Port"};
constexpr Key kBaud{"Transfer", "Baud"};
constexpr Key kCompress{"Transfer", "Compress"};
constexpr Key kParity{"Transfer", "Parity"};
constexpr Key kRetries{"Transfer", "Retries"};
constexpr Key kSendPacketLength{"Transfer", "Send packet-length"};
constexpr Key kReceivePacketLength{"Transfer", "Receive packet-length"};
constexpr Position kTransferPosition{{"Transfer", "Top"}, {"Transfer", "Left"}};
// How many files received from the calculator are kept (the last ones); 0 keeps none.
constexpr Key kKeepReceived{"Transfer", "KeepReceived"};
// The serial device behind each of the ports COM1 to COM4.
constexpr std::array<Key, 4> kDevices{{{"Transfer", "Device1"},
                                       {"Transfer", "Device2"},
                                       {"Transfer", "Device3"},
                                       {"Transfer", "Device4"}}};

constexpr Key kCharTabAutoOn{"CharTab", "AutoOn"};
constexpr Position kCharTabPosition{{"CharTab", "Top"}, {"CharTab", "Left"}};

// The calculator screen beside the data box: shown or not, font size 1 to 3, scale 2 or 3.
constexpr Key kScreenShown{"Screen", "Shown"};
constexpr Key kScreenFont{"Screen", "Font"};
constexpr Key kScreenScale{"Screen", "Scale"};

constexpr Key kSound{"Misc", "Sound"};
constexpr Key kEditMode{"Misc", "EditMode"};
constexpr Key kReversedBoxes{"Misc", "ReversedBoxes"};
constexpr Key kBackground{"Misc", "Background"};
constexpr Key kToolBar{"Misc", "ToolBar"};
constexpr Key kDeleteEmpty{"Misc", "DeleteEmpty"};
constexpr Key kTopicLine{"Misc", "TopicLine"};
constexpr Key kAskDelTopic{"Misc", "AskDelTopic"};
constexpr Key kPrefPath{"Misc", "PrefPath"};
constexpr Key kTranslation{"Misc", "Translation"}; // the translation mode of new documents
constexpr Key kCalculator{"Misc", "Calculator"};   // 48, or 49 for the HP49 and 50
constexpr Position kSettingsPosition{{"Misc", "Top"}, {"Misc", "Left"}};

constexpr const char* kFilesSection = "Files";
constexpr int kRecentFiles = 4;

constexpr Key kInstalledProgramsMenu{"Instal", "ProgG"};
constexpr Key kInstalledStartMenu{"Instal", "StartG"};
constexpr Key kInstalledQuickLaunch{"Instal", "QuickG"};
constexpr Key kInstalledDesktop{"Instal", "ShCut"};
constexpr Key kInstalledFont{"Instal", "Font"};
constexpr Key kInstalledClass{"Instal", "Class"};
} // namespace key

// What readers take when a key is missing.
namespace fallback {
constexpr const char* kAppName = "ERROR"; // not installed yet
constexpr int kWindowState = 0;
constexpr int kMainHeight = 410;
constexpr int kMainWidth = 740;
inline int mainTop(QSize screen) {
    return screen.height() / 3 - 137;
}
inline int mainLeft(QSize screen) {
    return screen.width() / 2 - 370;
}

constexpr int kSortDirection = 0;
constexpr bool kSortAnsi = true;
constexpr bool kSortUpCase = false;
constexpr QPoint kSortPosition{250, 200}; // x = Left, y = Top
constexpr int kFindLocation = 0;
constexpr bool kFindUpCase = false;
constexpr QPoint kFindPosition{250, 200};
constexpr bool kScanUpCase = false;
constexpr QPoint kScanPosition{250, 150};

constexpr int kTextColour = 1;       // maroon
constexpr int kBackgroundColour = 8; // silver

constexpr const char* kPort = "COM2";
constexpr int kBaud = 9600;
constexpr bool kCompress = true;
constexpr const char* kParity = "none";
constexpr int kRetries = 2;
constexpr int kScriptPacketLength = 48; // as the transfer script reads it
constexpr int kDialogPacketLength = 24; // as the advanced dialog reads it
constexpr QPoint kTransferPosition{250, 200};
constexpr int kKeepReceived = 50;
inline QString device(int port) {
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

constexpr bool kCharTabAutoOn = false;
constexpr QPoint kCharTabPosition{30, 501};

constexpr bool kScreenShown = false;
constexpr int kScreenFont = 2;  // medium
constexpr int kScreenScale = 2; // 2 or 3

constexpr bool kSound = true;
constexpr bool kEditMode = false;
constexpr bool kReversedBoxes = false;
constexpr bool kBackground = true;
constexpr bool kToolBar = true;
constexpr bool kDeleteEmpty = false;
constexpr int kTopicLine = 1;
constexpr bool kAskDelTopic = true;
constexpr const char* kPrefPath = "none";
constexpr int kTranslation = 1;
constexpr int kCalculator = 48;
constexpr int kCalculatorHp49 = 49;
constexpr QPoint kSettingsPosition{250, 200};
} // namespace fallback

// The program's version text (platform/Version.h).
inline QString versionText() {
    return QString::fromLatin1(version::kText);
}
constexpr const char* kProgramName = "Ombrel";
constexpr const char* kWarningText = "This file is maintained by Ombrel, do NOT modify !";

struct PaletteColour {
    int red;
    int green;
    int blue;
};
// The colours that Colors/Text and Colors/Background index: the sixteen standard colours
// without yellow.
constexpr std::array<PaletteColour, 15> kColourPalette{{{0, 0, 0},
                                                        {128, 0, 0},
                                                        {0, 128, 0},
                                                        {128, 128, 0},
                                                        {0, 0, 128},
                                                        {128, 0, 128},
                                                        {0, 128, 128},
                                                        {128, 128, 128},
                                                        {192, 192, 192},
                                                        {255, 0, 0},
                                                        {0, 255, 0},
                                                        {0, 0, 255},
                                                        {255, 0, 255},
                                                        {0, 255, 255},
                                                        {255, 255, 255}}};

// Typed access by Key.
inline QString readString(const SettingsFile& file, Key key, const QString& fallback) {
    return file.readString(key.section, key.name, fallback);
}
inline int readInteger(const SettingsFile& file, Key key, int fallback) {
    return file.readInteger(key.section, key.name, fallback);
}
inline bool readBool(const SettingsFile& file, Key key, bool fallback) {
    return file.readBool(key.section, key.name, fallback);
}
inline bool write(SettingsFile& file, Key key, const QString& value) {
    return file.writeString(key.section, key.name, value);
}
inline void write(SettingsFile& file, Key key, int value) {
    file.writeInteger(key.section, key.name, value);
}
inline void write(SettingsFile& file, Key key, bool value) {
    file.writeBool(key.section, key.name, value);
}
QPoint readPosition(const SettingsFile& file, Position position, QPoint fallback);
void writePosition(SettingsFile& file, Position position, QPoint topLeft);

// The language offset: 1 English; every other value, which the program never writes, is 0,
// German.
quint8 readLanguage(const SettingsFile& file);

// The translation mode of new documents: 0 to 3; any other value, which the program never
// writes, is the default.
int readTranslation(const SettingsFile& file);
// Whether the calculator is an HP49 or 50; any value but 49 is the HP48.
bool readHp49(const SettingsFile& file);

// The calculator screen's settings as the windows take them: a value the program never writes
// reads as the default.
struct ScreenSettings {
    bool shown = fallback::kScreenShown;
    int fontSize = fallback::kScreenFont; // 1 small, 2 medium, 3 large
    int scale = fallback::kScreenScale;   // 2 or 3
};
ScreenSettings readScreenSettings(const SettingsFile& file);

// The recent files: keys 1 to 4 of section Files, empty values and repeated names skipped.
QStringList readRecentFiles(const SettingsFile& file);

// Resets every setting but the recent files and the installation record, section by section
// in the order a new file shows them. Positions are centred on a screen of the given size.
void writeDefaults(SettingsFile& file, QSize screen, int language);

// What the program leaves behind when it ends. Recent files whose names the file cannot hold
// are left out; the others keep their order as keys 1 to n.
struct ExitState {
    bool defaultsRestored = false;
    int windowState = 0; // 0 normal, 1 minimised, 2 maximised
    QRect mainGeometry;  // of the normal window
    QPoint charTabPosition;
    QPoint settingsPosition;
    QPoint transferPosition;
    QStringList recentFiles;
};
void saveOnExit(SettingsFile& file, const ExitState& state);

} // namespace settings
