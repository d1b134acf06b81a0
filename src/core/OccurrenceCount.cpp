#include "core/OccurrenceCount.h"

#include "core/HpFile.h"
#include "core/HpParser.h"

#include <QDirIterator>

#include <array>
#include <cstring>
#include <string_view>

namespace scan {
namespace {

class Needle {
  public:
    Needle(QByteArrayView text, bool caseSensitive)
        : text_(text.data(), static_cast<size_t>(text.size())), caseSensitive_(caseSensitive) {
        for (int byte = 0; byte < 256; ++byte)
            fold_[byte] = static_cast<unsigned char>(
                !caseSensitive && byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte);
        for (char& byte : folded_.assign(text_))
            byte = static_cast<char>(fold_[static_cast<unsigned char>(byte)]);
    }

    size_t size() const { return text_.size(); }

    // Position of the next occurrence at or after `from`, or npos.
    size_t findIn(std::string_view row, size_t from) const {
        if (caseSensitive_)
            return row.find(text_, from);
        const unsigned char first = static_cast<unsigned char>(folded_[0]);
        for (size_t at = from; at + folded_.size() <= row.size(); ++at) {
            if (fold_[static_cast<unsigned char>(row[at])] == first && matchesAt(row, at))
                return at;
        }
        return std::string_view::npos;
    }

    // Whether the text occurs anywhere in the data: memchr finds each spelling of the first
    // byte many bytes a step, and only there the rest is compared.
    bool occursIn(std::string_view data) const {
        if (caseSensitive_)
            return data.find(text_) != std::string_view::npos;
        const unsigned char upper = static_cast<unsigned char>(folded_[0]);
        const bool letter = upper >= 'A' && upper <= 'Z';
        return firstByteLeadsToMatch(data, upper) ||
               (letter && firstByteLeadsToMatch(data, upper - 'A' + 'a'));
    }

  private:
    bool firstByteLeadsToMatch(std::string_view data, unsigned char first) const {
        const char* begin = data.data();
        const char* end = begin + data.size();
        const ptrdiff_t length = static_cast<ptrdiff_t>(folded_.size());
        for (const char* at = begin; end - at >= length; ++at) {
            at = static_cast<const char*>(std::memchr(at, first, end - at));
            if (at == nullptr || end - at < length)
                return false;
            if (matchesAt(data, at - begin))
                return true;
        }
        return false;
    }

    bool matchesAt(std::string_view row, size_t at) const {
        for (size_t i = 1; i < folded_.size(); ++i) {
            if (fold_[static_cast<unsigned char>(row[at + i])] !=
                static_cast<unsigned char>(folded_[i]))
                return false;
        }
        return true;
    }

    std::string_view text_;
    std::string folded_;
    bool caseSensitive_;
    std::array<unsigned char, 256> fold_;
};

struct RowCounter {
    const Needle& needle;
    quint16 count = 0;

    void topic(int) {}
    void row(int, int, std::string_view row) {
        size_t from = 0;
        size_t found;
        do {
            found = needle.findIn(row, from);
            if (found != std::string_view::npos) {
                ++count;
                from = found + needle.size();
            }
        } while (found != std::string_view::npos && count <= kCountLimit);
    }
};

} // namespace

quint16 countInData(QByteArrayView data, QByteArrayView text, bool caseSensitive) {
    if (text.isEmpty())
        return 0;
    const Needle needle(text, caseSensitive);
    const std::string_view bytes(data.data(), static_cast<size_t>(data.size()));
    // Rows are pieces of the data: data without the text anywhere holds no occurrence.
    if (!needle.occursIn(bytes))
        return 0;
    RowCounter counter{needle};
    const int topics = hpparse::parse(bytes, counter);
    return topics > 0 && topics <= kMaxTopicCount ? counter.count : 0;
}

quint16 countInFile(const QString& fileName, QByteArrayView text, bool caseSensitive) {
    thread_local QByteArray contents; // one buffer from file to file
    if (text.isEmpty() || readDatabaseBytes(fileName, contents) != 0)
        return 0;
    return countInData(contents, text, caseSensitive);
}

QStringList scannableFiles(const QString& directory) {
    QStringList names;
    QDirIterator entries(directory, QDir::Files);
    while (entries.hasNext()) {
        entries.next();
        // A link to a device or a pipe passes the iterator's filter; only what is a regular
        // file behind its links can be a database.
        if (entries.fileInfo().isFile())
            names.append(entries.fileName());
    }
    return names;
}

QString entryText(quint16 count, const QString& fileName) {
    const QString column =
        count > kCountLimit ? QStringLiteral("      >200") : QString::asprintf("%10.3d", count);
    return column + u'\t' + fileName;
}

} // namespace scan
