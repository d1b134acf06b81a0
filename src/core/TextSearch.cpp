#include "core/TextSearch.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace scan {
namespace {

constexpr unsigned char kCaseBit = 0x20;

bool isUpperLetter(unsigned char byte) {
    return byte >= 'A' && byte <= 'Z';
}

// How often a byte turns up in database text, higher for more often: the row quotes, line ends,
// braces and blanks of every row first, then letters in the order of their use in English
// words with the digits among them, punctuation, and the calculator's own characters last.
// Only an estimate: it picks which bytes of the text to test first.
int commonness(unsigned char byte, bool caseSensitive) {
    static constexpr std::string_view kLettersByUse = "zqxjkvbpygfwmucldrhsnioate";
    if (byte == ' ' || byte == '"' || byte == '\r' || byte == '\n' || byte == '{' || byte == '}')
        return 200;
    const unsigned char lower = isUpperLetter(byte) ? byte | kCaseBit : byte;
    if (const size_t rank = kLettersByUse.find(static_cast<char>(lower));
        rank != std::string_view::npos) {
        // Capitals are rarer than small letters, unless both spellings are looked for.
        const bool capitalOnly = caseSensitive && isUpperLetter(byte);
        return 100 + static_cast<int>(rank) - (capitalOnly ? 30 : 0);
    }
    if (byte >= '0' && byte <= '9')
        return 110;
    if (byte > ' ' && byte < 127)
        return 50;
    return 20;
}

} // namespace

Needle::Needle(QByteArrayView text, bool caseSensitive) : caseSensitive_(caseSensitive) {
    for (int byte = 0; byte < 256; ++byte) {
        const bool folds = !caseSensitive && byte >= 'a' && byte <= 'z';
        fold_[byte] = static_cast<unsigned char>(folds ? byte - 'a' + 'A' : byte);
    }
    folded_.assign(text.data(), static_cast<size_t>(text.size()));
    for (char& byte : folded_)
        byte = static_cast<char>(fold_[static_cast<unsigned char>(byte)]);
    if (folded_.empty())
        return;
    auto commonnessAt = [&](size_t offset) {
        return commonness(static_cast<unsigned char>(folded_[offset]), caseSensitive);
    };
    size_t rarest = 0;
    for (size_t offset = 1; offset < folded_.size(); ++offset) {
        if (commonnessAt(offset) < commonnessAt(rarest))
            rarest = offset;
    }
    size_t second = rarest == 0 && folded_.size() > 1 ? 1 : 0;
    for (size_t offset = 0; offset < folded_.size(); ++offset) {
        if (offset != rarest && commonnessAt(offset) < commonnessAt(second))
            second = offset;
    }
    rarest_ = probeAt(rarest);
    secondRarest_ = probeAt(second);
}

Needle::Probe Needle::probeAt(size_t offset) const {
    const unsigned char byte = static_cast<unsigned char>(folded_[offset]);
    const bool eitherCase = !caseSensitive_ && isUpperLetter(byte);
    const unsigned char caseBits = eitherCase ? kCaseBit : 0;
    return Probe{offset, static_cast<unsigned char>(byte | caseBits), caseBits};
}

size_t Needle::find(std::string_view data, size_t from) const {
    const size_t size = folded_.size();
    if (size == 0 || data.size() < size || from > data.size() - size)
        return std::string_view::npos;
    const char* begin = data.data();
    const size_t lastStart = data.size() - size;
    size_t start = from;
#if defined(__SSE2__)
    if (findInBlocks(begin, start, lastStart))
        return start;
#endif
    for (; start <= lastStart; ++start) {
        const char* at = begin + start;
        if (rarest_.passes(at) && secondRarest_.passes(at) && matchesAt(at))
            return start;
    }
    return std::string_view::npos;
}

#if defined(__SSE2__)
// Tests 64 starting places a step, sixteen to a vector, while all of them can hold the whole
// text; a step without any candidate takes one branch. True with `start` at an occurrence,
// else false with `start` at the first place not yet tested.
bool Needle::findInBlocks(const char* begin, size_t& start, size_t lastStart) const {
    const char* rarest = begin + rarest_.offset;
    const char* second = begin + secondRarest_.offset;
    const __m128i rarestCase = _mm_set1_epi8(static_cast<char>(rarest_.caseBits));
    const __m128i rarestWanted = _mm_set1_epi8(static_cast<char>(rarest_.wanted));
    const __m128i secondCase = _mm_set1_epi8(static_cast<char>(secondRarest_.caseBits));
    const __m128i secondWanted = _mm_set1_epi8(static_cast<char>(secondRarest_.wanted));
    // The sixteen places from `at` where both probes pass.
    auto passing = [&](size_t at) {
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rarest + at));
        const __m128i other = _mm_loadu_si128(reinterpret_cast<const __m128i*>(second + at));
        return _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(first, rarestCase), rarestWanted),
                             _mm_cmpeq_epi8(_mm_or_si128(other, secondCase), secondWanted));
    };
    auto bits = [](__m128i passed, int shift) {
        return static_cast<quint64>(static_cast<quint32>(_mm_movemask_epi8(passed))) << shift;
    };
    size_t at = start;
    for (; at + 64 <= lastStart + 1; at += 64) {
        const __m128i a = passing(at);
        const __m128i b = passing(at + 16);
        const __m128i c = passing(at + 32);
        const __m128i d = passing(at + 48);
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) == 0)
            continue;
        for (quint64 places = bits(a, 0) | bits(b, 16) | bits(c, 32) | bits(d, 48); places != 0;
             places &= places - 1) {
            const size_t candidate = at + static_cast<size_t>(__builtin_ctzll(places));
            if (matchesAt(begin + candidate)) {
                start = candidate;
                return true;
            }
        }
    }
    start = at;
    return false;
}
#endif

bool Needle::matchesAt(const char* at) const {
    if (caseSensitive_)
        return std::memcmp(at, folded_.data(), folded_.size()) == 0;
    for (size_t i = 0; i < folded_.size(); ++i) {
        if (fold_[static_cast<unsigned char>(at[i])] != static_cast<unsigned char>(folded_[i]))
            return false;
    }
    return true;
}

} // namespace scan
