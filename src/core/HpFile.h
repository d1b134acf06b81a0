#pragma once

#include "core/Hp48Codec.h"
#include "core/HpParser.h"
#include "core/TopicTable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Results of ReadHpFile besides a topic count of 0 or more.
namespace hpfile {
constexpr int kCannotOpen = -10;
constexpr int kNotHpFile = -20;
constexpr int kTooManyTopics = -30;
constexpr int kNotRegularFile = -40; // a pipe, a device, a folder
constexpr int kTooLarge = -50;

// No calculator holds a database this large: a larger file is refused without being read.
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

// The header's values a document keeps to be written back with, and what a read left out.
using Header = hpparse::Header;
using Omissions = hpparse::Omissions;
using ReadDetails = hpparse::Details;
} // namespace hpfile

// The bytes of any regular file (links followed) up to the bound of a database file. Returns 0,
// or kCannotOpen, kNotRegularFile or kTooLarge.
int readBoundedFile(const QString& fileName, QByteArray& contents);

// The bytes of a database file: only of a regular file (links followed) whose first bytes
// carry the header, and only up to kMaxFileSize. Returns 0, or kCannotOpen, kNotRegularFile,
// kNotHpFile or kTooLarge. The contents' buffer is reused when it is large enough.
int readDatabaseBytes(const QString& fileName, QByteArray& contents);

// Fills the table from an HP48 ASCII database file and returns the number of topics, or one of
// the negative results above; on those the table stays as it was. Details, when given, receive
// the header's values and what the read left out.
int readHpFile(const QString& fileName, TopicTable& table, hpfile::ReadDetails* details = nullptr);
int readHpData(QByteArrayView data, TopicTable& table, hpfile::ReadDetails* details = nullptr);

// The bytes of a database file holding topics 1..topicCount of the table, with the header's
// values and in its translation mode. trimRows leaves out each topic's trailing empty rows;
// trimTopics leaves out trailing empty topics after topic 1.
QByteArray formatHpFile(const TopicTable& table, int topicCount, bool trimRows, bool trimTopics,
                        const hpfile::Header& header = {});
// Writes the file atomically; false leaves any previous file whole. Rows holding byte 26 cannot
// be stored, since a reader ends the file there, nor a file over kMaxFileSize.
bool writeHpFile(const QString& fileName, const TopicTable& table, int topicCount, bool trimRows,
                 bool trimTopics, const hpfile::Header& header = {});

// Encodes the text of one row for storing: a character without an HP48 code, or the end-of-file
// mark (code 26), is reported like EncodeRow reports a character without code.
hp48::EncodedRow encodeStorableRow(QStringView text);
