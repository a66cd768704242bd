#include "batch/rate_limit_answer.h"

#include <QLocale>

#include <algorithm>
#include <array>

namespace {

// Refusals are short; their sentence stands in the first lines.
constexpr qsizetype kHeadChars = 4096;

// Sentences that mean "asked too often", compared without regard to case.
constexpr std::array kRateLimitSentences {
    u"limit exceeded", // ARIN's "Query rate limit exceeded", "WHOIS LIMIT EXCEEDED"
    u"%error:201: access denied", // RIPE NCC, APNIC, AFRINIC
    u"quota exceeded", // "Look up quota exceeded"
    u"exceeded the maximum allowable",
    u"exceeded allowed connection rate",
    u"excessive querying",
};

} // namespace

bool isRateLimitAnswer(QStringView answer)
{
    const QStringView head = answer.first(std::min(answer.size(), kHeadChars));
    for (const char16_t *sentence : kRateLimitSentences) {
        if (head.contains(QStringView(sentence), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

std::optional<std::chrono::seconds> readRetryAfter(QByteArrayView value, const QDateTime &now)
{
    const QByteArrayView trimmed = value.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    if (trimmed.size() <= 10 && std::all_of(trimmed.begin(), trimmed.end(), [](char c) {
            return c >= '0' && c <= '9';
        })) {
        return std::chrono::seconds(trimmed.toLongLong());
    }
    // IMF-fixdate, the form RFC 9110 asks senders to use:
    // "Sun, 06 Nov 1994 08:49:37 GMT".
    const QString text = QString::fromLatin1(trimmed);
    QDateTime when = QLocale::c().toDateTime(text, u"ddd, dd MMM yyyy HH:mm:ss 'GMT'"_qs);
    if (!when.isValid())
        return std::nullopt;
    when.setTimeSpec(Qt::UTC);
    return std::chrono::seconds(std::max<qint64>(0, now.secsTo(when)));
}
