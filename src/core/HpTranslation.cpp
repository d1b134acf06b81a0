#include "core/HpTranslation.h"

#include <array>

namespace hptrans {
namespace {

constexpr int kUnknown = -1;   // a backslash that starts no code
constexpr int kUndecided = -2; // the bytes after the backslash do not decide it yet

struct Name {
    unsigned char code;
    char text[3];
};

// The calculator's names of codes, in the spelling it writes.
constexpr Name kNames[] = {
    {128, "<)"}, {129, "x-"}, {130, ".V"}, {131, "v/"}, {132, ".S"}, {133, "GS"}, {134, "|>"},
    {135, "pi"}, {136, ".d"}, {137, "<="}, {138, ">="}, {139, "=/"}, {140, "Ga"}, {141, "->"},
    {142, "<-"}, {143, "|v"}, {144, "|^"}, {145, "Gg"}, {146, "Gd"}, {147, "Ge"}, {148, "Gn"},
    {149, "Gh"}, {150, "Gl"}, {151, "Gr"}, {152, "Gs"}, {153, "Gt"}, {154, "Gw"}, {155, "GD"},
    {156, "PI"}, {157, "GW"}, {158, "[]"}, {159, "oo"}, {171, "<<"}, {176, "^o"}, {181, "Gm"},
    {187, ">>"}, {215, ".x"}, {216, "O/"}, {223, "Gb"}, {247, ":-"},
};
// Names other tables use, read but never written.
constexpr Name kOtherNames[] = {{156, "GP"}};

bool isDigit(char byte) {
    return byte >= '0' && byte <= '9';
}

int codeOfName(char first, char second) {
    for (const Name& name : kNames) {
        if (name.text[0] == first && name.text[1] == second)
            return name.code;
    }
    for (const Name& name : kOtherNames) {
        if (name.text[0] == first && name.text[1] == second)
            return name.code;
    }
    return kUnknown;
}

// The code that the backslash at at[0] starts and how many bytes it takes; a backslash that
// starts none takes itself alone.
int decodeAt(std::string_view at, bool atEnd, size_t& taken) {
    taken = 1;
    if (at.size() < 2)
        return atEnd ? kUnknown : kUndecided;
    if (at[1] == '\\') {
        taken = 2;
        return '\\';
    }
    if (isDigit(at[1])) {
        for (size_t i = 2; i < 4; ++i) {
            if (i >= at.size())
                return atEnd ? kUnknown : kUndecided;
            if (!isDigit(at[i]))
                return kUnknown;
        }
        const int code = (at[1] - '0') * 100 + (at[2] - '0') * 10 + (at[3] - '0');
        if (code > 255)
            return kUnknown;
        taken = 4;
        return code;
    }
    if (at.size() < 3)
        return atEnd ? kUnknown : kUndecided;
    const int code = codeOfName(at[1], at[2]);
    if (code != kUnknown)
        taken = 3;
    return code;
}

std::array<std::string, 256> makeSpellings() {
    std::array<std::string, 256> spellings;
    spellings['\\'] = "\\\\";
    for (int code = 128; code < 256; ++code) {
        const char digits[] = {'\\', static_cast<char>('0' + code / 100),
                               static_cast<char>('0' + code / 10 % 10),
                               static_cast<char>('0' + code % 10)};
        spellings[code].assign(digits, sizeof digits);
    }
    for (const Name& name : kNames)
        spellings[name.code] = std::string("\\") + name.text;
    return spellings;
}

const std::array<std::string, 256> kSpellings = makeSpellings();

} // namespace

std::string_view spelling(unsigned char code, int mode) {
    if ((code < 128 && code != '\\') || !usesBackslashCodes(mode) || (mode == 2 && code >= 160))
        return {};
    return kSpellings[code];
}

void Decoder::feed(std::string_view piece, std::string& out) {
    while (!waiting_.empty() && !piece.empty()) {
        waiting_ += piece.front();
        piece.remove_prefix(1);
        size_t taken = 0;
        const int code = decodeAt(waiting_, false, taken);
        if (code == kUndecided)
            continue;
        // Anything after what the code took is data again, and may start a code itself.
        std::string rest;
        rest.swap(waiting_);
        rest.erase(0, taken);
        if (code == kUnknown)
            ++unknownCodes_;
        out += code == kUnknown ? '\\' : static_cast<char>(code);
        decodeRun(rest, out, false);
    }
    if (waiting_.empty())
        decodeRun(piece, out, false);
}

void Decoder::finish(std::string& out) {
    std::string rest;
    rest.swap(waiting_);
    decodeRun(rest, out, true);
}

void Decoder::decodeRun(std::string_view run, std::string& out, bool atEnd) {
    while (!run.empty()) {
        const size_t backslash = run.find('\\');
        out.append(run.substr(0, backslash));
        if (backslash == std::string_view::npos)
            return;
        run.remove_prefix(backslash);
        size_t taken = 0;
        const int code = decodeAt(run, atEnd, taken);
        if (code == kUndecided) {
            waiting_.assign(run);
            return;
        }
        if (code == kUnknown)
            ++unknownCodes_;
        out += code == kUnknown ? '\\' : static_cast<char>(code);
        run.remove_prefix(taken);
    }
}

std::string decode(std::string_view data, int& unknownCodes) {
    Decoder decoder;
    std::string out;
    out.reserve(data.size());
    decoder.feed(data, out);
    decoder.finish(out);
    unknownCodes += decoder.unknownCodes();
    return out;
}

} // namespace hptrans
