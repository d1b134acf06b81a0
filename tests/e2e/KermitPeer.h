#pragma once

#include "ProgramFrame.h"
#include "transfer/TransferMode.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QString>

class TransferDialog;

// Fails the running test with a clear message unless kermit and socat can be run.
void requireKermitAndSocat();

// A serial cable: a pair of pseudo-terminals joined by socat, reached through two links in a
// directory. The program sits on one end, the calculator on the other.
class NullModem {
  public:
    explicit NullModem(const QString& directory);
    ~NullModem();
    NullModem(const NullModem&) = delete;
    NullModem& operator=(const NullModem&) = delete;

    bool ready() const { return ready_; }
    QString programEnd() const;
    QString calculatorEnd() const;

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

    void receiveInto(const QString& folder);
    // Sends with a pause in milliseconds after each packet, so that a test can stop it halfway.
    void send(const QString& file, const QString& name, int pauseMs = 0);
    // Waits for the calculator's Kermit to end; false when it had to be stopped.
    bool finish();
    // The calculator falls silent at once, whatever it was doing.
    void stop();

  private:
    void startKermit(const QString& commands);

    QString line_;
    QProcess kermit_;
};

// The program in the shared frame with the real Kermit and a transfer dialog of its own, its
// port COM2 on the program's end of the cable.
struct TransferProgram : ProgramFrame {
    explicit TransferProgram(const QByteArray& extraSettings = {});
    ~TransferProgram();

    // A directory of the sandbox whose name Kermit must take literally.
    QString oddDirectory(const QString& name) const;
    void setDevice(const QString& device);
    QString status() const;
    QStringList workFilesLeft() const;
    // Sets the dialog up, shows it, types the name when it sends a document and presses Start;
    // returns once Kermit has ended, with the status line.
    QString run(TransferMode mode, const QString& name = QStringLiteral("DATA"));

    QList<QPair<QByteArray, QByteArray>> savedEnvironment;
    NullModem cable;
    TransferDialog* dialog = nullptr;
};

// Transfer results as the status line shows them in English. A transfer takes at least the
// two seconds the script waits first.
bool reportsTransfer(const QString& status, qint64 bytes);
extern const QString kTransferFailed;
extern const QString kPortFailed;
