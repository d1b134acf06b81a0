#pragma once

#include "core/HpTranslation.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// The positional reader of HP48 ASCII transfer files, shared by the loader and the scanner.
// It hands each topic and each kept row (rows 1..10) to a visitor as views into the data:
//   visitor.Topic(int topic)                        a topic opened
//   visitor.Row(int topic, int row, std::string_view)
// and returns the number of topics, or kHpParseNotHp when the header or the two bytes after it
// are wrong. The data ends at its physical end or at the first byte 26 (Ctrl-Z). A topic or a
// row still open at the end keeps the rows completed before it. In translation modes 2 and 3
// the rows are views into the decoded data, which a visitor may hear of first:
//   visitor.body(std::string_view)                  the data after "{ ", decoded
namespace hpparse {

constexpr int kNotHp = -20;
constexpr unsigned char kEndOfFile = 26;
constexpr int kHeaderLimit = 50;
constexpr int kRowsKept = 10;

inline bool isDigit(unsigned char byte) {
    return byte >= '0' && byte <= '9';
}

inline bool isBlank(unsigned char byte) {
    return byte == ' ' || byte == '\r' || byte == '\n' || byte == '\t';
}

// The values of the header line "%%HP: T(t)A(a)F(f);": the translation mode (a t other than
// 0 to 3 reads as 1), the angle letter and the fraction mark as they stand.
struct Header {
    int translation = hptrans::kDefaultMode;
    char angle = 'R';
    char fraction = ',';
};

// What a read did not take into the topics.
struct Omissions {
    int rowsPastTenth = 0;
    int otherEntries = 0;     // numbers, names, lists, rows the data ends in: no text rows
    size_t bytesAfterEnd = 0; // after the end mark (byte 26)
    int unknownCodes = 0;     // backslash codes that mean nothing: kept as they stand

    bool leftOut() const { return rowsPastTenth > 0 || otherEntries > 0 || bytesAfterEnd > 0; }
    bool any() const { return leftOut() || unknownCodes > 0; }
};

struct Details {
    Header header;
    Omissions omitted;
};

class Cursor {
  public:
    explicit Cursor(std::string_view data) {
        const size_t mark = data.find(static_cast<char>(kEndOfFile));
        data_ = data.substr(0, mark);
        afterEnd_ = mark == std::string_view::npos ? 0 : data.size() - mark - 1;
    }

    bool atEnd() const { return pos_ >= data_.size(); }
    size_t consumed() const { return pos_; }
    size_t remaining() const { return data_.size() - pos_; }
    std::string_view rest() const { return data_.substr(pos_); }
    size_t bytesAfterEnd() const { return afterEnd_; }
    // Past the end every read yields the end-of-file mark again.
    unsigned char next() {
        return atEnd() ? kEndOfFile : static_cast<unsigned char>(data_[pos_++]);
    }
    unsigned char peek(size_t ahead) const {
        return pos_ + ahead < data_.size() ? static_cast<unsigned char>(data_[pos_ + ahead])
                                           : kEndOfFile;
    }
    void skip(size_t count) { pos_ = count < remaining() ? pos_ + count : data_.size(); }
    // Bytes up to the next occurrence of `byte`; false when it does not occur.
    bool takeUntil(char byte, std::string_view& taken) {
        const size_t end = data_.find(byte, pos_);
        if (end == std::string_view::npos)
            return false;
        taken = data_.substr(pos_, end - pos_);
        pos_ = end + 1;
        return true;
    }
    bool take(size_t count, std::string_view& taken) {
        if (count > remaining())
            return false;
        taken = data_.substr(pos_, count);
        pos_ += count;
        return true;
    }

  private:
    std::string_view data_;
    size_t pos_ = 0;
    size_t afterEnd_ = 0;
};

// The first line up to its LF (after a CR or alone) or 50 bytes, whichever comes first; the
// value bytes at 9, 13 and 17 are free.
inline bool readHeader(Cursor& cursor, Header& values) {
    unsigned char header[kHeaderLimit] = {};
    int length = 0;
    while (length < kHeaderLimit) {
        const unsigned char byte = cursor.next();
        header[length++] = byte;
        if (byte == '\n')
            break;
    }
    auto matches = [&](int from, const char* text) {
        return std::memcmp(header + from - 1, text, std::strlen(text)) == 0;
    };
    if (length < 19 || !matches(1, "%%HP: T(") || !matches(10, ")A(") || !matches(14, ")F(") ||
        !matches(18, ");"))
        return false;
    const int mode = header[8] - '0';
    values.translation =
        mode >= hptrans::kMinMode && mode <= hptrans::kMaxMode ? mode : hptrans::kDefaultMode;
    values.angle = static_cast<char>(header[12]);
    values.fraction = static_cast<char>(header[16]);
    return true;
}

// The header line and the "{ " after it.
inline bool readHeaderAndListStart(Cursor& cursor, Header& values) {
    return readHeader(cursor, values) && cursor.next() == '{' && cursor.next() == ' ';
}

// The header is read from at most this many bytes, so the first of them decide it.
constexpr size_t kHeaderDecidingBytes = kHeaderLimit + 2;

// Whether data beginning with these bytes (at most kHeaderDecidingBytes are looked at) passes
// the header test of Parse, so a file can be refused before the rest of it is read.
inline bool hasHeader(std::string_view firstBytes, Header* values = nullptr) {
    Cursor cursor(firstBytes.substr(0, kHeaderDecidingBytes));
    Header header;
    const bool found = readHeaderAndListStart(cursor, header);
    if (values != nullptr)
        *values = header;
    return found;
}

enum class Step { row, Skipped, End };

// After "C": "$", a blank and the length in decimal digits, one separator byte, the row. A
// length of one digit takes the byte after it as separator whatever it is; longer lengths run
// to the first byte that is not a digit. Anything else drops the four bytes after "C".
inline Step readCountedRow(Cursor& cursor, std::string_view& row) {
    if (cursor.remaining() < 4)
        return Step::End;
    if (cursor.peek(0) != '$' || cursor.peek(1) != ' ' || !isDigit(cursor.peek(2))) {
        cursor.skip(4);
        return Step::Skipped;
    }
    cursor.skip(2);
    size_t length = cursor.next() - '0';
    unsigned char byte = cursor.next();
    if (isDigit(byte)) {
        while (isDigit(byte)) {
            if (length <= cursor.remaining())
                length = length * 10 + (byte - '0');
            byte = cursor.next();
        }
        if (byte == kEndOfFile) // the data holds no byte 26, so this is its end
            return Step::End;
    }
    return cursor.take(length, row) ? Step::row : Step::End;
}

// Counts a run of bytes that is neither blank nor a row as one entry left out.
class EntryTally {
  public:
    void other() {
        count += inEntry_ ? 0 : 1;
        inEntry_ = true;
    }
    void byte(unsigned char byte) {
        if (isBlank(byte))
            inEntry_ = false;
        else
            other();
    }
    void end() { inEntry_ = false; }

    int count = 0;

  private:
    bool inEntry_ = false;
};

// The rows of one topic up to its "}"; false when the data ends first.
template <typename Visitor>
bool readTopic(Cursor& cursor, Visitor& visitor, int topic, Omissions& omitted) {
    EntryTally entries;
    int row = 0;
    Step step = Step::row;
    bool closed = false;
    while (!cursor.atEnd()) {
        const unsigned char byte = cursor.next();
        std::string_view text;
        if (byte == '"') {
            step = cursor.takeUntil('"', text) ? Step::row : Step::End;
        } else if (byte == '}') {
            closed = true;
            break;
        } else if (byte == 'C') {
            step = readCountedRow(cursor, text);
        } else {
            entries.byte(byte);
            continue;
        }
        if (step == Step::End)
            break;
        if (step == Step::Skipped) {
            entries.other();
            continue;
        }
        entries.end();
        if (++row <= kRowsKept)
            visitor.row(topic, row, text);
        else
            ++omitted.rowsPastTenth;
    }
    if (step == Step::End) {
        entries.end();
        entries.other(); // the row the data ends in
    }
    omitted.otherEntries += entries.count;
    return closed;
}

// The topics after "{ ": at list level only "{" has a meaning; anything else but blanks and
// the list's "}" is an entry left out.
template <typename Visitor> int parseTopics(Cursor& cursor, Visitor& visitor, Omissions& omitted) {
    EntryTally entries;
    int topic = 0;
    while (!cursor.atEnd()) {
        const unsigned char byte = cursor.next();
        if (byte != '{') {
            if (byte == '}')
                entries.end();
            else
                entries.byte(byte);
            continue;
        }
        entries.end();
        visitor.topic(++topic);
        if (!readTopic(cursor, visitor, topic, omitted))
            break;
    }
    omitted.otherEntries += entries.count;
    return topic;
}

template <typename Visitor> int parse(std::string_view data, Visitor& visitor, Details& details) {
    details = Details();
    Cursor cursor(data);
    if (!readHeaderAndListStart(cursor, details.header))
        return kNotHp;
    details.omitted.bytesAfterEnd = cursor.bytesAfterEnd();
    if (!hptrans::usesBackslashCodes(details.header.translation))
        return parseTopics(cursor, visitor, details.omitted);
    const std::string decoded = hptrans::decode(cursor.rest(), details.omitted.unknownCodes);
    Cursor body(decoded); // a decoded byte 26 ends the data too
    details.omitted.bytesAfterEnd += body.bytesAfterEnd();
    if constexpr (requires { visitor.body(std::string_view()); })
        visitor.body(body.rest());
    return parseTopics(body, visitor, details.omitted);
}

template <typename Visitor> int parse(std::string_view data, Visitor& visitor) {
    Details details;
    return parse(data, visitor, details);
}

} // namespace hpparse
