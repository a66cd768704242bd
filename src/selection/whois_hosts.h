#pragma once

#include <QStringView>

// Host names of the whois servers the program knows (TCP port 43). Each host
// is defined here once; the server list, the domain table, the address table
// and the choice of the ISO-2022-JP decoder all use these constants.
namespace WhoisHost {

// The well-known servers, named as the built-in server list shows them.
inline constexpr QStringView kJpnic = u"whois.nic.ad.jp";
inline constexpr QStringView kApnic = u"whois.apnic.net";
inline constexpr QStringView kRipe = u"whois.ripe.net";
inline constexpr QStringView kArin = u"whois.arin.net";
inline constexpr QStringView kVeriSign = u"whois.verisign-grs.com";
inline constexpr QStringView kInterNic = u"whois.internic.net";
inline constexpr QStringView kIana = u"whois.iana.org";

// The two regional registries that the built-in server list does not show.
inline constexpr QStringView kAfrinic = u"whois.afrinic.net";
inline constexpr QStringView kLacnic = u"whois.lacnic.net";

// Top-level registries, one per label, named Dot<label>. A label whose
// registry runs no port-43 server today has no constant: it goes to IANA,
// whose answer names the registry. The label int is served by IANA itself.
inline constexpr QStringView kDotEdu = u"whois.educause.edu";
inline constexpr QStringView kDotOrg = u"whois.publicinterestregistry.org";
inline constexpr QStringView kDotTv = u"whois.nic.tv";
inline constexpr QStringView kDotJp = u"whois.jprs.jp";
inline constexpr QStringView kDotBg = u"whois.register.bg";
inline constexpr QStringView kDotBy = u"whois.cctld.by";
inline constexpr QStringView kDotDk = u"whois.punktum.dk";
inline constexpr QStringView kDotDz = u"whois.nic.dz";
inline constexpr QStringView kDotFi = u"whois.fi";
inline constexpr QStringView kDotFo = u"whois.nic.fo";
inline constexpr QStringView kDotGl = u"whois.nic.gl";
inline constexpr QStringView kDotHr = u"whois.dns.hr";
inline constexpr QStringView kDotLv = u"whois.nic.lv";
inline constexpr QStringView kDotMa = u"whois.registre.ma";
inline constexpr QStringView kDotMc = u"whois.nic.mc";
inline constexpr QStringView kDotMd = u"whois.nic.md";
inline constexpr QStringView kDotMk = u"whois.marnet.mk";
inline constexpr QStringView kDotPt = u"whois.dns.pt";
inline constexpr QStringView kDotSk = u"whois.sk-nic.sk";
inline constexpr QStringView kDotSm = u"whois.nic.sm";
inline constexpr QStringView kDotBi = u"whois1.nic.bi";
inline constexpr QStringView kDotCd = u"whois.nic.cd";
inline constexpr QStringView kDotRw = u"whois.ricta.org.rw";
inline constexpr QStringView kDotGs = u"whois.nic.gs";
inline constexpr QStringView kDotMs = u"whois.nic.ms";
inline constexpr QStringView kDotTc = u"whois.nic.tc";
inline constexpr QStringView kDotTf = u"whois.nic.tf";
inline constexpr QStringView kDotVg = u"whois.nic.vg";
inline constexpr QStringView kDotFr = u"whois.nic.fr";
inline constexpr QStringView kDotPm = u"whois.nic.pm";
inline constexpr QStringView kDotNo = u"whois.norid.no";
inline constexpr QStringView kDotAero = u"whois.aero";
inline constexpr QStringView kDotBiz = u"whois.nic.biz";
inline constexpr QStringView kDotCoop = u"whois.nic.coop";
inline constexpr QStringView kDotGov = u"whois.nic.gov";
inline constexpr QStringView kDotMuseum = u"whois.nic.museum";
inline constexpr QStringView kDotName = u"whois.nic.name";
inline constexpr QStringView kDotAc = u"whois.nic.ac";
inline constexpr QStringView kDotAg = u"whois.nic.ag";
inline constexpr QStringView kDotAm = u"whois.amnic.net";
inline constexpr QStringView kDotAs = u"whois.nic.as";
inline constexpr QStringView kDotAt = u"whois.nic.at";
inline constexpr QStringView kDotAu = u"whois.auda.org.au";
inline constexpr QStringView kDotBe = u"whois.dns.be";
inline constexpr QStringView kDotBr = u"whois.registro.br";
inline constexpr QStringView kDotBz = u"whois.identitydigital.services";
inline constexpr QStringView kDotCa = u"whois.cira.ca";
inline constexpr QStringView kDotCc = u"ccwhois.verisign-grs.com";
inline constexpr QStringView kDotCh = u"whois.nic.ch";
inline constexpr QStringView kDotCl = u"whois.nic.cl";
inline constexpr QStringView kDotCn = u"whois.cnnic.cn";
inline constexpr QStringView kDotCz = u"whois.nic.cz";
inline constexpr QStringView kDotDe = u"whois.denic.de";
inline constexpr QStringView kDotDo = u"whois.nic.do";
inline constexpr QStringView kDotEe = u"whois.tld.ee";
inline constexpr QStringView kDotFj = u"www.whois.fj";
inline constexpr QStringView kDotGg = u"whois.gg";
inline constexpr QStringView kDotHk = u"whois.hkirc.hk";
inline constexpr QStringView kDotHm = u"whois.registry.hm";
inline constexpr QStringView kDotHu = u"whois.nic.hu";
inline constexpr QStringView kDotId = u"whois.id";
inline constexpr QStringView kDotIe = u"whois.weare.ie";
inline constexpr QStringView kDotIl = u"whois.isoc.org.il";
inline constexpr QStringView kDotIr = u"whois.nic.ir";
inline constexpr QStringView kDotIs = u"whois.isnic.is";
inline constexpr QStringView kDotIt = u"whois.nic.it";
inline constexpr QStringView kDotJe = u"whois.je";
inline constexpr QStringView kDotKr = u"whois.kr";
inline constexpr QStringView kDotKz = u"whois.nic.kz";
inline constexpr QStringView kDotLa = u"whois.nic.la";
inline constexpr QStringView kDotLi = u"whois.nic.li";
inline constexpr QStringView kDotLk = u"whois.nic.lk";
inline constexpr QStringView kDotLt = u"whois.domreg.lt";
inline constexpr QStringView kDotLu = u"whois.dns.lu";
inline constexpr QStringView kDotMm = u"whois.registry.gov.mm";
inline constexpr QStringView kDotMx = u"whois.mx";
inline constexpr QStringView kDotMy = u"whois.mynic.my";
inline constexpr QStringView kDotNc = u"whois.nc";
inline constexpr QStringView kDotNg = u"whois.nic.net.ng";
inline constexpr QStringView kDotNl = u"whois.domain-registry.nl";
inline constexpr QStringView kDotNu = u"whois.iis.nu";
inline constexpr QStringView kDotNz = u"whois.irs.net.nz";
inline constexpr QStringView kDotPe = u"kero.yachay.pe";
inline constexpr QStringView kDotPk = u"whois.pknic.net.pk";
inline constexpr QStringView kDotPl = u"whois.dns.pl";
inline constexpr QStringView kDotRe = u"whois.nic.re";
inline constexpr QStringView kDotRo = u"whois.rotld.ro";
inline constexpr QStringView kDotRu = u"whois.tcinet.ru";
inline constexpr QStringView kDotSe = u"whois.iis.se";
inline constexpr QStringView kDotSg = u"whois.sgnic.sg";
inline constexpr QStringView kDotSh = u"whois.nic.sh";
inline constexpr QStringView kDotSi = u"whois.register.si";
inline constexpr QStringView kDotSt = u"whois.nic.st";
inline constexpr QStringView kDotTh = u"whois.thnic.co.th";
inline constexpr QStringView kDotTm = u"whois.nic.tm";
inline constexpr QStringView kDotTo = u"whois.tonicregistry.to";
inline constexpr QStringView kDotTr = u"whois.trabis.gov.tr";
inline constexpr QStringView kDotTw = u"whois.twnic.net.tw";
inline constexpr QStringView kDotUa = u"whois.ua";
inline constexpr QStringView kDotUg = u"whois.co.ug";
inline constexpr QStringView kDotUk = u"whois.nic.uk";
inline constexpr QStringView kDotUs = u"whois.nic.us";
inline constexpr QStringView kDotVe = u"whois.nic.ve";
inline constexpr QStringView kDotWs = u"whois.website.ws";
inline constexpr QStringView kDotZa = u"whois.nic.za";

} // namespace WhoisHost
