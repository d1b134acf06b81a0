// diff: the topics two database files differ in, one block per topic, exit status as diff's.
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"

#include "core/Compare.h"
#include "core/Hp48Codec.h"
#include "core/TopicTable.h"

namespace cli {
namespace {

constexpr int kDifferent = 1;

int lastRow(const TopicRows& rows) {
    int last = kRowsPerTopic;
    while (last > 0 && rows[last - 1].isEmpty())
        --last;
    return last;
}

// The rows of one side: the rows marked, or the topic's rows up to its last that is not empty.
void printRows(QString& out, QChar mark, const TopicRows& rows, quint16 marked) {
    const int last = marked == compare::kAllRows ? lastRow(rows) : kRowsPerTopic;
    for (int row = 0; row < last; ++row) {
        if (marked & (1U << row))
            out += QStringLiteral("%1 %2: %3\n")
                       .arg(mark)
                       .arg(row + 1)
                       .arg(hp48::decodeRow(rows[row]));
    }
}

QString blockOf(const compare::Pair& pair, const TopicTable& a, const TopicTable& b) {
    using compare::State;
    const TopicRows& rowsA = a.topic(pair.a);
    const TopicRows& rowsB = b.topic(pair.b);
    QString title = hp48::decodeRow(pair.a ? rowsA[0] : rowsB[0]);
    if (title.isEmpty())
        title = QStringLiteral("(no title)");
    QString out;
    switch (pair.state) {
    case State::Changed:
        out = QStringLiteral("* %1: changed (A %2, B %3)\n").arg(title).arg(pair.a).arg(pair.b);
        for (int row = 0; row < kRowsPerTopic; ++row) {
            const quint16 bit = quint16(1U << row);
            if (pair.changedRows & bit) {
                printRows(out, u'<', rowsA, bit);
                printRows(out, u'>', rowsB, bit);
            }
        }
        break;
    case State::OnlyInA:
        out = QStringLiteral("* %1: only in A (A %2)\n").arg(title).arg(pair.a);
        printRows(out, u'<', rowsA, compare::kAllRows);
        break;
    case State::OnlyInB:
        out = QStringLiteral("* %1: only in B (B %2)\n").arg(title).arg(pair.b);
        printRows(out, u'>', rowsB, compare::kAllRows);
        break;
    case State::Same:
        break;
    }
    return out;
}

int runDiff(const QString& nameA, const QString& nameB) {
    TopicTable a;
    TopicTable b;
    if (const int failed = loadDatabase(nameA, a))
        return failed;
    if (const int failed = loadDatabase(nameB, b))
        return failed;
    const QList<compare::Pair> pairs = compare::compareTopics(a.topics(), b.topics());
    QString out;
    for (const compare::Pair& pair : pairs)
        out += blockOf(pair, a, b);
    const QByteArray bytes = out.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    return compare::allSame(pairs) ? kOk : kDifferent;
}

} // namespace

int diff(const QStringList& arguments) {
    if (arguments.size() != 2)
        return kWrongArguments;
    return runDiff(arguments[0], arguments[1]);
}

} // namespace cli
