#include "DesktopSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

constexpr int kPollMs = 100;
// Pauses that let the program handle what it was sent before the next input arrives.
constexpr int kKeyDelayMs = 80;
constexpr int kDragSteps = 8;
constexpr int kDragStepMs = 40;
constexpr QSize kSplashSize{292, 180};
// What the X server's title of a window adds to the title the program gave it.
const QString kDisplayNameSuffix = QStringLiteral(" \u2014 Ombrel");

// The program built beside the test, or another build of it (a sanitizer build, an older one
// to see a test fail).
QString ProgramBinary() {
    return qEnvironmentVariable("OMBREL_DESKTOP_BINARY", QStringLiteral(OMBREL_BINARY));
}

bool RunTool(const QString& tool, const QStringList& arguments, QByteArray* output = nullptr) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

QByteArray InstalledSettings(const QString& preferredPath) {
    return "[Application]\n"
           "Name=Ombrel\n"
           "Version=2.7\n"
           "Language=1\n"
           "Top=0\n"
           "Left=0\n"
           "Width=800\n"
           "Height=560\n"
           "[Misc]\n"
           "PrefPath=" +
           QFile::encodeName(preferredPath) + "/\n";
}

DesktopSession::DesktopSession() : DesktopSession(Options()) {}

DesktopSession::DesktopSession(Options options) {
    QDir().mkpath(Home());
    environment_ = QProcessEnvironment::systemEnvironment();
    if (!StartServer())
        qFatal("no virtual X server: install Xvfb (scripts/setup)");
    for (const QString& name : environment_.keys()) {
        if (name.startsWith(QLatin1String("XDG_")) || name.startsWith(QLatin1String("OMBREL_")) ||
            name.startsWith(QLatin1String("QT_")))
            environment_.remove(name);
    }
    environment_.insert(QStringLiteral("HOME"), Home());
    environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    if (options.runtimeDir) {
        QDir().mkpath(RuntimeDir());
        QFile::setPermissions(RuntimeDir(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), RuntimeDir());
    }
    program_.setProcessEnvironment(environment_);
    program_.setWorkingDirectory(Home());
    if (options.installed)
        WriteInstalledSettings();
}

DesktopSession::~DesktopSession() {
    for (QProcess* process : {&program_, &server_}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(5000)) {
            process->kill();
            process->waitForFinished();
        }
    }
}

// Xvfb picks a free display itself and writes its number to the descriptor it is given, so
// sessions of tests that run side by side never share a display.
bool DesktopSession::StartServer() {
    int pipe[2];
    if (::pipe(pipe) != 0)
        return false;
    server_.setChildProcessModifier([pipe] { ::close(pipe[0]); });
    server_.start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QString::number(pipe[1]), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp"), QStringLiteral("-noreset")});
    ::close(pipe[1]);
    QByteArray number;
    char c = 0;
    while (::read(pipe[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(pipe[0]);
    if (number.isEmpty() || !server_.waitForStarted())
        return false;
    const QString display = u':' + QString::fromLatin1(number);
    qputenv("DISPLAY", display.toLatin1()); // for xdotool and the test's own X calls
    environment_.insert(QStringLiteral("DISPLAY"), display);
    environment_.remove(QStringLiteral("XAUTHORITY"));
    return true;
}

void DesktopSession::WriteInstalledSettings() const {
    QDir().mkpath(QFileInfo(SettingsFile()).absolutePath());
    QFile file(SettingsFile());
    if (file.open(QIODevice::WriteOnly))
        file.write(InstalledSettings(root_.path() + QStringLiteral("/files")));
}

QString DesktopSession::Path(const QString& relative) const {
    const QString path = root_.path() + QStringLiteral("/files/") + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

bool DesktopSession::Start(const QStringList& arguments) {
    errors_.clear();
    program_.start(ProgramBinary(), arguments);
    return program_.waitForStarted(10000);
}

int DesktopSession::RunToEnd(const QStringList& arguments, int timeoutMs) {
    QProcess second;
    second.setProcessEnvironment(environment_);
    second.setWorkingDirectory(Home());
    second.start(ProgramBinary(), arguments);
    if (!second.waitForFinished(timeoutMs)) {
        second.kill();
        second.waitForFinished();
        return -1;
    }
    const QByteArray errors = second.readAllStandardError();
    if (!errors.isEmpty())
        qInfo("second start wrote: %s", errors.constData());
    return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
}

bool DesktopSession::Running() const {
    return program_.state() == QProcess::Running;
}

int DesktopSession::WaitForExit(int timeoutMs) {
    if (!program_.waitForFinished(timeoutMs) && program_.state() != QProcess::NotRunning)
        return -1;
    return program_.exitStatus() == QProcess::NormalExit ? program_.exitCode() : -1;
}

QByteArray DesktopSession::ErrorOutput() {
    errors_ += program_.readAllStandardError();
    return errors_;
}

QString DesktopSession::Xdotool(const QStringList& arguments) const {
    QByteArray output;
    RunTool(QStringLiteral("xdotool"), arguments, &output);
    return QString::fromUtf8(output).trimmed();
}

// Searched by class and then by title: a search by name alone misses the splash, whose
// title stands only in the window's UTF-8 name (where the program's name follows the title).
QStringList DesktopSession::Windows(const QString& titlePattern) const {
    const QRegularExpression title(titlePattern);
    QStringList windows;
    for (const QString& window :
         Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                  QStringLiteral("--classname"), QStringLiteral("^ombrel$")})
             .split(u'\n', Qt::SkipEmptyParts)) {
        QString name = Xdotool({QStringLiteral("getwindowname"), window});
        name.remove(kDisplayNameSuffix); // the title as the program set it
        if (title.match(name).hasMatch())
            windows.append(window);
    }
    return windows;
}

QString DesktopSession::WaitForWindow(const QString& titlePattern, int timeoutMs) const {
    return WaitForWindowOfSize(titlePattern, QSize(), timeoutMs);
}

QString DesktopSession::WaitForWindowOfSize(const QString& titlePattern, QSize size,
                                            int timeoutMs) const {
    QElapsedTimer clock;
    clock.start();
    do {
        for (const QString& window : Windows(titlePattern)) {
            if (!size.isValid() || Geometry(window).size() == size)
                return window;
        }
        QThread::msleep(kPollMs);
    } while (clock.elapsed() < timeoutMs);
    return {};
}

QString DesktopSession::WaitForMainWindow() const {
    // The splash, titled like the main window, stands over it for two and a half seconds.
    QElapsedTimer clock;
    clock.start();
    do {
        const QStringList windows = Windows(QStringLiteral("^Ombrel$"));
        if (windows.size() == 1 && Geometry(windows.first()).size() != kSplashSize)
            return windows.first();
        QThread::msleep(kPollMs);
    } while (clock.elapsed() < 15000);
    return {};
}

bool DesktopSession::WindowGone(const QString& windowId, int timeoutMs) const {
    QElapsedTimer clock;
    clock.start();
    do {
        if (!Windows(QStringLiteral(".*")).contains(windowId))
            return true;
        QThread::msleep(kPollMs);
    } while (clock.elapsed() < timeoutMs);
    return false;
}

QRect DesktopSession::Geometry(const QString& windowId) const {
    const QString shell = Xdotool(
        {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), windowId});
    QRect geometry;
    for (const QString& line : shell.split(u'\n')) {
        const int value = line.section(u'=', 1).toInt();
        if (line.startsWith(QLatin1String("X=")))
            geometry.moveLeft(value);
        else if (line.startsWith(QLatin1String("Y=")))
            geometry.moveTop(value);
        else if (line.startsWith(QLatin1String("WIDTH=")))
            geometry.setWidth(value);
        else if (line.startsWith(QLatin1String("HEIGHT=")))
            geometry.setHeight(value);
    }
    return geometry;
}

void DesktopSession::Keys(const QString& windowId, const QStringList& keys) const {
    Xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), windowId});
    Xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"),
                        QString::number(kKeyDelayMs)} +
            keys);
    QTest::qWait(200);
}

void DesktopSession::Type(const QString& windowId, const QString& text) const {
    Xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), windowId});
    Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QString::number(kKeyDelayMs),
             text});
    QTest::qWait(200);
}

void DesktopSession::Click(QPoint at, int button) const {
    Xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
             QStringLiteral("click"), QString::number(button)});
    QTest::qWait(200);
}

void DesktopSession::Drag(QPoint from, QPoint to) const {
    Xdotool({QStringLiteral("mousemove"), QString::number(from.x()), QString::number(from.y())});
    QTest::qWait(kDragStepMs);
    Xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
    for (int step = 1; step <= kDragSteps; ++step) {
        const QPoint at = from + (to - from) * step / kDragSteps;
        QTest::qWait(kDragStepMs);
        Xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
    }
    QTest::qWait(kDragStepMs * 4);
    Xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    QTest::qWait(300);
}

void DesktopSession::Close(const QString& windowId) const {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return;
    const Window window = windowId.toULong();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
    QTest::qWait(300);
}

bool DesktopSession::Answers(const QString& mainWindow) const {
    if (!Running())
        return false;
    Keys(mainWindow, {QStringLiteral("F6")});
    const QString table = WaitForWindow(QStringLiteral("^Character-table$"), 5000);
    if (table.isEmpty())
        return false;
    Keys(mainWindow, {QStringLiteral("F6")});
    return WindowGone(table, 5000);
}

void DesktopSession::Shot(const QString& name) const {
    RunTool(QStringLiteral("import"),
            {QStringLiteral("-window"), QStringLiteral("root"),
             QDir::current().absoluteFilePath(name + QStringLiteral(".png"))});
}
