#include "DesktopSession.h"
#include "XScreen.h"
#include "platform/Version.h"

#include "ByteArguments.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <csignal>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

constexpr int kPollMs = 100;
// Pauses that let the program handle what it was sent before the next input arrives.
constexpr int kKeyDelayMs = 80;
constexpr int kDragSteps = 8;
constexpr int kDragStepMs = 40;
// What the X server's title of a window adds to the title the program gave it.
const QString kDisplayNameSuffix = QStringLiteral(" \u2014 Ombrel");

// The program built beside the test, or another build of it (a sanitizer build, an older one
// to see a test fail).
QString programBinary() {
    return qEnvironmentVariable("OMBREL_DESKTOP_BINARY", QStringLiteral(OMBREL_BINARY));
}

bool runTool(const QString& tool, const QStringList& arguments, QByteArray* output = nullptr) {
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

QList<int> screen::numbers(const char* name) {
    static const QHash<QByteArray, QList<int>> places = [] {
        QHash<QByteArray, QList<int>> read;
        QFile file(QStringLiteral(OMBREL_SOURCE_DIR "/tests/desktop/screen.txt"));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("tests/desktop/screen.txt cannot be read");
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QList<QByteArray> words = line.simplified().split(' ');
            if (words.size() < 2 || words.first().startsWith('#'))
                continue;
            for (qsizetype word = 1; word < words.size(); ++word)
                read[words.first()].append(words[word].toInt());
        }
        return read;
    }();
    const QList<int> found = places.value(name);
    if (found.isEmpty())
        qFatal("tests/desktop/screen.txt has no %s", name);
    return found;
}

QPoint screen::point(const char* name) {
    const QList<int> xy = numbers(name);
    return {xy.value(0), xy.value(1)};
}

QSize screen::size(const char* name) {
    const QList<int> wh = numbers(name);
    return {wh.value(0), wh.value(1)};
}

QRect screen::rect(const char* name) {
    const QList<int> xywh = numbers(name);
    return {xywh.value(0), xywh.value(1), xywh.value(2), xywh.value(3)};
}

int screen::length(const char* name) {
    return numbers(name).value(0);
}

QByteArray installedSettings(const QString& preferredPath) {
    const QList<int> main = screen::numbers("main-window");
    return QStringLiteral("[Application]\nName=Ombrel\nVersion=%5\nLanguage=1\nTop=%1\n"
                          "Left=%2\nWidth=%3\nHeight=%4\n[Misc]\nPrefPath=")
               .arg(main.value(1))
               .arg(main.value(0))
               .arg(main.value(2))
               .arg(main.value(3))
               .arg(QLatin1String(version::kText))
               .toLatin1() +
           QFile::encodeName(preferredPath) + "/\n";
}

DesktopSession::DesktopSession() : DesktopSession(Options()) {}

DesktopSession::DesktopSession(Options options) {
    QDir().mkpath(home());
    environment_ = QProcessEnvironment::systemEnvironment();
    if (!startServer())
        qFatal("no virtual X server: install Xvfb (scripts/setup)");
    for (const QString& name : environment_.keys()) {
        if (name.startsWith(QLatin1String("XDG_")) || name.startsWith(QLatin1String("OMBREL_")) ||
            name.startsWith(QLatin1String("QT_")))
            environment_.remove(name);
    }
    environment_.insert(QStringLiteral("HOME"), home());
    environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    if (options.runtimeDir) {
        QDir().mkpath(runtimeDir());
        QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir());
    }
    program_.setProcessEnvironment(environment_);
    program_.setWorkingDirectory(home());
    if (options.installed)
        writeInstalledSettings();
    if (options.windowManager && !startWindowManager())
        qFatal("no window manager: install openbox (scripts/setup)");
}

// Openbox, with a home of its own, so that the user's home holds nothing of it.
bool DesktopSession::startWindowManager() {
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("DISPLAY"), environment_.value(QStringLiteral("DISPLAY")));
    environment.insert(QStringLiteral("HOME"), root_.path() + QStringLiteral("/wm"));
    environment.insert(QStringLiteral("PATH"), environment_.value(QStringLiteral("PATH")));
    windowManager_.setProcessEnvironment(environment);
    windowManager_.start(QStringLiteral("openbox"), {});
    if (!windowManager_.waitForStarted())
        return false;
    QElapsedTimer clock;
    clock.start();
    while (!xscreen::windowManagerRuns()) {
        if (clock.elapsed() > 15000 || windowManager_.state() != QProcess::Running)
            return false;
        QThread::msleep(kPollMs);
    }
    return true;
}

void DesktopSession::setEnvironment(const QString& name, const QString& value) {
    environment_.insert(name, value);
    program_.setProcessEnvironment(environment_);
}

DesktopSession::~DesktopSession() {
    for (const auto& other : others_)
        other->kill();
    for (QProcess* process : {&program_, &windowManager_, &server_}) {
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
bool DesktopSession::startServer() {
    int pipe[2];
    if (::pipe(pipe) != 0)
        return false;
    server_.setChildProcessModifier([pipe] { ::close(pipe[0]); });
    server_.start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QString::number(pipe[1]),
                   QStringLiteral("-screen"), QStringLiteral("0"),
                   QStringLiteral("%1x%2x24")
                       .arg(screen::length("screen"))
                       .arg(screen::size("screen").height()),
                   QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")});
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

void DesktopSession::writeInstalledSettings() const {
    QDir().mkpath(QFileInfo(settingsFile()).absolutePath());
    QFile file(settingsFile());
    if (file.open(QIODevice::WriteOnly))
        file.write(installedSettings(root_.path() + QStringLiteral("/files")));
}

QString DesktopSession::programFolder() {
    const QString folder = root_.path() + QStringLiteral("/program");
    QDir().mkpath(folder);
    const QDir built = QFileInfo(programBinary()).dir();
    for (const QString& file : built.entryList(QDir::Files))
        QFile::link(built.filePath(file), folder + u'/' + file);
    setEnvironment(QStringLiteral("OMBREL_PROGDIR"), folder);
    return folder;
}

QString DesktopSession::path(const QString& relative) const {
    const QString path = root_.path() + QStringLiteral("/files/") + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

bool DesktopSession::start(const QStringList& arguments) {
    errors_.clear();
    startWithBytes(program_, programBinary(), arguments);
    return program_.waitForStarted(10000);
}

int DesktopSession::runToEnd(const QStringList& arguments, int timeoutMs) {
    QProcess second;
    second.setProcessEnvironment(environment_);
    second.setWorkingDirectory(home());
    startWithBytes(second, programBinary(), arguments);
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

void DesktopSession::startOther(const QString& program, const QStringList& arguments) {
    auto other = std::make_unique<QProcess>();
    other->setProcessEnvironment(environment_);
    other->start(program, arguments);
    other->waitForStarted();
    others_.push_back(std::move(other));
}

QString DesktopSession::waitForWindowOfAnyProgram(const QString& title, int timeoutMs) const {
    QElapsedTimer clock;
    clock.start();
    do {
        const QString found = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                       QStringLiteral("--name"), u'^' + title + u'$'})
                                  .section(u'\n', 0, 0);
        if (!found.isEmpty())
            return found;
        QThread::msleep(kPollMs);
    } while (clock.elapsed() < timeoutMs);
    return {};
}

bool DesktopSession::running() const {
    return program_.state() == QProcess::Running;
}

int DesktopSession::waitForExit(int timeoutMs) {
    if (!program_.waitForFinished(timeoutMs) && program_.state() != QProcess::NotRunning)
        return -1;
    return program_.exitStatus() == QProcess::NormalExit ? program_.exitCode() : -1;
}

void DesktopSession::crash() {
    program_.kill();
    program_.waitForFinished();
}

void DesktopSession::freeze(bool frozen) const {
    ::kill(static_cast<pid_t>(program_.processId()), frozen ? SIGSTOP : SIGCONT);
}

QProcess* DesktopSession::startInstance(const QString& runtimeName, const QStringList& arguments) {
    const QString runtime = root_.path() + u'/' + runtimeName;
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = environment_;
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    auto instance = std::make_unique<QProcess>();
    instance->setProcessEnvironment(environment);
    instance->setWorkingDirectory(home());
    startWithBytes(*instance, programBinary(), arguments);
    instance->waitForStarted();
    others_.push_back(std::move(instance));
    return others_.back().get();
}

QByteArray DesktopSession::errorOutput() {
    errors_ += program_.readAllStandardError();
    return errors_;
}

QString DesktopSession::xdotool(const QStringList& arguments) const {
    QByteArray output;
    runTool(QStringLiteral("xdotool"), arguments, &output);
    return QString::fromUtf8(output).trimmed();
}

// Searched by class and then by title: a search by name alone misses the splash, whose
// title stands only in the window's UTF-8 name (where the program's name follows the title).
QStringList DesktopSession::windows(const QString& titlePattern) const {
    const QRegularExpression title(titlePattern);
    QStringList windows;
    for (const QString& window :
         xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                  QStringLiteral("--classname"), QStringLiteral("^ombrel$")})
             .split(u'\n', Qt::SkipEmptyParts)) {
        QString name = xdotool({QStringLiteral("getwindowname"), window});
        name.remove(kDisplayNameSuffix); // the title as the program set it
        if (title.match(name).hasMatch())
            windows.append(window);
    }
    return windows;
}

QString DesktopSession::waitForWindow(const QString& titlePattern, int timeoutMs) const {
    return waitForWindowOfSize(titlePattern, QSize(), timeoutMs);
}

QString DesktopSession::waitForWindowOfSize(const QString& titlePattern, QSize size,
                                            int timeoutMs) const {
    QElapsedTimer clock;
    clock.start();
    do {
        for (const QString& window : windows(titlePattern)) {
            if (!size.isValid() || geometry(window).size() == size)
                return window;
        }
        QThread::msleep(kPollMs);
    } while (clock.elapsed() < timeoutMs);
    return {};
}

QString DesktopSession::waitForMainWindow() const {
    // The splash, titled like the main window, stands over it for two and a half seconds.
    QElapsedTimer clock;
    clock.start();
    do {
        const QStringList titled = windows(QStringLiteral("^Ombrel$"));
        if (titled.size() == 1 && geometry(titled.first()).size() != screen::size("splash"))
            return titled.first();
        QThread::msleep(kPollMs);
    } while (clock.elapsed() < 15000);
    return {};
}

bool DesktopSession::windowGone(const QString& windowId, int timeoutMs) const {
    QElapsedTimer clock;
    clock.start();
    do {
        if (!windows(QStringLiteral(".*")).contains(windowId))
            return true;
        QThread::msleep(kPollMs);
    } while (clock.elapsed() < timeoutMs);
    return false;
}

QRect DesktopSession::geometry(const QString& windowId) const {
    const QString shell =
        xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), windowId});
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

void DesktopSession::keys(const QString& windowId, const QStringList& keys) const {
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), windowId});
    xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"),
                        QString::number(kKeyDelayMs)} +
            keys);
    QTest::qWait(200);
}

void DesktopSession::type(const QString& windowId, const QString& text) const {
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), windowId});
    xdotool(
        {QStringLiteral("type"), QStringLiteral("--delay"), QString::number(kKeyDelayMs), text});
    QTest::qWait(200);
}

void DesktopSession::click(QPoint at, int button) const {
    xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
             QStringLiteral("click"), QString::number(button)});
    QTest::qWait(200);
}

void DesktopSession::drag(QPoint from, QPoint to) const {
    xdotool({QStringLiteral("mousemove"), QString::number(from.x()), QString::number(from.y())});
    QTest::qWait(kDragStepMs);
    xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
    for (int step = 1; step <= kDragSteps; ++step) {
        const QPoint at = from + (to - from) * step / kDragSteps;
        QTest::qWait(kDragStepMs);
        xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
    }
    QTest::qWait(kDragStepMs * 4);
    xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    QTest::qWait(300);
}

void DesktopSession::close(const QString& windowId) const {
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

bool DesktopSession::answers(const QString& mainWindow) const {
    if (!running())
        return false;
    keys(mainWindow, {QStringLiteral("F6")});
    const QString table = waitForWindow(QStringLiteral("^Character-table$"), 5000);
    if (table.isEmpty())
        return false;
    keys(mainWindow, {QStringLiteral("F6")});
    return windowGone(table, 5000);
}

void DesktopSession::shot(const QString& name) const {
    runTool(QStringLiteral("import"),
            {QStringLiteral("-window"), QStringLiteral("root"),
             QDir::current().absoluteFilePath(name + QStringLiteral(".png"))});
}
