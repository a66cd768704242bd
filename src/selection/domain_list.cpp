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
    { u"com", WhoisHost::kVeriSign },
    { u"net", WhoisHost::kVeriSign },
    { u"edu", WhoisHost::kDotEdu },
    { u"org", WhoisHost::kDotOrg },
    { u"tv", WhoisHost::kDotTv },
    { u"arpa", WhoisHost::kIana },
    { u"jp", WhoisHost::kDotJp },
    { u"al", WhoisHost::kIana },
    { u"az", WhoisHost::kIana },
    { u"ba", WhoisHost::kIana },
    { u"bg", WhoisHost::kDotBg },
    { u"by", WhoisHost::kDotBy },
    { u"dk", WhoisHost::kDotDk },
    { u"dz", WhoisHost::kDotDz },
    { u"fi", WhoisHost::kDotFi },
    { u"fo", WhoisHost::kDotFo },
    { u"gl", WhoisHost::kDotGl },
    { u"gm", WhoisHost::kIana },
    { u"gr", WhoisHost::kIana },
    { u"hr", WhoisHost::kDotHr },
    { u"lv", WhoisHost::kDotLv },
    { u"ma", WhoisHost::kDotMa },
    { u"mc", WhoisHost::kDotMc },
    { u"md", WhoisHost::kDotMd },
    { u"mk", WhoisHost::kDotMk },
    { u"pt", WhoisHost::kDotPt },
    { u"sk", WhoisHost::kDotSk },
    { u"sm", WhoisHost::kDotSm },
    { u"va", WhoisHost::kIana },
    { u"bi", WhoisHost::kDotBi },
    { u"cd", WhoisHost::kDotCd },
    { u"cg", WhoisHost::kIana },
    { u"rw", WhoisHost::kDotRw },
    { u"gs", WhoisHost::kDotGs },
    { u"ms", WhoisHost::kDotMs },
    { u"tc", WhoisHost::kDotTc },
    { u"tf", WhoisHost::kDotTf },
    { u"vg", WhoisHost::kDotVg },
    { u"fr", WhoisHost::kDotFr },
    { u"pm", WhoisHost::kDotPm },
    { u"no", WhoisHost::kDotNo },
    { u"sj", WhoisHost::kIana },
    { u"aero", WhoisHost::kDotAero },
    { u"biz", WhoisHost::kDotBiz },
    { u"coop", WhoisHost::kDotCoop },
    { u"info", WhoisHost::kIana },
    { u"int", WhoisHost::kIana },
    { u"gov", WhoisHost::kDotGov },
    { u"mil", WhoisHost::kIana },
    { u"museum", WhoisHost::kDotMuseum },
    { u"name", WhoisHost::kDotName },
    { u"ac", WhoisHost::kDotAc },
    { u"ag", WhoisHost::kDotAg },
    { u"am", WhoisHost::kDotAm },
    { u"as", WhoisHost::kDotAs },
    { u"at", WhoisHost::kDotAt },
    { u"au", WhoisHost::kDotAu },
    { u"be", WhoisHost::kDotBe },
    { u"br", WhoisHost::kDotBr },
    { u"bz", WhoisHost::kDotBz },
    { u"ca", WhoisHost::kDotCa },
    { u"cc", WhoisHost::kDotCc },
    { u"ch", WhoisHost::kDotCh },
    { u"ck", WhoisHost::kIana },
    { u"cl", WhoisHost::kDotCl },
    { u"cn", WhoisHost::kDotCn },
    { u"cz", WhoisHost::kDotCz },
    { u"de", WhoisHost::kDotDe },
    { u"do", WhoisHost::kDotDo },
    { u"ee", WhoisHost::kDotEe },
    { u"fj", WhoisHost::kDotFj },
    { u"gg", WhoisHost::kDotGg },
    { u"hk", WhoisHost::kDotHk },
    { u"hm", WhoisHost::kDotHm },
    { u"hu", WhoisHost::kDotHu },
    { u"id", WhoisHost::kDotId },
    { u"ie", WhoisHost::kDotIe },
    { u"il", WhoisHost::kDotIl },
    { u"ir", WhoisHost::kDotIr },
    { u"is", WhoisHost::kDotIs },
    { u"it", WhoisHost::kDotIt },
    { u"je", WhoisHost::kDotJe },
    { u"kr", WhoisHost::kDotKr },
    { u"kz", WhoisHost::kDotKz },
    { u"la", WhoisHost::kDotLa },
    { u"li", WhoisHost::kDotLi },
    { u"lk", WhoisHost::kDotLk },
    { u"lt", WhoisHost::kDotLt },
    { u"lu", WhoisHost::kDotLu },
    { u"mm", WhoisHost::kDotMm },
    { u"mx", WhoisHost::kDotMx },
    { u"my", WhoisHost::kDotMy },
    { u"nc", WhoisHost::kDotNc },
    { u"ng", WhoisHost::kDotNg },
    { u"nl", WhoisHost::kDotNl },
    { u"nu", WhoisHost::kDotNu },
    { u"nz", WhoisHost::kDotNz },
    { u"pe", WhoisHost::kDotPe },
    { u"pk", WhoisHost::kDotPk },
    { u"pl", WhoisHost::kDotPl },
    { u"re", WhoisHost::kDotRe },
    { u"ro", WhoisHost::kDotRo },
    { u"ru", WhoisHost::kDotRu },
    { u"se", WhoisHost::kDotSe },
    { u"sg", WhoisHost::kDotSg },
    { u"sh", WhoisHost::kDotSh },
    { u"si", WhoisHost::kDotSi },
    { u"st", WhoisHost::kDotSt },
    { u"th", WhoisHost::kDotTh },
    { u"tj", WhoisHost::kIana },
    { u"tm", WhoisHost::kDotTm },
    { u"to", WhoisHost::kDotTo },
    { u"tr", WhoisHost::kDotTr },
    { u"tw", WhoisHost::kDotTw },
    { u"ua", WhoisHost::kDotUa },
    { u"ug", WhoisHost::kDotUg },
    { u"uk", WhoisHost::kDotUk },
    { u"us", WhoisHost::kDotUs },
    { u"ve", WhoisHost::kDotVe },
    { u"ws", WhoisHost::kDotWs },
    { u"za", WhoisHost::kDotZa },
};

static_assert(std::size(kTopLevel) == 121);

// A label as the tables hold it: without surrounding blanks, in lower case.
QString normalized(QStringView label)
{
    return trimBlanks(label).toLower();
}

} // namespace

std::optional<DomainList::LastLabels> DomainList::readLastLabels(QStringView name)
{
    const qsizetype lastDot = name.lastIndexOf(u'.');
    if (lastDot < 0)
        return std::nullopt;
    // Only the last two labels count; those further left are never read.
    const QStringView rest = name.first(lastDot);
    return LastLabels { normalized(name.sliced(lastDot + 1)),
        normalized(rest.sliced(rest.lastIndexOf(u'.') + 1)) };
}

std::optional<QString> DomainList::topLevelHost(QStringView topLevel)
{
    const auto registry = std::find_if(std::begin(kTopLevel), std::end(kTopLevel),
        [&](const TopLevelRow &row) { return row.label == topLevel; });
    if (registry == std::end(kTopLevel))
        return std::nullopt;
    return registry->host.toString();
}
