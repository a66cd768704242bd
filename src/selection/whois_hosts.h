#pragma once

#include <QStringView>

// Host names of the whois servers the program knows (TCP port 43). Each host
// is defined here once; the server list, the domain table, the address table
// and the choice of the ISO-2022-JP decoder all use these constants.
namespace WhoisHost {

// The well-known servers, named as the built-in server list shows them.
inline constexpr QStringView JPNIC = u"whois.nic.ad.jp";
inline constexpr QStringView APNIC = u"whois.apnic.net";
inline constexpr QStringView RIPE = u"whois.ripe.net";
inline constexpr QStringView ARIN = u"whois.arin.net";
inline constexpr QStringView VeriSign = u"whois.verisign-grs.com";
inline constexpr QStringView InterNic = u"whois.internic.net";
inline constexpr QStringView IANA = u"whois.iana.org";

} // namespace WhoisHost
