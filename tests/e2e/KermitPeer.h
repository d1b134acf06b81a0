#pragma once

#include "ProgramFrame.h"
#include "transfer/TransferMode.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QString>

class TransferDialog;

// Fails the running test with a clear message unless kermit and python3 can be run.
void requireTransferTools();

// Whether a packet on the cable that the calculator cannot take fails the test.
enum class WireCheck { Off, On };

// A serial cable: a pair of pseudo-terminals joined by a relay that reads every Kermit packet
// crossing it (wire_relay.py), reached through two links in a directory. The program sits on
// one end, the calculator on the other.
class NullModem {
  public:
    explicit NullModem(const QString& directory, WireCheck check = WireCheck::On);
    ~NullModem();
    NullModem(const NullModem&) = delete;
    NullModem& operator=(const NullModem&) = delete;

    bool ready() const { return ready_; }
    QString programEnd() const;
    QString calculatorEnd() const;

    // The packets so far with a raw control character in their data field, one a line, from
    // "program" or "calculator".
    QStringList rawControlCharacters(const QString& from) const;
    // The longest packet so far (its length field), from "program" or "calculator".
    int longestPacket(const QString& from) const;
    // Empty when every packet the program sent fits the calculator, or when the check is off;
    // else what does not.
    QString unfitForCalculator() const;

  private:
    QStringList report() const;

    QString directory_;
    WireCheck check_;
    QProcess relay_;
    bool ready_ = false;
};

// Checks the packets the program put on the cable, where the test turned the check on.
#define VERIFY_WIRE(cable)                                                                         \
    do {                                                                                           \
        const QString unfit = (cable).unfitForCalculator();                                        \
        QVERIFY2(unfit.isEmpty(), qPrintable(unfit));                                              \
    } while (false)

// A second Kermit on the calculator's end of the cable, playing the calculator as its Kermit
// is: packets of at most 94 bytes, one packet at a time, block check 3, every control
// character prefixed. It stores what it receives in a folder under the names it was sent,
// as a plain receive or as a server, or sends one file.
class Calculator {
  public:
    explicit Calculator(const QString& line);
    ~Calculator();
    Calculator(const Calculator&) = delete;
    Calculator& operator=(const Calculator&) = delete;

    void receiveInto(const QString& folder);
    // As a server: it takes what is sent to it until it is stopped.
    void serveInto(const QString& folder);
    // Sends with a pause in milliseconds after each packet, so that a test can stop it halfway.
    // Unfit, it sends control characters as C-Kermit does by default, some of them raw.
    void send(const QString& file, const QString& name, int pauseMs = 0, bool unfit = false);
    // Waits for the calculator's Kermit to end; false when it had to be stopped.
    bool finish();
    // The calculator falls silent at once, whatever it was doing.
    void stop();

  private:
    void startKermit(const QString& commands);

    QString line_;
    QProcess kermit_;
    bool serving_ = false;
};

// The program in the shared frame with the real Kermit and a transfer dialog of its own, its
// port COM2 on the program's end of the cable.
struct TransferProgram : ProgramFrame {
    explicit TransferProgram(const QByteArray& extraSettings = {}, WireCheck check = WireCheck::On);
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
