// The main window's ways in and out for topics: File > Import and Export (CSV, TSV, text and
// JSON), and the check of a document's rows before it is sent to the calculator.
#include "core/AtomicFile.h"
#include "core/Hp48Codec.h"
#include "core/HpFile.h"
#include "core/SendCheck.h"
#include "core/TopicExchange.h"
#include "gui/DocumentWindow.h"
#include "gui/FileDialogs.h"
#include "gui/MainWindow.h"
#include "gui/OpenFailures.h"
#include "platform/ExchangeText.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QFileInfo>

namespace {

// The formats in the order the dialogs offer them, each with its filter.
struct Offered {
    exchange::Format format;
    quint16 filterId;
};
constexpr Offered kOffered[] = {{exchange::Format::Csv, textid::kCsvFilter},
                                {exchange::Format::Tsv, textid::kTsvFilter},
                                {exchange::Format::Text, textid::kTextFilter},
                                {exchange::Format::Json, textid::kJsonFilter}};

QStringList offeredFilters() {
    QStringList filters;
    for (const Offered& offered : kOffered)
        filters.append(strings::text(offered.filterId));
    return filters;
}

quint16 readFailureMessage(int result) {
    switch (result) {
    case hpfile::kNotRegularFile:
        return textid::kNotRegularFile;
    case hpfile::kTooLarge:
        return textid::kTooLarge;
    default:
        return textid::kCannotOpen;
    }
}

// At most this many topics are named in the question before a send; the rest are counted.
constexpr int kTopicsNamed = 12;

} // namespace

// The topics of the file open in a new window, modified and without a file, like a document
// received from the calculator. The extension decides the format; plain text for any other.
void MainWindow::importTopics() {
    const QStringList filters = QStringList{strings::text(textid::kTopicFilesFilter)} +
                                offeredFilters() + QStringList{allFilesFilter()};
    const QString name = theFileDialogs().openFileName(
        this, strings::text(textid::kImportTitle), preferences_.preferredPath, filters.join(u";;"));
    if (name.isEmpty())
        return;
    QByteArray bytes;
    if (const int failed = readBoundedFile(name, bytes)) {
        OpenFailures::report(readFailureMessage(failed), name);
        return;
    }
    QList<TopicRows> topics;
    const exchange::Problem problem =
        exchange::read(bytes, exchange::formatOfFile(name, exchange::Format::Text), topics);
    if (!problem.ok()) {
        thePrompter().showMessage(textid::kImportFailed, MessageKind::Error,
                                  {name, exchangeProblemText(problem, strings::language())});
        return;
    }
    DocumentWindow* document = newDocument();
    document->document().putBack(topics, 1);
    document->document().forgetFile();
}

// The extension the user typed decides the format; without a known one, the filter chosen.
void MainWindow::exportTopics(DocumentWindow& document) {
    const QString base = document.document().hasFile()
                             ? QFileInfo(document.document().fileName()).completeBaseName()
                             : document.caption();
    int chosen = 0;
    const QString name = theFileDialogs().saveFileName(
        this, strings::text(textid::kExportTitle), preferences_.preferredPath,
        base + QStringLiteral(".csv"), offeredFilters(), chosen);
    if (name.isEmpty())
        return;
    const exchange::Format format = exchange::formatOfFile(
        name, kOffered[qBound(0, chosen, int(std::size(kOffered)) - 1)].format);
    if (!writeFileAtomically(name, exchange::write(document.document().topics(), format))) {
        thePrompter().showMessage(textid::kCannotWriteFile, MessageKind::Error);
        return;
    }
    showStatus(strings::text(textid::kTopicsExported));
}

// Rows holding control codes the calculator's transfer does not keep are named, topic by topic,
// in a question; No keeps the document here.
bool MainWindow::sendAnyway(const DocumentWindow& document) {
    const Document& model = document.document();
    const QList<sendcheck::RowPlace> places =
        sendcheck::rowsNotKept(model.table(), model.table().topicCount());
    if (places.isEmpty())
        return true;
    QStringList lines;
    int topicsNamed = 0;
    int topicsLeft = 0;
    for (qsizetype at = 0; at < places.size();) {
        const int topic = places[at].topic;
        QStringList rows;
        for (; at < places.size() && places[at].topic == topic; ++at)
            rows.append(QString::number(places[at].row));
        if (topicsNamed++ >= kTopicsNamed) {
            ++topicsLeft;
            continue;
        }
        lines.append(strings::format(strings::text(textid::kSendUnkeptTopic),
                                     {QString::number(topic), hp48::decodeRow(model.title(topic)),
                                      rows.join(QStringLiteral(", "))}));
    }
    if (topicsLeft > 0)
        lines.append(
            strings::format(strings::text(textid::kSendUnkeptMore), {QString::number(topicsLeft)}));
    MessageRequest question;
    question.baseId = textid::kSendUnkept;
    question.text = strings::format(strings::text(textid::kSendUnkept), {lines.join(u'\n')});
    question.icon = MsgIcon::Warning;
    question.buttons = {MsgButton::Yes, MsgButton::No};
    return thePrompter().ask(question, Beep::Exclamation) == MsgButton::Yes;
}
