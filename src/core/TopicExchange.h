#pragma once

#include "core/TopicTable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// Topics to and from files of other programs: JSON, CSV, TSV and plain text, all UTF-8. A row
// travels as the text the data box shows for it (control codes as their pictures, such as
// U+2409 for the tab), so writing and reading back gives the same bytes for every code but the
// end-of-file mark 26. Each topic is one record; trailing empty rows are left out.
//
//   JSON   {"topics": [[row, ...], ...]}
//   CSV    one line per topic, its rows as fields separated by commas, CR LF line ends; a field
//          holding a comma, a quote or a line break is quoted, its quotes doubled
//   TSV    one line per topic, its rows separated by tabs (a row never holds a tab: the data
//          box shows code 9 as a picture), LF line ends
//   Text   one block per topic, one line per row, blocks separated by an empty line; a row of
//          nothing but spaces (also the empty row) is written with one space more, so that no
//          row of a topic is an empty line
//
// Reading accepts LF or CR LF line ends and a leading byte order mark. Each line of CSV and TSV
// is a topic, the empty line an empty topic; in text, several empty lines are one separator.
namespace exchange {

enum class Format { Json, Csv, Tsv, Text };

// "json", "csv", "tsv", "text"; false for another name.
bool formatNamed(QStringView name, Format& format);
// By the file name's extension (.json, .csv, .tsv or .tab, .txt or .text, in any letter case);
// the fallback for any other name.
Format formatOfFile(QStringView fileName, Format fallback);

QByteArray write(const QList<TopicRows>& topics, Format format);

// Why a read was refused. The numbers are 1-based: record is the topic's record (the JSON
// list's entry, the CSV or TSV record, the text block), line the line of the file.
struct Problem {
    enum Kind {
        kNone,
        kNotUtf8,       // line
        kBadQuote,      // record: a quote where none may stand, or a quoted field never closed
        kNotJson,       // not JSON, or no "topics" list in it
        kNotRowList,    // record: a topic that is no list of texts
        kTooManyRows,   // record, count: the rows it holds
        kTooManyTopics, // record: the first topic past the 199 a file holds
        kNoCode,        // record, row, column: a character without calculator code (or 26)
    };
    Kind kind = kNone;
    int record = 0;
    int line = 0;
    int row = 0;
    int column = 0; // the byte column the character would have taken in the row
    int count = 0;

    bool ok() const { return kind == kNone; }
};

// Fills `topics` from the file's bytes, or leaves it empty and says why not.
Problem read(QByteArrayView data, Format format, QList<TopicRows>& topics);

} // namespace exchange
