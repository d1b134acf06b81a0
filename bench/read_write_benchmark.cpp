// Reading and writing a full database: 199 topics of ten rows of about 30 bytes, one row in
// eight holding a double quote and so stored counted ("C$ len row"). The same in translation
// mode 3, with an arrow and a German letter in every row, written as backslash codes.

#include "core/HpFile.h"
#include "core/TopicTable.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <iterator>
#include <random>

namespace {

constexpr int kRowBytes = 30;
constexpr int kQuotedRowShare = 8; // one row in this many holds a double quote

const char* const kWords[] = {"angle",  "matrix", "vector",  "integral", "solve", "plot",
                              "sine",   "stack",  "program", "radius",   "sum",   "velocity",
                              "degree", "root",   "list",    "constant", "mass",  "string"};

QByteArray randomRow(std::mt19937& random, bool quoted) {
    std::uniform_int_distribution<size_t> pickWord(0, std::size(kWords) - 1);
    QByteArray row = quoted ? QByteArray("say \"hi\"") : QByteArray();
    while (row.size() < kRowBytes) {
        if (!row.isEmpty())
            row += ' ';
        row += kWords[pickWord(random)];
    }
    return row.left(kRowBytes);
}

TopicTable FullTable() {
    std::mt19937 random(48);
    QList<TopicRows> topics;
    int rowNumber = 0;
    for (int topic = 0; topic < kMaxTopicCount; ++topic) {
        TopicRows rows;
        for (QByteArray& row : rows)
            row = randomRow(random, ++rowNumber % kQuotedRowShare == 0);
        topics.append(rows);
    }
    TopicTable table;
    table.fill(topics);
    return table;
}

const TopicTable& TheTable() {
    static const TopicTable table = FullTable();
    return table;
}

// The table with codes that mode 3 writes as backslash codes: "\\->" and "\\228".
const TopicTable& TheCalculatorTable() {
    static const TopicTable table = [] {
        TopicTable codes = TheTable();
        QList<TopicRows> topics;
        for (int topic = 1; topic <= kMaxTopicCount; ++topic) {
            TopicRows rows = codes.topic(topic);
            for (QByteArray& row : rows)
                row = "\x8d" + row.mid(2) + "\xe4";
            topics.append(rows);
        }
        codes.fill(topics);
        return codes;
    }();
    return table;
}

hpfile::Header ModeThree() {
    hpfile::Header header;
    header.translation = 3;
    return header;
}

QByteArray FullFile() {
    return formatHpFile(TheTable(), kMaxTopicCount, false, false);
}

void CountBytes(benchmark::State& state, qsizetype bytesPerIteration) {
    state.SetBytesProcessed(state.iterations() * bytesPerIteration);
    state.counters["file_bytes"] = static_cast<double>(bytesPerIteration);
}

void CheckTopicCount(benchmark::State& state, int topics) {
    if (topics != kMaxTopicCount)
        state.SkipWithError("the file did not read back with all its topics");
}

// Reads the bytes of a whole file into a table, round after round.
void MeasureReading(benchmark::State& state, const QByteArray& data) {
    TopicTable table;
    for (auto _ : state) {
        const int topics = readHpData(data, table);
        benchmark::DoNotOptimize(topics);
        CheckTopicCount(state, topics);
    }
    CountBytes(state, data.size());
}

void BM_ReadHpData(benchmark::State& state) {
    MeasureReading(state, FullFile());
}
BENCHMARK(BM_ReadHpData);

void BM_ReadHpDataMode3(benchmark::State& state) {
    MeasureReading(state,
                   formatHpFile(TheCalculatorTable(), kMaxTopicCount, false, false, ModeThree()));
}
BENCHMARK(BM_ReadHpDataMode3);

void BM_ReadHpFile(benchmark::State& state) {
    const QByteArray data = FullFile();
    QTemporaryDir directory;
    const QString fileName = directory.filePath(QStringLiteral("full.hp"));
    if (!writeHpFile(fileName, TheTable(), kMaxTopicCount, false, false)) {
        state.SkipWithError("cannot write the file to read");
        return;
    }
    TopicTable table;
    for (auto _ : state) {
        const int topics = readHpFile(fileName, table);
        benchmark::DoNotOptimize(topics);
        CheckTopicCount(state, topics);
    }
    CountBytes(state, data.size());
}
BENCHMARK(BM_ReadHpFile);

// Formats a whole table as a file in the given header's mode, round after round.
void MeasureFormatting(benchmark::State& state, const TopicTable& table,
                       const hpfile::Header& header) {
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray data = formatHpFile(table, kMaxTopicCount, false, false, header);
        benchmark::DoNotOptimize(data.constData());
        bytes = data.size();
    }
    CountBytes(state, bytes);
}

void BM_FormatHpFile(benchmark::State& state) {
    MeasureFormatting(state, TheTable(), hpfile::Header());
}
BENCHMARK(BM_FormatHpFile);

void BM_FormatHpFileMode3(benchmark::State& state) {
    MeasureFormatting(state, TheCalculatorTable(), ModeThree());
}
BENCHMARK(BM_FormatHpFileMode3);

// Includes what the atomic write costs: a temporary file, flushing it to disk, the rename.
void BM_WriteHpFile(benchmark::State& state) {
    QTemporaryDir directory;
    const QString fileName = directory.filePath(QStringLiteral("full.hp"));
    for (auto _ : state) {
        if (!writeHpFile(fileName, TheTable(), kMaxTopicCount, false, false)) {
            state.SkipWithError("cannot write the file");
            break;
        }
    }
    CountBytes(state, FullFile().size());
}
BENCHMARK(BM_WriteHpFile)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
