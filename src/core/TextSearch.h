#pragma once

#include <QByteArrayView>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace scan {

// A text to look for in bytes, byte for byte or with the letters a..z and A..Z taken as equal
// (no other byte folds). The search tests the text's two rarest bytes at many places at once
// and compares the whole text only where both stand.
class Needle {
  public:
    Needle(QByteArrayView text, bool caseSensitive);

    size_t size() const { return folded_.size(); }
    bool isEmpty() const { return folded_.empty(); }

    // The first position at or after `from` where the whole text occurs in `data`, or npos.
    size_t find(std::string_view data, size_t from) const;

  private:
    // One byte of the text as the search first tests it: a byte whose bits outside caseBits
    // equal `wanted` (caseBits is 0x20 for a letter of either case, else 0).
    struct Probe {
        size_t offset = 0;
        unsigned char wanted = 0;
        unsigned char caseBits = 0;
        bool passes(const char* start) const {
            return (static_cast<unsigned char>(start[offset]) | caseBits) == wanted;
        }
    };

    Probe probeAt(size_t offset) const;
    bool findInBlocks(const char* begin, size_t& start, size_t lastStart) const;
    bool matchesAt(const char* at) const;

    std::string folded_; // the text with a..z made A..Z when letter case does not count
    bool caseSensitive_;
    std::array<unsigned char, 256> fold_;
    // The two rarest bytes of the text: only where both stand is the whole text compared.
    Probe rarest_;
    Probe secondRarest_;
};

} // namespace scan
