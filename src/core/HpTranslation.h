#pragma once

#include <string>
#include <string_view>

// How a database file spells the calculator's codes: the translation mode of its header.
// Modes 0 and 1 write every byte as it is (0 ends lines with LF, 1 with CR LF). Modes 2 and 3
// end lines with CR LF, write a backslash as "\\" and codes from 128 on as backslash codes:
// mode 2 those of 128-159, mode 3 all of them. On reading, modes 2 and 3 take every code the
// same way: "\\", "\nnn" (000-255) and the calculator's two-character names such as "\->".
namespace hptrans {

constexpr int kMinMode = 0;
constexpr int kMaxMode = 3;
constexpr int kDefaultMode = 1;

inline bool usesBackslashCodes(int mode) {
    return mode >= 2;
}

// How a byte is written in the mode: empty when it stands as itself.
std::string_view spelling(unsigned char code, int mode);

// Turns the backslash codes of data into the codes they stand for. A backslash followed by
// anything else stays as it stands and is counted. The data may come in pieces of any size:
// a code cut by the end of one piece is completed by the next.
class Decoder {
  public:
    // Appends what the piece decodes to; a backslash code it ends in waits for the next piece.
    void feed(std::string_view piece, std::string& out);
    // The data has ended: a backslash code still waiting stays as it stands.
    void finish(std::string& out);
    int unknownCodes() const { return unknownCodes_; }

  private:
    void decodeRun(std::string_view run, std::string& out, bool atEnd);

    std::string waiting_; // a backslash and the bytes after it that do not decide it yet
    int unknownCodes_ = 0;
};

// The whole data decoded at once.
std::string decode(std::string_view data, int& unknownCodes);

} // namespace hptrans
