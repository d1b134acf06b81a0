#pragma once

#include "Sandbox.h"
#include "ScriptedPrompter.h"
#include "platform/Preferences.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QString>

#include <memory>

class TransferDialog;
class MainWindow;

// Fails the running test with a clear message unless kermit and socat can be run.
void RequireKermitAndSocat();

// A serial cable: a pair of pseudo-terminals joined by socat, reached through two links in a
// directory. The program sits on one end, the calculator on the other.
class NullModem {
  public:
    explicit NullModem(const QString& directory);
    ~NullModem();
    NullModem(const NullModem&) = delete;
    NullModem& operator=(const NullModem&) = delete;

    bool Ready() const { return ready_; }
    QString ProgramEnd() const;
    QString CalculatorEnd() const;

  private:
    QString directory_;
    QProcess socat_;
    bool ready_ = false;
};

// A second Kermit on the calculator's end of the cable, playing the calculator: it stores
// what it receives in a folder under the names it was sent, or sends one file.
class Calculator {
  public:
    explicit Calculator(const QString& line);
    ~Calculator();
    Calculator(const Calculator&) = delete;
    Calculator& operator=(const Calculator&) = delete;

    void ReceiveInto(const QString& folder);
    // Sends with a pause in milliseconds after each packet, so that a test can stop it halfway.
    void Send(const QString& file, const QString& name, int pauseMs = 0);
    // Waits for the calculator's Kermit to end; false when it had to be stopped.
    bool Finish();
    // The calculator falls silent at once, whatever it was doing.
    void Stop();

  private:
    void Start(const QString& commands);

    QString line_;
    QProcess kermit_;
};

// One program in a sandbox with the real Kermit: settings, global state, main window and the
// transfer dialog, its port COM2 on the program's end of the cable.
struct TransferProgram {
    explicit TransferProgram(const QByteArray& extraSettings = {});
    ~TransferProgram();

    // A directory of the sandbox whose name Kermit must take literally.
    QString OddDirectory(const QString& name) const;
    void SetDevice(const QString& device) const;
    QString Status() const;
    QStringList WorkFilesLeft() const;
    // Sets the dialog up, shows it, types the name in mode 'S' and presses Start; returns
    // once Kermit has ended, with the status line.
    QString Run(char mode, const QString& name = QStringLiteral("DATA"));

    Sandbox sandbox;
    QList<QPair<QByteArray, QByteArray>> savedEnvironment;
    NullModem cable;
    GlobalScope global;
    ScriptedPrompter prompter;
    std::unique_ptr<MainWindow> main;
    TransferDialog* dialog = nullptr;
};

// Transfer results as the status line shows them in English. A transfer takes at least the
// two seconds the script waits first.
bool ReportsTransfer(const QString& status, qint64 bytes);
extern const QString kTransferFailed;
extern const QString kPortFailed;
