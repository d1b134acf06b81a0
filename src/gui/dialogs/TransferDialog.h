#pragma once

#include "core/Hp48Codec.h"

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QStringList>

class QFrame;
class QLabel;
class QLineEdit;
class QProcess;
class QProgressBar;
class QPushButton;
class SettingsFile;

// The Kermit take script that moves one file between the PC and the calculator, and the
// command line that runs it. Building the script touches nothing: it is text from values.
namespace kermit {

// Exit codes of a Kermit run as the transfer judges them.
constexpr int kSuccess = 7;      // the script's "if success" sets it
constexpr int kPortFailure = 0;  // the serial port could not be set up
constexpr int kNotStarted = 555; // the program could not be started
constexpr int kAbnormalEnd = -1; // killed, or crashed
constexpr int kStopped = -2;     // ended on the user's request

struct ScriptValues {
    char mode = 'S'; // 'S' send a document, 'R' receive a file, 'T' send the Tarvo library
    QString device;  // the serial device behind the port
    QString baud;
    QString parity;
    QString retries;
    QString sendPacketLength;
    QString receivePacketLength;
    QString sendFile;            // the document to send (mode 'S'); the script deletes it
    QString receiveFile;         // where the received file is stored (mode 'R')
    QString tarvoLibrary;        // the library file (mode 'T')
    QByteArray nameOnCalculator; // mode 'S': the calculator's name of the document, in its codes
};

// The script lines, each ended by CR LF.
QByteArray takeScript(const ScriptValues& values);
// The arguments of the Kermit program: no init file, then take the script.
QStringList commandArguments(const QString& scriptFile);

// Text as Kermit reads it back unchanged from a command line: each backslash doubled, line
// breaks left out, and every character Kermit would take as grouping, quoting or comment, or
// that is not printable ASCII, or a blank at either end, written as its code (\{n}). Nothing
// in it can end the command or evaluate a variable or function.
QByteArray literal(QByteArrayView text);
// A file name for the commands that take file names: the path in braces, its characters made
// literal as above and wildcard characters escaped, so it names exactly this one file.
QByteArray fileField(const QString& path);
// The file name a received file is stored under. The receive command reads its name once more
// after the command line was read, so the name is made literal twice.
QByteArray receiveField(const QString& path);
// The calculator's name of a file: its text in calculator codes, line breaks left out. Not ok
// when a character has no code; its column then tells where it stands in the name.
hp48::EncodedRow calculatorName(const QString& typed);

// The serial device of a port: "COM1" to "COM4" map to Device1 to Device4 of section
// Transfer; any other value is taken as a device path of its own.
QString deviceOfPort(const QString& port, const SettingsFile& ini);

} // namespace kermit

// The transfer dialog: sends the active document or the Tarvo library to the calculator, or
// receives one file from it, by writing a Kermit take script and running Kermit on it. Made
// once when the program starts and shown modally for each transfer.
class Preferences;
class Workspace;

class TransferDialog : public QDialog {
    Q_OBJECT

  public:
    TransferDialog(Preferences& preferences, Workspace& workspace, QWidget* parent = nullptr);

    // Sets the dialog up for a mode ('S', 'R' or 'T') and shows it modally; returns when it is
    // closed. Mode 'T' without the library file tells so and shows nothing.
    void openTransfer(char mode);
    // The set-up part of OpenTransfer; false when the dialog is not to be shown.
    bool prepareTransfer(char mode);
    // Runs each time the dialog is shown: the status line is cleared and the serial
    // parameters are read afresh.
    void prepareOnShow();
    // The transfer: runs while Kermit runs, keeping the program responsive, and shows its
    // result in the status line.
    void startTransfer();
    // Runs the Kermit program on the script and returns its exit code, kNotStarted when it
    // could not be started, kStopped when the user ended it, kAbnormalEnd when something
    // else did.
    int runKermit(const QString& program, const QStringList& arguments);

    char transferMode() const { return transferMode_; }
    bool transferRunning() const { return running_; }
    quint32 startTick() const { return startTick_; }
    quint32 endTick() const { return endTick_; }

    // Close, Esc or the window's close box: while Kermit runs they end it instead, and the
    // dialog stays open to tell that the transfer failed.
    void done(int result) override;

  signals:
    // Kermit runs with this process id; the transfer waits for it to end.
    void KermitStarted(qint64 processId);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    Preferences& preferences_;
    Workspace& workspace_;
    void createControls();
    void createParameterPanel();
    void createStatusPanel();
    void updateStartButton();
    kermit::ScriptValues scriptValuesForMode(const QByteArray& calculatorName) const;
    bool writeTaskScript(const QByteArray& calculatorName) const;
    void stopKermit();
    int runWithWaitCursor(const QStringList& arguments);
    int sendDocument(const QStringList& arguments, qint64& bytes);
    int receiveFile(const QStringList& arguments, qint64& bytes);
    int sendLibrary(const QStringList& arguments, qint64& bytes);
    void showResult(int runResult, qint64 bytes);

    char transferMode_ = 'S';
    QString waitText_;
    quint32 startTick_ = 0;
    quint32 endTick_ = 0;
    bool running_ = false;
    QProcess* kermit_ = nullptr; // the Kermit process while it runs
    bool stopRequested_ = false;

    QLabel* label5_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLabel* label11_ = nullptr;
    QFrame* panel1_ = nullptr;
    QLineEdit* port_ = nullptr;
    QLineEdit* baud_ = nullptr;
    QLineEdit* parity_ = nullptr;
    QLineEdit* bits_ = nullptr;
    QProgressBar* animate1_ = nullptr;
    QLabel* label12_ = nullptr;
    QPushButton* bitBtn1_ = nullptr;
    QPushButton* bitBtn2_ = nullptr;
    QPushButton* bitBtn3_ = nullptr;
};
