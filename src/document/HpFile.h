#pragma once

#include "Hp48Codec.h"
#include "TopicTable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Results of ReadHpFile besides a topic count of 0 or more.
namespace hpfile {
constexpr int kCannotOpen = -10;
constexpr int kNotHpFile = -20;
constexpr int kTooManyTopics = -30;
} // namespace hpfile

// Fills the table from an HP48 ASCII database file and returns the number of topics, or one of
// the negative results above; on those the table stays as it was.
int ReadHpFile(const QString& fileName, TopicTable& table);
int ReadHpData(QByteArrayView data, TopicTable& table);

// The bytes of a database file holding topics 1..topicCount of the table. trimRows leaves out
// each topic's trailing empty rows; trimTopics leaves out trailing empty topics after topic 1.
QByteArray FormatHpFile(const TopicTable& table, int topicCount, bool trimRows, bool trimTopics);
// Writes the file atomically; false leaves any previous file whole. Rows holding byte 26 cannot
// be stored, since a reader ends the file there.
bool WriteHpFile(const QString& fileName, const TopicTable& table, int topicCount, bool trimRows,
                 bool trimTopics);

// Encodes the text of one row for storing: a character without an HP48 code, or the end-of-file
// mark (code 26), is reported like EncodeRow reports a character without code.
hp48::EncodedRow EncodeStorableRow(QStringView text);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const QString& fileName, QByteArray& contents);
