#include "selection/domain_list.h"

#include "selection/blank_trim.h"
#include "selection/whois_hosts.h"

#include <algorithm>
#include <iterator>

namespace {

struct TopLevelRow {
    QStringView label;
    QStringView host;
};

constexpr TopLevelRow kTopLevel[] = {
    { u"com", WhoisHost::VeriSign },
    { u"net", WhoisHost::VeriSign },
    { u"edu", WhoisHost::DotEdu },
    { u"org", WhoisHost::DotOrg },
    { u"tv", WhoisHost::DotTv },
    { u"arpa", WhoisHost::IANA },
    { u"jp", WhoisHost::DotJp },
    { u"al", WhoisHost::IANA },
    { u"az", WhoisHost::IANA },
    { u"ba", WhoisHost::IANA },
    { u"bg", WhoisHost::DotBg },
    { u"by", WhoisHost::DotBy },
    { u"dk", WhoisHost::DotDk },
    { u"dz", WhoisHost::DotDz },
    { u"fi", WhoisHost::DotFi },
    { u"fo", WhoisHost::DotFo },
    { u"gl", WhoisHost::DotGl },
    { u"gm", WhoisHost::IANA },
    { u"gr", WhoisHost::IANA },
    { u"hr", WhoisHost::DotHr },
    { u"lv", WhoisHost::DotLv },
    { u"ma", WhoisHost::DotMa },
    { u"mc", WhoisHost::DotMc },
    { u"md", WhoisHost::DotMd },
    { u"mk", WhoisHost::DotMk },
    { u"pt", WhoisHost::DotPt },
    { u"sk", WhoisHost::DotSk },
    { u"sm", WhoisHost::DotSm },
    { u"va", WhoisHost::IANA },
    { u"bi", WhoisHost::DotBi },
    { u"cd", WhoisHost::DotCd },
    { u"cg", WhoisHost::IANA },
    { u"rw", WhoisHost::DotRw },
    { u"gs", WhoisHost::DotGs },
    { u"ms", WhoisHost::DotMs },
    { u"tc", WhoisHost::DotTc },
    { u"tf", WhoisHost::DotTf },
    { u"vg", WhoisHost::DotVg },
    { u"fr", WhoisHost::DotFr },
    { u"pm", WhoisHost::DotPm },
    { u"no", WhoisHost::DotNo },
    { u"sj", WhoisHost::IANA },
    { u"aero", WhoisHost::DotAero },
    { u"biz", WhoisHost::DotBiz },
    { u"coop", WhoisHost::DotCoop },
    { u"info", WhoisHost::IANA },
    { u"int", WhoisHost::IANA },
    { u"gov", WhoisHost::DotGov },
    { u"mil", WhoisHost::IANA },
    { u"museum", WhoisHost::DotMuseum },
    { u"name", WhoisHost::DotName },
    { u"ac", WhoisHost::DotAc },
    { u"ag", WhoisHost::DotAg },
    { u"am", WhoisHost::DotAm },
    { u"as", WhoisHost::DotAs },
    { u"at", WhoisHost::DotAt },
    { u"au", WhoisHost::DotAu },
    { u"be", WhoisHost::DotBe },
    { u"br", WhoisHost::DotBr },
    { u"bz", WhoisHost::DotBz },
    { u"ca", WhoisHost::DotCa },
    { u"cc", WhoisHost::DotCc },
    { u"ch", WhoisHost::DotCh },
    { u"ck", WhoisHost::IANA },
    { u"cl", WhoisHost::DotCl },
    { u"cn", WhoisHost::DotCn },
    { u"cz", WhoisHost::DotCz },
    { u"de", WhoisHost::DotDe },
    { u"do", WhoisHost::DotDo },
    { u"ee", WhoisHost::DotEe },
    { u"fj", WhoisHost::DotFj },
    { u"gg", WhoisHost::DotGg },
    { u"hk", WhoisHost::DotHk },
    { u"hm", WhoisHost::DotHm },
    { u"hu", WhoisHost::DotHu },
    { u"id", WhoisHost::DotId },
    { u"ie", WhoisHost::DotIe },
    { u"il", WhoisHost::DotIl },
    { u"ir", WhoisHost::DotIr },
    { u"is", WhoisHost::DotIs },
    { u"it", WhoisHost::DotIt },
    { u"je", WhoisHost::DotJe },
    { u"kr", WhoisHost::DotKr },
    { u"kz", WhoisHost::DotKz },
    { u"la", WhoisHost::DotLa },
    { u"li", WhoisHost::DotLi },
    { u"lk", WhoisHost::DotLk },
    { u"lt", WhoisHost::DotLt },
    { u"lu", WhoisHost::DotLu },
    { u"mm", WhoisHost::DotMm },
    { u"mx", WhoisHost::DotMx },
    { u"my", WhoisHost::DotMy },
    { u"nc", WhoisHost::DotNc },
    { u"ng", WhoisHost::DotNg },
    { u"nl", WhoisHost::DotNl },
    { u"nu", WhoisHost::DotNu },
    { u"nz", WhoisHost::DotNz },
    { u"pe", WhoisHost::DotPe },
    { u"pk", WhoisHost::DotPk },
    { u"pl", WhoisHost::DotPl },
    { u"re", WhoisHost::DotRe },
    { u"ro", WhoisHost::DotRo },
    { u"ru", WhoisHost::DotRu },
    { u"se", WhoisHost::DotSe },
    { u"sg", WhoisHost::DotSg },
    { u"sh", WhoisHost::DotSh },
    { u"si", WhoisHost::DotSi },
    { u"st", WhoisHost::DotSt },
    { u"th", WhoisHost::DotTh },
    { u"tj", WhoisHost::IANA },
    { u"tm", WhoisHost::DotTm },
    { u"to", WhoisHost::DotTo },
    { u"tr", WhoisHost::DotTr },
    { u"tw", WhoisHost::DotTw },
    { u"ua", WhoisHost::DotUa },
    { u"ug", WhoisHost::DotUg },
    { u"uk", WhoisHost::DotUk },
    { u"us", WhoisHost::DotUs },
    { u"ve", WhoisHost::DotVe },
    { u"ws", WhoisHost::DotWs },
    { u"za", WhoisHost::DotZa },
};

static_assert(std::size(kTopLevel) == 121);

// A label as the tables hold it: without surrounding blanks, in lower case.
QString Normalized(QStringView label)
{
    return TrimBlanks(label).toLower();
}

} // namespace

std::optional<DomainList::LastLabels> DomainList::ReadLastLabels(QStringView name)
{
    const qsizetype lastDot = name.lastIndexOf(u'.');
    if (lastDot < 0)
        return std::nullopt;
    // Only the last two labels count; those further left are never read.
    const QStringView rest = name.first(lastDot);
    return LastLabels { Normalized(name.sliced(lastDot + 1)),
        Normalized(rest.sliced(rest.lastIndexOf(u'.') + 1)) };
}

std::optional<QString> DomainList::TopLevelHost(QStringView topLevel)
{
    const auto registry = std::find_if(std::begin(kTopLevel), std::end(kTopLevel),
        [&](const TopLevelRow &row) { return row.label == topLevel; });
    if (registry == std::end(kTopLevel))
        return std::nullopt;
    return registry->host.toString();
}
