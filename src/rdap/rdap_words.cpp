#include "rdap/rdap_words.h"

#include <QHash>

namespace {

using WordTable = QHash<QString, QStringView>;

template <typename Word>
Word find(const std::initializer_list<std::pair<QStringView, QStringView>> &table,
    QStringView key)
{
    int order = 0;
    for (const auto &[term, label] : table) {
        if (key.compare(term, Qt::CaseInsensitive) == 0)
            return Word { order, label };
        ++order;
    }
    return Word { order, {} };
}

} // namespace

QString rdapStatusText(const QString &status)
{
    static const WordTable kStatuses {
        { u"active"_qs, u"有効" },
        { u"inactive"_qs, u"無効" },
        { u"validated"_qs, u"検証済み" },
        { u"locked"_qs, u"ロック中" },
        { u"proxy"_qs, u"代理登録" },
        { u"private"_qs, u"プライベート" },
        { u"removed"_qs, u"一部削除" },
        { u"obscured"_qs, u"一部隠蔽" },
        { u"associated"_qs, u"関連付けあり" },
        { u"renew prohibited"_qs, u"更新禁止" },
        { u"update prohibited"_qs, u"変更禁止" },
        { u"transfer prohibited"_qs, u"移転禁止" },
        { u"delete prohibited"_qs, u"削除禁止" },
        { u"client renew prohibited"_qs, u"更新禁止" },
        { u"client update prohibited"_qs, u"変更禁止" },
        { u"client transfer prohibited"_qs, u"移転禁止" },
        { u"client delete prohibited"_qs, u"削除禁止" },
        { u"client hold"_qs, u"一時停止" },
        { u"server renew prohibited"_qs, u"レジストリによる更新禁止" },
        { u"server update prohibited"_qs, u"レジストリによる変更禁止" },
        { u"server transfer prohibited"_qs, u"レジストリによる移転禁止" },
        { u"server delete prohibited"_qs, u"レジストリによる削除禁止" },
        { u"server hold"_qs, u"レジストリによる一時停止" },
        { u"pending create"_qs, u"登録処理中" },
        { u"pending renew"_qs, u"更新処理中" },
        { u"pending transfer"_qs, u"移転処理中" },
        { u"pending update"_qs, u"変更処理中" },
        { u"pending delete"_qs, u"削除処理中" },
        { u"pending restore"_qs, u"復旧処理中" },
        { u"add period"_qs, u"登録猶予期間" },
        { u"auto renew period"_qs, u"自動更新猶予期間" },
        { u"renew period"_qs, u"更新猶予期間" },
        { u"transfer period"_qs, u"移転猶予期間" },
        { u"redemption period"_qs, u"回復猶予期間" },
    };
    const auto word = kStatuses.constFind(status.simplified().toLower());
    if (word == kStatuses.cend())
        return status;
    return word->toString() + u" ("_qs + status + u')';
}

RdapEventWord rdapEventWordFor(QStringView action)
{
    return find<RdapEventWord>(
        {
            { u"registration", u"登録日" },
            { u"last changed", u"更新日" },
            { u"expiration", u"有効期限" },
            { u"registrar expiration", u"レジストラ有効期限" },
            { u"transfer", u"移転日" },
            { u"reregistration", u"再登録日" },
            { u"reinstantiation", u"復活日" },
            { u"deletion", u"削除日" },
            { u"locked", u"ロック日" },
            { u"unlocked", u"ロック解除日" },
            { u"enum validation expiration", u"ENUM 検証期限" },
            { u"last update of rdap database", u"RDAPデータベース更新日" },
        },
        action.trimmed());
}

RdapRoleWord rdapRoleWordFor(QStringView role)
{
    return find<RdapRoleWord>(
        {
            { u"registrant", u"登録者" },
            { u"administrative", u"管理担当者" },
            { u"technical", u"技術担当者" },
            { u"abuse", u"不正利用窓口" },
            { u"billing", u"請求担当者" },
            { u"noc", u"ネットワーク運用窓口 (NOC)" },
            { u"routing", u"ルーティング担当者" },
            { u"reseller", u"再販業者" },
            { u"sponsor", u"スポンサー" },
            { u"proxy", u"代理人" },
            { u"notifications", u"通知先" },
        },
        role.trimmed());
}
