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

// The two regional registries that the built-in server list does not show.
inline constexpr QStringView AFRINIC = u"whois.afrinic.net";
inline constexpr QStringView LACNIC = u"whois.lacnic.net";

// Top-level registries, one per label, named Dot<label>. A label whose
// registry runs no port-43 server today has no constant: it goes to IANA,
// whose answer names the registry. The label int is served by IANA itself.
inline constexpr QStringView DotEdu = u"whois.educause.edu";
inline constexpr QStringView DotOrg = u"whois.publicinterestregistry.org";
inline constexpr QStringView DotTv = u"whois.nic.tv";
inline constexpr QStringView DotJp = u"whois.jprs.jp";
inline constexpr QStringView DotBg = u"whois.register.bg";
inline constexpr QStringView DotBy = u"whois.cctld.by";
inline constexpr QStringView DotDk = u"whois.punktum.dk";
inline constexpr QStringView DotDz = u"whois.nic.dz";
inline constexpr QStringView DotFi = u"whois.fi";
inline constexpr QStringView DotFo = u"whois.nic.fo";
inline constexpr QStringView DotGl = u"whois.nic.gl";
inline constexpr QStringView DotHr = u"whois.dns.hr";
inline constexpr QStringView DotLv = u"whois.nic.lv";
inline constexpr QStringView DotMa = u"whois.registre.ma";
inline constexpr QStringView DotMc = u"whois.nic.mc";
inline constexpr QStringView DotMd = u"whois.nic.md";
inline constexpr QStringView DotMk = u"whois.marnet.mk";
inline constexpr QStringView DotPt = u"whois.dns.pt";
inline constexpr QStringView DotSk = u"whois.sk-nic.sk";
inline constexpr QStringView DotSm = u"whois.nic.sm";
inline constexpr QStringView DotBi = u"whois1.nic.bi";
inline constexpr QStringView DotCd = u"whois.nic.cd";
inline constexpr QStringView DotRw = u"whois.ricta.org.rw";
inline constexpr QStringView DotGs = u"whois.nic.gs";
inline constexpr QStringView DotMs = u"whois.nic.ms";
inline constexpr QStringView DotTc = u"whois.nic.tc";
inline constexpr QStringView DotTf = u"whois.nic.tf";
inline constexpr QStringView DotVg = u"whois.nic.vg";
inline constexpr QStringView DotFr = u"whois.nic.fr";
inline constexpr QStringView DotPm = u"whois.nic.pm";
inline constexpr QStringView DotNo = u"whois.norid.no";
inline constexpr QStringView DotAero = u"whois.aero";
inline constexpr QStringView DotBiz = u"whois.nic.biz";
inline constexpr QStringView DotCoop = u"whois.nic.coop";
inline constexpr QStringView DotGov = u"whois.nic.gov";
inline constexpr QStringView DotMuseum = u"whois.nic.museum";
inline constexpr QStringView DotName = u"whois.nic.name";
inline constexpr QStringView DotAc = u"whois.nic.ac";
inline constexpr QStringView DotAg = u"whois.nic.ag";
inline constexpr QStringView DotAm = u"whois.amnic.net";
inline constexpr QStringView DotAs = u"whois.nic.as";
inline constexpr QStringView DotAt = u"whois.nic.at";
inline constexpr QStringView DotAu = u"whois.auda.org.au";
inline constexpr QStringView DotBe = u"whois.dns.be";
inline constexpr QStringView DotBr = u"whois.registro.br";
inline constexpr QStringView DotBz = u"whois.identitydigital.services";
inline constexpr QStringView DotCa = u"whois.cira.ca";
inline constexpr QStringView DotCc = u"ccwhois.verisign-grs.com";
inline constexpr QStringView DotCh = u"whois.nic.ch";
inline constexpr QStringView DotCl = u"whois.nic.cl";
inline constexpr QStringView DotCn = u"whois.cnnic.cn";
inline constexpr QStringView DotCz = u"whois.nic.cz";
inline constexpr QStringView DotDe = u"whois.denic.de";
inline constexpr QStringView DotDo = u"whois.nic.do";
inline constexpr QStringView DotEe = u"whois.tld.ee";
inline constexpr QStringView DotFj = u"www.whois.fj";
inline constexpr QStringView DotGg = u"whois.gg";
inline constexpr QStringView DotHk = u"whois.hkirc.hk";
inline constexpr QStringView DotHm = u"whois.registry.hm";
inline constexpr QStringView DotHu = u"whois.nic.hu";
inline constexpr QStringView DotId = u"whois.id";
inline constexpr QStringView DotIe = u"whois.weare.ie";
inline constexpr QStringView DotIl = u"whois.isoc.org.il";
inline constexpr QStringView DotIr = u"whois.nic.ir";
inline constexpr QStringView DotIs = u"whois.isnic.is";
inline constexpr QStringView DotIt = u"whois.nic.it";
inline constexpr QStringView DotJe = u"whois.je";
inline constexpr QStringView DotKr = u"whois.kr";
inline constexpr QStringView DotKz = u"whois.nic.kz";
inline constexpr QStringView DotLa = u"whois.nic.la";
inline constexpr QStringView DotLi = u"whois.nic.li";
inline constexpr QStringView DotLk = u"whois.nic.lk";
inline constexpr QStringView DotLt = u"whois.domreg.lt";
inline constexpr QStringView DotLu = u"whois.dns.lu";
inline constexpr QStringView DotMm = u"whois.registry.gov.mm";
inline constexpr QStringView DotMx = u"whois.mx";
inline constexpr QStringView DotMy = u"whois.mynic.my";
inline constexpr QStringView DotNc = u"whois.nc";
inline constexpr QStringView DotNg = u"whois.nic.net.ng";
inline constexpr QStringView DotNl = u"whois.domain-registry.nl";
inline constexpr QStringView DotNu = u"whois.iis.nu";
inline constexpr QStringView DotNz = u"whois.irs.net.nz";
inline constexpr QStringView DotPe = u"kero.yachay.pe";
inline constexpr QStringView DotPk = u"whois.pknic.net.pk";
inline constexpr QStringView DotPl = u"whois.dns.pl";
inline constexpr QStringView DotRe = u"whois.nic.re";
inline constexpr QStringView DotRo = u"whois.rotld.ro";
inline constexpr QStringView DotRu = u"whois.tcinet.ru";
inline constexpr QStringView DotSe = u"whois.iis.se";
inline constexpr QStringView DotSg = u"whois.sgnic.sg";
inline constexpr QStringView DotSh = u"whois.nic.sh";
inline constexpr QStringView DotSi = u"whois.register.si";
inline constexpr QStringView DotSt = u"whois.nic.st";
inline constexpr QStringView DotTh = u"whois.thnic.co.th";
inline constexpr QStringView DotTm = u"whois.nic.tm";
inline constexpr QStringView DotTo = u"whois.tonicregistry.to";
inline constexpr QStringView DotTr = u"whois.trabis.gov.tr";
inline constexpr QStringView DotTw = u"whois.twnic.net.tw";
inline constexpr QStringView DotUa = u"whois.ua";
inline constexpr QStringView DotUg = u"whois.co.ug";
inline constexpr QStringView DotUk = u"whois.nic.uk";
inline constexpr QStringView DotUs = u"whois.nic.us";
inline constexpr QStringView DotVe = u"whois.nic.ve";
inline constexpr QStringView DotWs = u"whois.website.ws";
inline constexpr QStringView DotZa = u"whois.nic.za";

} // namespace WhoisHost
