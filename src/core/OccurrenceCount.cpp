#include "core/OccurrenceCount.h"

#include "core/HpFile.h"
#include "core/HpParser.h"
#include "core/RegularFile.h"

#include <algorithm>
#include <memory>

namespace scan {
namespace {

constexpr size_t kNotFound = std::string_view::npos;

// Counts row by row while the parser walks the data. The next occurrence in the data is found
// once and kept: every row before it holds none, so most rows are passed without a search.
struct RowCounter {
    const Needle& needle;
    std::string_view data;
    size_t nextOccurrence = 0;
    quint16 count = 0;

    void topic(int) {}
    // The rows are pieces of the decoded data from here on.
    void body(std::string_view decoded) {
        data = decoded;
        nextOccurrence = needle.find(data, 0);
    }
    void row(int, int, std::string_view row) {
        size_t from = static_cast<size_t>(row.data() - data.data());
        const size_t end = from + row.size();
        for (;;) {
            if (nextOccurrence < from)
                nextOccurrence = needle.find(data, from);
            if (nextOccurrence == kNotFound || nextOccurrence + needle.size() > end)
                return;
            ++count;
            from = nextOccurrence + needle.size(); // occurrences do not overlap
            if (count > kCountLimit)
                return;
        }
    }
};

bool usesBackslashCodes(std::string_view data) {
    hpparse::Header header;
    return hpparse::hasHeader(data, &header) && hptrans::usesBackslashCodes(header.translation);
}

quint16 countInWholeData(std::string_view data, const Needle& needle) {
    RowCounter counter{needle, data};
    // Rows are pieces of the data: data without the text anywhere holds no occurrence, unless
    // the rows are decoded first.
    counter.nextOccurrence = needle.find(data, 0);
    if (counter.nextOccurrence == kNotFound && !usesBackslashCodes(data))
        return 0;
    const int topics = hpparse::parse(data, counter);
    return topics > 0 && topics <= kMaxTopicCount ? counter.count : 0;
}

bool isDigit(char byte) {
    return hpparse::isDigit(static_cast<unsigned char>(byte));
}

// A counted row's length that no file can hold; larger lengths stop growing here.
constexpr quint64 kLengthBeyondAnyFile = quint64(1) << 40;

} // namespace

quint16 countInData(QByteArrayView data, QByteArrayView text, bool caseSensitive) {
    const Needle needle(text, caseSensitive);
    if (needle.isEmpty())
        return 0;
    return countInWholeData(std::string_view(data.data(), static_cast<size_t>(data.size())),
                            needle);
}

quint16 countInOpenFile(RegularFile& file, const Needle& needle, char* buffer,
                        const std::atomic<bool>* cancel) {
    if (needle.isEmpty() || file.size() > hpfile::kMaxFileSize)
        return 0;
    // Most files take one read: a shorter one is the whole file.
    qint64 filled = file.readOnce(buffer, kReadBufferSize);
    if (filled < 0)
        return 0;
    const std::string_view first(buffer, static_cast<size_t>(filled));
    if (!hpparse::hasHeader(first))
        return 0;
    if (filled < kReadBufferSize)
        return countInWholeData(first, needle);
    PiecewiseCount counter(needle);
    qint64 total = filled;
    for (bool more = counter.feed(first); more;
         more = counter.feed(std::string_view(buffer, static_cast<size_t>(filled)))) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed))
            return 0;
        filled = file.read(buffer, kReadBufferSize);
        if (filled < 0)
            return 0;
        if (filled == 0)
            break;
        total += filled;
        if (total > hpfile::kMaxFileSize) // it grew since it was opened
            return 0;
    }
    return counter.result();
}

quint16 countInFile(const QString& fileName, QByteArrayView text, bool caseSensitive) {
    const Needle needle(text, caseSensitive);
    RegularFile file;
    if (needle.isEmpty() || file.open(fileName) != RegularFile::Opened::Yes)
        return 0;
    const std::unique_ptr<char[]> buffer(new char[kReadBufferSize]);
    return countInOpenFile(file, needle, buffer.get(), nullptr);
}

// The states follow hpparse::Parse step by step; a test feeds both the same data.
bool PiecewiseCount::feed(std::string_view piece) {
    if (state_ == State::Done)
        return false;
    const size_t endMark = piece.find(static_cast<char>(hpparse::kEndOfFile));
    piece = piece.substr(0, endMark);
    if (state_ == State::Header) {
        const size_t wanted = hpparse::kHeaderDecidingBytes - head_.size();
        head_.append(piece.substr(0, wanted));
        piece.remove_prefix(std::min(wanted, piece.size()));
        if (head_.size() < hpparse::kHeaderDecidingBytes && endMark == kNotFound)
            return true;
        if (!finishHeader())
            return false;
    }
    stepThrough(piece, endMark != kNotFound);
    if (endMark != kNotFound)
        state_ = State::Done; // a row still open stays uncounted
    return state_ != State::Done;
}

quint16 PiecewiseCount::result() {
    if (state_ == State::Header && !finishHeader())
        return 0;
    if (state_ != State::Done)
        stepThrough({}, true); // a backslash code still waiting stands as it is
    state_ = State::Done;
    return topics_ > 0 && topics_ <= kMaxTopicCount ? count_ : 0;
}

// Data after the header, decoded first in the modes that write backslash codes.
void PiecewiseCount::stepThrough(std::string_view piece, bool last) {
    size_t decodedMark = kNotFound;
    if (decodes_) {
        decoded_.clear();
        decoder_.feed(piece, decoded_);
        if (last)
            decoder_.finish(decoded_);
        decodedMark = decoded_.find(static_cast<char>(hpparse::kEndOfFile));
        piece = std::string_view(decoded_).substr(0, decodedMark);
    }
    while (!piece.empty() && state_ != State::Done)
        piece.remove_prefix(step(piece));
    if (decodedMark != kNotFound)
        state_ = State::Done;
}

// The header is decided from its first bytes; the rest of them is data already.
bool PiecewiseCount::finishHeader() {
    hpparse::Cursor cursor(head_);
    hpparse::Header header;
    if (!hpparse::readHeaderAndListStart(cursor, header)) {
        state_ = State::Done;
        return false;
    }
    state_ = State::BetweenTopics;
    decodes_ = hptrans::usesBackslashCodes(header.translation);
    stepThrough(std::string_view(head_).substr(cursor.consumed()), false);
    return true;
}

size_t PiecewiseCount::step(std::string_view piece) {
    switch (state_) {
    case State::BetweenTopics: {
        const size_t brace = piece.find('{');
        if (brace == kNotFound)
            return piece.size();
        rowsInTopic_ = 0;
        // Past the largest topic count the result is 0 whatever follows.
        state_ = ++topics_ > kMaxTopicCount ? State::Done : State::InTopic;
        return brace + 1;
    }
    case State::InTopic:
        if (piece[0] == '}') {
            state_ = State::BetweenTopics;
        } else if (piece[0] == '"') {
            startRow(State::QuotedRow);
        } else if (piece[0] == 'C') {
            state_ = State::CountedHead;
            countedHeadBytes_ = 0;
        }
        return 1;
    case State::QuotedRow: {
        const size_t quote = piece.find('"');
        searchRowPiece(piece.substr(0, quote));
        if (quote == kNotFound)
            return piece.size();
        endRow();
        return quote + 1;
    }
    case State::CountedHead:
        return takeCountedHeadByte(piece[0]);
    case State::CountedLength:
        if (isDigit(piece[0])) {
            rowBytesLeft_ = std::min(rowBytesLeft_ * 10 + static_cast<quint64>(piece[0] - '0'),
                                     kLengthBeyondAnyFile);
        } else {
            startRow(State::CountedRow); // that byte was the separator
        }
        return 1;
    case State::CountedRow: {
        const size_t taken = static_cast<size_t>(std::min<quint64>(rowBytesLeft_, piece.size()));
        searchRowPiece(piece.substr(0, taken));
        rowBytesLeft_ -= taken;
        if (rowBytesLeft_ == 0)
            endRow();
        return taken;
    }
    case State::Header:
    case State::Done:
        break;
    }
    return piece.size();
}

// "$", a blank, a digit, then a separator or further digits; else these four bytes are passed
// over.
size_t PiecewiseCount::takeCountedHeadByte(char byte) {
    countedHead_[countedHeadBytes_++] = byte;
    if (countedHeadBytes_ < 4)
        return 1;
    if (countedHead_[0] != '$' || countedHead_[1] != ' ' || !isDigit(countedHead_[2])) {
        state_ = State::InTopic;
        return 1;
    }
    rowBytesLeft_ = static_cast<quint64>(countedHead_[2] - '0');
    if (isDigit(countedHead_[3])) {
        rowBytesLeft_ = rowBytesLeft_ * 10 + static_cast<quint64>(countedHead_[3] - '0');
        state_ = State::CountedLength;
    } else {
        startRow(State::CountedRow);
    }
    return 1;
}

void PiecewiseCount::startRow(State state) {
    state_ = state;
    rowKept_ = rowsInTopic_ < hpparse::kRowsKept;
    rowHits_ = 0;
    rowSearchEnded_ = !rowKept_;
    rowTail_.clear();
    if (state == State::CountedRow && rowBytesLeft_ == 0)
        endRow();
}

// Only a complete row counts: one the data ends in is dropped with its occurrences.
void PiecewiseCount::endRow() {
    ++rowsInTopic_;
    if (rowKept_)
        count_ += rowHits_;
    state_ = State::InTopic;
}

void PiecewiseCount::Hit() {
    ++rowHits_;
    if (count_ + rowHits_ > kCountLimit)
        rowSearchEnded_ = true;
}

void PiecewiseCount::searchRowPiece(std::string_view piece) {
    if (rowSearchEnded_ || piece.empty())
        return;
    const size_t overlap = needle_.size() - 1;
    size_t from = 0;
    if (!rowTail_.empty()) {
        // An occurrence that begins in the tail of the row so far and ends in this piece.
        const size_t tailSize = rowTail_.size();
        rowTail_.append(piece.substr(0, overlap));
        const size_t found = needle_.find(rowTail_, 0);
        if (found != kNotFound) {
            Hit();
            from = found + needle_.size() - tailSize;
        } else if (piece.size() < overlap) {
            rowTail_.erase(0, rowTail_.size() - std::min(rowTail_.size(), overlap));
            return;
        }
        rowTail_.clear();
        if (rowSearchEnded_)
            return;
    }
    for (;;) {
        const size_t found = needle_.find(piece, from);
        if (found == kNotFound)
            break;
        Hit();
        from = found + needle_.size();
        if (rowSearchEnded_)
            return;
    }
    const size_t mayBegin = piece.size() >= overlap ? piece.size() - overlap : 0;
    rowTail_.assign(piece.substr(std::max(from, mayBegin)));
}

QString entryText(quint16 count, const QString& fileName) {
    const QString column =
        count > kCountLimit ? QStringLiteral("      >200") : QString::asprintf("%10.3d", count);
    return column + u'\t' + fileName;
}

} // namespace scan
