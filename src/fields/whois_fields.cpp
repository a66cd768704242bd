#include "fields/whois_fields.h"

#include "fields/answer_lines.h"
#include "fields/format_readers.h"
#include "selection/whois_hosts.h"

#include <algorithm>

namespace {

using Reader = AnswerFields (*)(QStringView);

// The shape is decided within the first lines; the markers sit at the top.
constexpr int kShapeLines = 300;

bool startsWithAny(QStringView line, std::initializer_list<QStringView> prefixes,
    Qt::CaseSensitivity sensitivity = Qt::CaseInsensitive)
{
    return std::any_of(prefixes.begin(), prefixes.end(), [line, sensitivity](QStringView prefix) {
        return line.startsWith(prefix, sensitivity);
    });
}

Reader readerByShape(QStringView answer)
{
    AnswerLines lines(answer);
    QStringView line;
    for (int count = 0; count < kShapeLines && lines.next(line); ++count) {
        // ARIN and RPSL write these keys exactly so, at the start of a line.
        const QChar first = line.isEmpty() ? QChar() : line.front();
        if ((first == u'N' || first == u'A')
            && startsWithAny(line, { u"NetRange:", u"ASNumber:", u"NetHandle:" }, Qt::CaseSensitive))
            return readArinFields;
        if ((first == u'i' || first == u'a' || first == u'r')
            && startsWithAny(line, { u"inetnum:", u"inet6num:", u"aut-num:", u"route:", u"route6:" },
                Qt::CaseSensitive))
            return readRpslFields;
        if (isJpBracketLine(line))
            return readJpBracketFields;
    }
    return nullptr;
}

Reader readerByServer(const QString &server)
{
    const auto is = [&server](QStringView host) {
        return server.compare(host, Qt::CaseInsensitive) == 0;
    };
    if (is(WhoisHost::kArin))
        return readArinFields;
    if (is(WhoisHost::kRipe) || is(WhoisHost::kApnic) || is(WhoisHost::kAfrinic)
        || is(WhoisHost::kLacnic))
        return readRpslFields;
    if (is(WhoisHost::kDotJp) || is(WhoisHost::kJpnic))
        return readJpBracketFields;
    return readFlatFields;
}

// Lines (without a leading % or #) by which servers say there is no such object.
bool saysNotFound(QStringView answer)
{
    AnswerLines lines(answer);
    QStringView line;
    while (lines.next(line)) {
        qsizetype start = 0;
        while (start < line.size()
            && (line[start] == u'%' || line[start] == u'#' || line[start].isSpace()))
            ++start;
        if (startsWithAny(line.sliced(start),
                { u"No match", u"NOT FOUND", u"No entries found", u"ERROR:101: no entries found",
                    u"No Data Found", u"Domain not found", u"No matching record",
                    u"The queried object does not exist", u"Status: free",
                    u"Status: AVAILABLE" }))
            return true;
    }
    return false;
}

} // namespace

AnswerFields readWhoisFields(QStringView answer, const QString &server)
{
    const Reader byShape = readerByShape(answer);
    AnswerFields fields = (byShape ? byShape : readerByServer(server))(answer);
    if (fields.state != AnswerFields::State::Found && saysNotFound(answer))
        fields.state = AnswerFields::State::NotRegistered;
    fields.server = server;
    return fields;
}

AnswerFields readWhoisChain(const QList<WhoisHop> &hops)
{
    QList<AnswerFields> found;
    AnswerFields notFound;
    for (qsizetype i = 0; i < hops.size(); ++i) {
        const WhoisHop &hop = hops.at(i);
        // IANA's answer is about the TLD or the registry it refers to.
        if (i + 1 < hops.size() && hop.server.compare(WhoisHost::kIana, Qt::CaseInsensitive) == 0)
            continue;
        AnswerFields fields = readWhoisFields(hop.answer, hop.server);
        if (fields.state == AnswerFields::State::Found)
            found.append(std::move(fields));
        else if (notFound.state != AnswerFields::State::NotRegistered)
            notFound = std::move(fields);
    }
    if (found.isEmpty())
        return notFound;
    if (found.back().kind != AnswerFields::Kind::Domain)
        return found.back();
    AnswerFields record = found.front();
    for (qsizetype i = 1; i < found.size(); ++i)
        fillMissingFields(record, found.at(i));
    return record;
}
