#pragma once

#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

// The real ombrel binary on a virtual X server of the session's own (Xvfb), in a home that
// holds only what a new user's home holds, driven with real X input (xdotool).
//
// The home has no ~/.config, ~/.cache or ~/.local unless the test writes them; XDG_RUNTIME_DIR
// points to a private folder of the session unless the test says otherwise. Every XDG_*
// variable of the test's own environment is dropped, so the program finds its folders the way
// it does in a fresh account.
class DesktopSession {
  public:
    struct Options {
        bool runtimeDir = true;     // a private $XDG_RUNTIME_DIR, as a login session gives one
        bool installed = true;      // settings written so that no installer shows
        bool windowManager = false; // a window manager frames the windows (xscreen:: reads them)
    };
    DesktopSession();
    explicit DesktopSession(Options options);
    ~DesktopSession(); // ends every program still running
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    QString home() const { return root_.path() + QStringLiteral("/home"); }
    QString runtimeDir() const { return root_.path() + QStringLiteral("/runtime"); }
    QString settingsFile() const { return home() + QStringLiteral("/.config/Ombrel.ini"); }
    // A path in a folder of the session outside the home; its parent folders are made.
    QString path(const QString& relative) const;
    QProcessEnvironment environment() const { return environment_; }
    // A variable for the starts that follow.
    void setEnvironment(const QString& name, const QString& value);
    // Makes the starts that follow take their companion files from a folder of the session's,
    // which links to the program's own; the test adds what a user brings (the Tarvo library).
    // The folder's path.
    QString programFolder();

    // Starts the program (the first start of the session, or later ones); false when it does
    // not start. Its standard error goes to the test's log when it ends.
    bool start(const QStringList& arguments = {});
    // A start that is expected to end by itself (a hand-over, the removal): its exit code, or
    // -1 when it did not end within the time.
    int runToEnd(const QStringList& arguments, int timeoutMs = 20000);
    bool running() const;
    // Another program on the session's X server (a stand-in for a file manager, say); it ends
    // with the session.
    void startOther(const QString& program, const QStringList& arguments);
    // Waits for the first program to end by itself; its exit code, or -1 after the time.
    int waitForExit(int timeoutMs = 20000);
    // Ends the first program as a crash does (SIGKILL): it cleans nothing up.
    void crash();
    // Stops the first program as a hang does (SIGSTOP), or lets it go on (SIGCONT).
    void freeze(bool frozen) const;
    // Another run of the program in the same home, with a runtime folder of its own (as from a
    // second login session), so that both run; it ends with the session, or by kill().
    QProcess* startInstance(const QString& runtimeName, const QStringList& arguments = {});
    QProcess::ExitStatus exitStatus() const { return program_.exitStatus(); }
    // What the first program wrote to its standard error so far.
    QByteArray errorOutput();

    // The id of a visible window whose title matches the regular expression; empty after the
    // time.
    QString waitForWindow(const QString& titlePattern, int timeoutMs = 15000) const;
    QString waitForWindowOfSize(const QString& titlePattern, QSize size,
                                int timeoutMs = 15000) const;
    QStringList windows(const QString& titlePattern) const;
    // A visible window of any program by its exact title.
    QString waitForWindowOfAnyProgram(const QString& title, int timeoutMs = 15000) const;
    // The main window once the splash has gone, the program ready for input.
    QString waitForMainWindow() const;
    bool windowGone(const QString& windowId, int timeoutMs = 10000) const;
    QRect geometry(const QString& windowId) const; // right only without a window manager

    void keys(const QString& windowId, const QStringList& keys) const;
    void type(const QString& windowId, const QString& text) const;
    void click(QPoint at, int button = 1) const;
    // Presses the left button at one point, moves in steps to the other and releases there.
    void drag(QPoint from, QPoint to) const;
    // Asks the window to close, as a window manager does for its close button or Alt+F4.
    void close(const QString& windowId) const;
    // Whether the program still handles X input: F6 shows its character table, F6 hides it.
    bool answers(const QString& mainWindow) const;
    // Saves a picture of the screen next to the test's log (for a failure's inspection).
    void shot(const QString& name) const;

  private:
    QString xdotool(const QStringList& arguments) const;
    void writeInstalledSettings() const;
    bool startServer();
    bool startWindowManager();

    QTemporaryDir root_;
    QProcess server_;        // the X server: ended after the programs on it
    QProcess windowManager_; // ended after the programs, before the server
    QProcessEnvironment environment_;
    QProcess program_;
    std::vector<std::unique_ptr<QProcess>> others_;
    QByteArray errors_;
};

// The places on the screen, as tests/desktop/screen.txt names them.
namespace screen {
QList<int> numbers(const char* name);
QPoint point(const char* name);
QSize size(const char* name);
QRect rect(const char* name);
int length(const char* name);
} // namespace screen

// The settings of a program that was installed and then set to English, with the main window
// at a known place: what the tests preseed.
QByteArray installedSettings(const QString& preferredPath);
