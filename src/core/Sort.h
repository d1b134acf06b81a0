#pragma once

#include <QByteArrayView>
#include <QCollator>

class TopicTable;

// Sorting the topics of a table by their titles.
namespace sort {

// How two titles compare: by the user's locale or by calculator codes, each with or without
// letter case. Without case the codes fold only the letters a to z.
enum class Comparison { LocaleCase, LocaleNoCase, Ordinal, OrdinalNoCase };

// Compares two titles: negative, zero or positive. The locale compares the titles as the
// data box shows them.
class TitleComparer {
  public:
    explicit TitleComparer(Comparison comparison);
    int operator()(QByteArrayView a, QByteArrayView b) const;

  private:
    Comparison comparison_;
    QCollator collator_;
};

// Sorts topics 1 to n by their titles (row titleRow of each) with a Shell sort of halving gaps.
// Equal titles are never exchanged directly, but they may still change their order.
void sortTable(TopicTable& table, int titleRow, Comparison comparison, bool descending);

} // namespace sort
