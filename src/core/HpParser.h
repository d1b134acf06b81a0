#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

// The positional reader of HP48 ASCII transfer files, shared by the loader and the scanner.
// It hands each topic and each kept row (rows 1..10) to a visitor as views into the data:
//   visitor.Topic(int topic)                        a topic opened
//   visitor.Row(int topic, int row, std::string_view)
// and returns the number of topics, or kHpParseNotHp when the header or the two bytes after it
// are wrong. The data ends at its physical end or at the first byte 26 (Ctrl-Z). A topic or a
// row still open at the end keeps the rows completed before it.
namespace hpparse {

constexpr int kNotHp = -20;
constexpr unsigned char kEndOfFile = 26;
constexpr int kHeaderLimit = 50;
constexpr int kRowsKept = 10;

inline bool isDigit(unsigned char byte) {
    return byte >= '0' && byte <= '9';
}

class Cursor {
  public:
    explicit Cursor(std::string_view data)
        : data_(data.substr(0, data.find(static_cast<char>(kEndOfFile)))) {}

    bool atEnd() const { return pos_ >= data_.size(); }
    size_t consumed() const { return pos_; }
    size_t remaining() const { return data_.size() - pos_; }
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
};

// The first line up to CR LF or 50 bytes, whichever comes first; the value bytes at 9, 13
// and 17 are free.
inline bool readHeader(Cursor& cursor) {
    unsigned char header[kHeaderLimit] = {};
    int length = 0;
    unsigned char previous = 0;
    while (length < kHeaderLimit) {
        const unsigned char byte = cursor.next();
        header[length++] = byte;
        if (previous == '\r' && byte == '\n')
            break;
        previous = byte;
    }
    auto matches = [&](int from, const char* text) {
        return std::memcmp(header + from - 1, text, std::strlen(text)) == 0;
    };
    return length >= 19 && matches(1, "%%HP: T(") && matches(10, ")A(") && matches(14, ")F(") &&
           matches(18, ");");
}

// The header line and the "{ " after it.
inline bool readHeaderAndListStart(Cursor& cursor) {
    return readHeader(cursor) && cursor.next() == '{' && cursor.next() == ' ';
}

// The header is read from at most this many bytes, so the first of them decide it.
constexpr size_t kHeaderDecidingBytes = kHeaderLimit + 2;

// Whether data beginning with these bytes (at most kHeaderDecidingBytes are looked at) passes
// the header test of Parse, so a file can be refused before the rest of it is read.
inline bool hasHeader(std::string_view firstBytes) {
    Cursor cursor(firstBytes.substr(0, kHeaderDecidingBytes));
    return readHeaderAndListStart(cursor);
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

template <typename Visitor> int parse(std::string_view data, Visitor& visitor) {
    Cursor cursor(data);
    if (!readHeaderAndListStart(cursor))
        return kNotHp;

    int topic = 0;
    while (!cursor.atEnd()) {
        if (cursor.next() != '{')
            continue;
        visitor.topic(++topic);
        int row = 0;
        for (;;) {
            if (cursor.atEnd())
                return topic;
            const unsigned char byte = cursor.next();
            if (byte == '}')
                break;
            std::string_view text;
            Step step = Step::Skipped;
            if (byte == '"')
                step = cursor.takeUntil('"', text) ? Step::row : Step::End;
            else if (byte == 'C')
                step = readCountedRow(cursor, text);
            if (step == Step::End)
                return topic;
            if (step == Step::row && ++row <= kRowsKept)
                visitor.row(topic, row, text);
        }
    }
    return topic;
}

} // namespace hpparse
