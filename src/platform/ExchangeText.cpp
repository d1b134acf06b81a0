#include "platform/ExchangeText.h"

#include "platform/StringTable.h"
#include "platform/TextIds.h"

QString exchangeProblemText(const exchange::Problem& problem, int language) {
    using exchange::Problem;
    const auto text = [language](quint16 baseId, const QList<int>& numbers) {
        QStringList arguments;
        for (const int number : numbers)
            arguments.append(QString::number(number));
        return strings::format(strings::text(baseId, language), arguments);
    };
    switch (problem.kind) {
    case Problem::kNone:
        break;
    case Problem::kNotUtf8:
        return text(textid::kExchangeNotUtf8, {problem.line});
    case Problem::kBadQuote:
        return text(textid::kExchangeBadQuote, {problem.record});
    case Problem::kNotJson:
        return text(textid::kExchangeNotJson, {});
    case Problem::kNotRowList:
        return text(textid::kExchangeNotRowList, {problem.record});
    case Problem::kTooManyRows:
        return text(textid::kExchangeTooManyRows, {problem.record, problem.count});
    case Problem::kTooManyTopics:
        return text(textid::kExchangeTooManyTopics, {problem.record});
    case Problem::kNoCode: // the message of a commit, after the record's number
        return strings::format(strings::text(textid::kExchangeRecord, language),
                               {QString::number(problem.record),
                                text(textid::kNoHp48Code, {problem.row, problem.column})});
    }
    return QString();
}
