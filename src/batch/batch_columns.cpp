#include "batch/batch_columns.h"

QString batchColumnTitle(BatchColumn column)
{
    switch (column) {
    case BatchColumn::Key:
        return u"キー"_qs;
    case BatchColumn::Status:
        return u"状態"_qs;
    case BatchColumn::Kind:
        return u"種類"_qs;
    case BatchColumn::Name:
        return u"名前"_qs;
    case BatchColumn::Handle:
        return u"ハンドル"_qs;
    case BatchColumn::Registrar:
        return u"レジストラ"_qs;
    case BatchColumn::RegistrarIanaId:
        return u"IANA ID"_qs;
    case BatchColumn::RegistrantOrganization:
        return u"登録者組織"_qs;
    case BatchColumn::Country:
        return u"国"_qs;
    case BatchColumn::ObjectStatus:
        return u"ステータス"_qs;
    case BatchColumn::Registered:
        return u"登録日"_qs;
    case BatchColumn::Updated:
        return u"更新日"_qs;
    case BatchColumn::Expires:
        return u"有効期限"_qs;
    case BatchColumn::NameServers:
        return u"ネームサーバ"_qs;
    case BatchColumn::Dnssec:
        return u"DNSSEC"_qs;
    case BatchColumn::NetworkRange:
        return u"ネットワーク範囲"_qs;
    case BatchColumn::Cidrs:
        return u"CIDR"_qs;
    case BatchColumn::NetworkName:
        return u"ネットワーク名"_qs;
    case BatchColumn::OriginAs:
        return u"起点AS"_qs;
    case BatchColumn::AbuseEmail:
        return u"abuse メール"_qs;
    case BatchColumn::AbusePhone:
        return u"abuse 電話"_qs;
    case BatchColumn::Server:
        return u"サーバ"_qs;
    case BatchColumn::Error:
        return u"エラー"_qs;
    }
    return {};
}

QString batchDateText(const QDateTime &utc)
{
    if (!utc.isValid())
        return {};
    return utc.toOffsetFromUtc(9 * 3600).toString(Qt::ISODate);
}

QString batchKindText(AnswerFields::Kind kind)
{
    switch (kind) {
    case AnswerFields::Kind::Unknown:
        return {};
    case AnswerFields::Kind::Domain:
        return u"domain"_qs;
    case AnswerFields::Kind::Network:
        return u"network"_qs;
    case AnswerFields::Kind::AutNum:
        return u"autnum"_qs;
    }
    return {};
}

QString batchCellText(const BatchRow &row, BatchColumn column)
{
    const AnswerFields &f = row.fields;
    switch (column) {
    case BatchColumn::Key:
        return row.key.text;
    case BatchColumn::Status:
        return row.statusText();
    case BatchColumn::Kind:
        return batchKindText(f.kind);
    case BatchColumn::Name:
        return f.name;
    case BatchColumn::Handle:
        return f.handle;
    case BatchColumn::Registrar:
        return f.registrar;
    case BatchColumn::RegistrarIanaId:
        return f.registrarIanaId;
    case BatchColumn::RegistrantOrganization:
        return f.registrantOrganization;
    case BatchColumn::Country:
        return f.country;
    case BatchColumn::ObjectStatus:
        return f.status.join(u' ');
    case BatchColumn::Registered:
        return batchDateText(f.registered);
    case BatchColumn::Updated:
        return batchDateText(f.updated);
    case BatchColumn::Expires:
        return batchDateText(f.expires);
    case BatchColumn::NameServers:
        return f.nameServers.join(u' ');
    case BatchColumn::Dnssec:
        return f.dnssecSigned ? (*f.dnssecSigned ? u"signed"_qs : u"unsigned"_qs) : QString();
    case BatchColumn::NetworkRange:
        return f.networkFirst.isNull()
            ? QString()
            : f.networkFirst.toString() + u" - "_qs + f.networkLast.toString();
    case BatchColumn::Cidrs:
        return f.cidrs.join(u' ');
    case BatchColumn::NetworkName:
        return f.networkName;
    case BatchColumn::OriginAs:
        return f.originAs;
    case BatchColumn::AbuseEmail:
        return f.abuseEmail;
    case BatchColumn::AbusePhone:
        return f.abusePhone;
    case BatchColumn::Server:
        return f.server;
    case BatchColumn::Error:
        return row.error;
    }
    return {};
}
