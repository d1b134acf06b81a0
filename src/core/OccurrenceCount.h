#pragma once

#include "core/HpTranslation.h"
#include "core/TextSearch.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <atomic>
#include <string>
#include <string_view>

class RegularFile;

// Counting a text in database files, as the directory scanner lists them.
namespace scan {

// Counts above this are listed as "      >200"; once past it each further row is searched once.
constexpr quint16 kCountLimit = 200;

// Occurrences of `text` in rows 1..10 of every topic of a database file; 0 for a file that
// cannot be read, is no regular file or no database, is too large, holds no topic or too many.
// Occurrences do not overlap. Without caseSensitive only the letters a..z and A..Z are taken as
// equal.
quint16 countInFile(const QString& fileName, QByteArrayView text, bool caseSensitive);
quint16 countInData(QByteArrayView data, QByteArrayView text, bool caseSensitive);

// A file is read through a buffer of this many bytes: a file that fits is counted from the
// buffer, a larger one piece by piece, so a count never holds more of a file than this.
constexpr qsizetype kReadBufferSize = 256 * 1024;

// Counts in a file opened for reading, through a buffer of kReadBufferSize bytes. Gives 0 at
// once when `cancel` is set between two pieces of the file.
quint16 countInOpenFile(RegularFile& file, const Needle& needle, char* buffer,
                        const std::atomic<bool>* cancel);

// The count of CountInData over data that arrives in pieces of any size.
class PiecewiseCount {
  public:
    explicit PiecewiseCount(const Needle& needle) : needle_(needle) {}

    // False once further data cannot change the result: not a database, the end mark (byte
    // 26) reached, or more topics than a database holds.
    bool feed(std::string_view piece);
    quint16 result();

  private:
    enum class State {
        Header,
        BetweenTopics,
        InTopic,
        CountedHead,
        CountedLength,
        CountedRow,
        QuotedRow,
        Done
    };

    bool finishHeader();
    void stepThrough(std::string_view piece, bool last);
    size_t step(std::string_view piece); // takes some bytes, at least one; returns how many
    size_t takeCountedHeadByte(char byte);
    void startRow(State state);
    void endRow();
    void searchRowPiece(std::string_view piece);
    void Hit();

    const Needle& needle_;
    State state_ = State::Header;
    std::string head_;     // the bytes that decide the header
    bool decodes_ = false; // rows carry backslash codes
    hptrans::Decoder decoder_;
    std::string decoded_;
    int topics_ = 0;
    int rowsInTopic_ = 0;
    quint16 count_ = 0;
    char countedHead_[4] = {};
    int countedHeadBytes_ = 0;
    quint64 rowBytesLeft_ = 0; // of a counted row
    // The row being read: its occurrences so far (counted once the row is complete), whether
    // its search has ended, and its last bytes, where an occurrence may begin that ends in
    // the next piece.
    bool rowKept_ = false;
    quint16 rowHits_ = 0;
    bool rowSearchEnded_ = false;
    std::string rowTail_;
};

// The ordinary, visible files of a directory in the order the file system lists them: regular
// files and links to regular files.
QStringList scannableFiles(const QString& directory);

// A list entry: the count in ten characters ("%10.3d", or "      >200"), a tab, the name.
QString entryText(quint16 count, const QString& fileName);
constexpr int kEntryPrefixLength = 11;

} // namespace scan
