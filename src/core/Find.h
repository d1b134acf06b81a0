#pragma once

#include <QByteArray>
#include <QString>

class TopicTable;

// Where a search found its text: the entry, the row (1 to 10) and the 1-based byte position
// in that row; position 0 when nothing was found.
struct FindHit {
    int entry = 0;
    int row = 0;
    int position = 0;
    bool found() const { return position != 0; }
};

// The search of the find command over the rows of a topic table: Start fixes the text, the
// case choice and the entry to stop at; every later search goes on from where the last one
// left off, so occurrences may overlap. The state is kept from one start to the next.
class TopicSearch {
  public:
    void start(const QString& text, bool matchCase, int stopTopic);

    // Row by row from the given entry on; a pending occurrence is searched past first, in
    // its own row. The search ends at the stop entry, and at the end of the list at the
    // latest. A failure leaves row 10 searched and nothing pending, so the next search
    // starts at row 1.
    FindHit findFrom(const TopicTable& table, int entry);

    // The length of the search text in calculator codes.
    int codeLength() const { return static_cast<int>(codes_.size()); }

  private:
    int searchNextRow(const TopicTable& table, int entry);
    int positionIn(const QByteArray& row, int from) const;

    // The search text in calculator codes, upper-cased for a search without case; empty
    // when the text has a character without a code, which no row can hold.
    QByteArray codes_;
    bool matchCase_ = false;
    int stopTopic_ = 0;
    int searchRow_ = 0;   // 0 to 10; 0: none searched yet
    int matchOffset_ = 0; // start of the last occurrence in row searchRow_; 0: none pending
};
