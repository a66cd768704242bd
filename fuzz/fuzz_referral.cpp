// Reads random answers for a referral, as if from one of a few servers, and
// aborts when the referral found is not a plain host the program may hand
// to the socket: a name with a dot or an address, no blank or control
// character, never the server that answered, and a port from 1 to 65535.
//
// Input: byte 0 chooses the server that answered; the rest is the answer
// in UTF-8.

#include "query/referral.h"
#include "selection/usable_host.h"

#include <QHostAddress>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_referral: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    static const char *const servers[] = { "whois.iana.org", "whois.apnic.net", "whois.arin.net",
        "whois.verisign-grs.com", "whois.markmonitor.com" };
    const QueryTarget answeredBy =
        QueryTarget::whois(QString::fromLatin1(servers[data[0] % std::size(servers)]));
    const QString answer = QString::fromUtf8(
        reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));

    const std::optional<QueryTarget> referral = findReferral(answer, answeredBy);
    if (!referral)
        return 0;
    const QString &host = referral->host;
    if (!isUsableHost(host))
        fail("a host the socket must not take");
    if (!host.contains(u'.') && QHostAddress(host).isNull())
        fail("a name without a dot");
    if (host.endsWith(u'.') || host != host.toLower())
        fail("a host not in its plain form");
    if (referral->port == 0)
        fail("port 0");
    if (referral->port == 43 && host.compare(answeredBy.host, Qt::CaseInsensitive) == 0)
        fail("a referral back to the server that answered");
    return 0;
}
