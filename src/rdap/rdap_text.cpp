#include "rdap/rdap_text.h"

#include "rdap/rdap_json.h"

#include <QDateTime>
#include <QStringDecoder>

namespace {

const QString kWithheld = u"非公開"_qs;

// Roles shown as contacts, in this order, with their labels.
const QList<std::pair<QStringView, QStringView>> kContactRoles {
    { u"registrant", u"登録者" },
    { u"administrative", u"管理担当" },
    { u"technical", u"技術担当" },
    { u"abuse", u"不正利用窓口" },
};

bool IsUnsafe(QChar c)
{
    // Controls, line and paragraph separators, and the bidirectional
    // embeddings, overrides and isolates.
    const char16_t u = c.unicode();
    return c.category() == QChar::Other_Control || u == 0x2028 || u == 0x2029
        || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

QString Safe(const QString &text)
{
    QString safe = text;
    for (QChar &c : safe) {
        if (IsUnsafe(c))
            c = QChar::ReplacementCharacter;
    }
    return safe;
}

QString LocalTime(const QString &date)
{
    const QDateTime time = QDateTime::fromString(date, Qt::ISODateWithMs);
    if (!time.isValid())
        return Safe(date);
    return time.toLocalTime().toString(u"yyyy/MM/dd HH:mm");
}

class Writer {
public:
    void line(QStringView label, const QString &value, int indent = 0)
    {
        if (value.isEmpty())
            return;
        m_text.append(QString(indent, u' ')).append(label).append(u": ").append(Safe(value));
        m_text.append(u'\n');
    }
    void lines(QStringView label, const QStringList &values, int indent = 0)
    {
        for (const QString &value : values)
            line(label, value, indent);
    }
    void heading(QStringView text) { m_text.append(text).append(u'\n'); }
    void blank() { m_text.append(u'\n'); }
    QString &text() { return m_text; }

private:
    QString m_text;
};

QString EventDate(const RdapRecord &record, QStringView action)
{
    for (const RdapEvent &event : record.events) {
        if (event.action == action)
            return LocalTime(event.date);
    }
    return {};
}

void WriteDates(Writer &out, const RdapRecord &record)
{
    out.line(u"登録日", EventDate(record, u"registration"));
    out.line(u"更新日", EventDate(record, u"last changed"));
}

QString Or(const QString &value, const RdapContact &contact, QStringView field)
{
    return value.isEmpty() && contact.redacted.contains(field) ? kWithheld : value;
}

QStringList Or(const QStringList &values, const RdapContact &contact, QStringView field)
{
    return values.isEmpty() && contact.redacted.contains(field) ? QStringList { kWithheld }
                                                                : values;
}

void WriteContacts(Writer &out, const RdapRecord &record)
{
    for (const auto &[role, label] : kContactRoles) {
        for (const RdapContact &contact : record.contacts) {
            if (!contact.roles.contains(role))
                continue;
            out.heading(label);
            out.line(u"名前", Or(contact.name, contact, u"name"), 2);
            out.line(u"組織", Or(contact.organization, contact, u"organization"), 2);
            out.lines(u"住所", Or(contact.addresses, contact, u"address"), 2);
            out.lines(u"メール", Or(contact.emails, contact, u"email"), 2);
            out.lines(u"電話", Or(contact.phones, contact, u"phone"), 2);
        }
    }
}

QString Registrar(const RdapRecord &record)
{
    for (const RdapContact &contact : record.contacts) {
        if (!contact.roles.contains(u"registrar"))
            continue;
        QString text = contact.name.isEmpty() ? contact.organization : contact.name;
        if (!contact.ianaRegistrarIds.isEmpty())
            text += u" (IANA ID "_qs + contact.ianaRegistrarIds.first() + u')';
        return text;
    }
    return {};
}

void WriteDomain(Writer &out, const RdapRecord &record)
{
    QString name = record.ldhName.isEmpty() ? record.unicodeName : record.ldhName;
    if (!record.unicodeName.isEmpty() && record.unicodeName.compare(name, Qt::CaseInsensitive))
        name += u" ("_qs + record.unicodeName + u')';
    out.line(u"ドメイン名", name);
    out.lines(u"状態", record.status);
    WriteDates(out, record);
    out.line(u"有効期限", EventDate(record, u"expiration"));
    out.line(u"登録業者", Registrar(record));
    out.lines(u"ネームサーバ", record.nameservers);
    if (record.delegationSigned)
        out.line(u"DNSSEC", *record.delegationSigned ? u"署名あり"_qs : u"署名なし"_qs);
}

void WriteRange(Writer &out, const RdapRecord &record)
{
    const bool autnum = record.objectClass == RdapObjectClass::Autnum;
    const QString prefix = autnum ? u"AS"_qs : QString();
    QString range;
    if (!record.start.isEmpty())
        range = prefix + record.start;
    if (!record.end.isEmpty() && record.end != record.start)
        range += u" - "_qs + prefix + record.end;
    out.line(u"範囲", range);
    out.line(u"ネットワーク名", record.name);
    out.line(u"種別", record.type);
    out.line(u"国", record.country);
    out.lines(u"状態", record.status);
    WriteDates(out, record);
}

void WriteNotices(Writer &out, QStringView label, const QList<RdapNotice> &notices)
{
    for (const RdapNotice &notice : notices) {
        out.text().append(label);
        if (!notice.title.isEmpty())
            out.text().append(u": ").append(Safe(notice.title));
        out.text().append(u'\n');
        for (const QString &line : notice.description)
            out.text().append(u"  ").append(Safe(line)).append(u'\n');
    }
}

} // namespace

QString RenderRdapText(const RdapRecord &record, QByteArrayView json)
{
    Writer out;
    switch (record.objectClass) {
    case RdapObjectClass::Domain:
        WriteDomain(out, record);
        break;
    case RdapObjectClass::IpNetwork:
    case RdapObjectClass::Autnum:
        WriteRange(out, record);
        break;
    case RdapObjectClass::Other:
        out.line(u"ハンドル", record.handle);
        out.lines(u"状態", record.status);
        break;
    }
    WriteContacts(out, record);
    if (!record.remarks.isEmpty() || !record.notices.isEmpty()) {
        out.blank();
        WriteNotices(out, u"備考", record.remarks);
        WriteNotices(out, u"通知", record.notices);
    }
    out.blank();
    out.heading(u"---- RDAP 応答 (JSON) ----");
    // Decoded straight into the end of the text: a copy of a large answer
    // costs more than the summary.
    const QByteArray raw = IndentJson(json);
    QString &text = out.text();
    const qsizetype summarySize = text.size();
    text.resize(summarySize + raw.size() + 1); // UTF-16 needs no more units than UTF-8 bytes
    QStringDecoder utf8(QStringDecoder::Utf8);
    QChar *end = utf8.appendToBuffer(text.data() + summarySize, raw);
    *end++ = u'\n';
    text.truncate(end - text.constData());
    return text;
}
