#pragma once

#include <QList>
#include <QString>

// A file that cannot be opened is reported with its name. While a batch is open (the files of
// one drop, the scanner's Load all) the failures wait and are reported together in one box when
// the batch ends, so that many files that fail cost the user one answer.
class OpenFailures {
  public:
    OpenFailures();  // opens a batch, unless one is open already
    ~OpenFailures(); // the batch's box, when a file failed
    OpenFailures(const OpenFailures&) = delete;
    OpenFailures& operator=(const OpenFailures&) = delete;

    // Reports a file that failed with the message of the given id: with the open batch, or at
    // once in a box of its own.
    static void report(quint16 messageId, const QString& fileName);

  private:
    struct Failure {
        quint16 messageId = 0;
        QString fileName;
    };
    static void show(const QList<Failure>& failures);

    bool owner_ = false;
    QList<Failure> failures_;
};
