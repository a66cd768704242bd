#pragma once

// Host names of the whois servers the program knows (TCP port 43). Each host
// is defined here once; the server list, the domain table, the address table
// and the choice of the ISO-2022-JP decoder all use these constants.
namespace WhoisHost {

// The well-known servers, named as the built-in server list shows them.
inline constexpr char16_t JPNIC[] = u"whois.nic.ad.jp";
inline constexpr char16_t APNIC[] = u"whois.apnic.net";
inline constexpr char16_t RIPE[] = u"whois.ripe.net";
inline constexpr char16_t ARIN[] = u"whois.arin.net";
inline constexpr char16_t VeriSign[] = u"whois.verisign-grs.com";
inline constexpr char16_t InterNic[] = u"whois.internic.net";
inline constexpr char16_t IANA[] = u"whois.iana.org";

} // namespace WhoisHost
