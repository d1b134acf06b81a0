// Comparing two databases of 199 topics of ten rows of 30 bytes: B holds A's topics in another
// order, one in ten with a row changed, one in twenty renamed and one in twenty replaced.
// Timed alone, and with both files read first, as `ombrel-cli diff` and the compare window do.

#include "core/Compare.h"
#include "core/HpFile.h"
#include "core/TopicTable.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

namespace {

constexpr int kRowBytes = 30;

QByteArray randomRow(std::mt19937& random) {
    std::uniform_int_distribution<int> letter('a', 'z');
    QByteArray row(kRowBytes, ' ');
    for (char& c : row)
        c = char(letter(random));
    return row;
}

struct Pair {
    QList<TopicRows> a;
    QList<TopicRows> b;
};

Pair twoDatabases() {
    std::mt19937 random(48);
    Pair pair;
    for (int topic = 0; topic < kMaxTopicCount; ++topic) {
        TopicRows rows;
        for (QByteArray& row : rows)
            row = randomRow(random);
        pair.a.append(rows);
    }
    pair.b = pair.a;
    std::shuffle(pair.b.begin(), pair.b.end(), random);
    for (qsizetype topic = 0; topic < pair.b.size(); ++topic) {
        if (topic % 10 == 0)
            pair.b[topic][5] = randomRow(random);
        else if (topic % 20 == 1)
            pair.b[topic][0] = randomRow(random);
        else if (topic % 20 == 3)
            for (QByteArray& row : pair.b[topic])
                row = randomRow(random);
    }
    return pair;
}

void CompareTopics(benchmark::State& state) {
    const Pair pair = twoDatabases();
    for (auto _ : state)
        benchmark::DoNotOptimize(compare::compareTopics(pair.a, pair.b));
}
BENCHMARK(CompareTopics)->Unit(benchmark::kMicrosecond);

void ReadAndCompareFiles(benchmark::State& state) {
    const Pair pair = twoDatabases();
    QTemporaryDir dir;
    const QString nameA = dir.filePath(QStringLiteral("a.hp"));
    const QString nameB = dir.filePath(QStringLiteral("b.hp"));
    TopicTable table;
    table.fill(pair.a);
    writeHpFile(nameA, table, table.topicCount(), true, false);
    table.fill(pair.b);
    writeHpFile(nameB, table, table.topicCount(), true, false);
    for (auto _ : state) {
        TopicTable a;
        TopicTable b;
        readHpFile(nameA, a);
        readHpFile(nameB, b);
        benchmark::DoNotOptimize(compare::compareTopics(a.topics(), b.topics()));
    }
}
BENCHMARK(ReadAndCompareFiles)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
