#include "rdap/rdap_text.h"

#include "rdap/rdap_json.h"
#include "rdap/rdap_words.h"

#include <QDateTime>
#include <QHash>

#include <algorithm>

namespace {

const QString kWithheld = u"非公開"_qs;

// Contacts' lines are indented by two.
constexpr char16_t kMargin[] = u"  ";

// Appends the text with every unsafe character replaced.
void appendSafe(QString &out, QStringView text)
{
    const qsizetype start = out.size();
    out.append(text);
    for (auto c = out.begin() + start; c != out.end(); ++c) {
        const char16_t unit = c->unicode();
        if ((unit < 0x20 || unit >= 0x7F) && isUnsafeForDisplay(unit))
            *c = QChar::ReplacementCharacter;
    }
}

QString safe(const QString &text)
{
    QString safe;
    appendSafe(safe, text);
    return safe;
}

// RFC 3339 dates in local time. A date without an offset, which some
// servers send, is read as UTC and says so.
QString localTime(const QString &date)
{
    QDateTime time = QDateTime::fromString(date, Qt::ISODateWithMs);
    if (!time.isValid())
        return date;
    QString mark;
    if (time.timeSpec() == Qt::LocalTime) {
        time.setTimeSpec(Qt::UTC);
        mark = u" (時差の記載なし、UTC とみなす)"_qs;
    }
    return time.toLocalTime().toString(u"yyyy/MM/dd HH:mm") + mark;
}

class Writer {
public:
    void line(QStringView label, const QString &value, int indent = 0)
    {
        if (value.isEmpty())
            return;
        m_text.append(QStringView(kMargin).first(indent)).append(label).append(u": ");
        appendSafe(m_text, value);
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

void writeNotices(Writer &out, QStringView label, const QList<RdapNotice> &notices, int indent = 0)
{
    const QStringView margin = QStringView(kMargin).first(indent);
    QString &text = out.text();
    for (const RdapNotice &notice : notices) {
        text.append(margin).append(label);
        if (!notice.title.isEmpty()) {
            text.append(u": ");
            appendSafe(text, notice.title);
        }
        text.append(u'\n');
        for (const QString &line : notice.description) {
            text.append(margin).append(u"  ");
            appendSafe(text, line);
            text.append(u'\n');
        }
    }
}

// Every event: registration, last changed and expiration first, then the
// others in the server's order; an unknown action under a fixed label, so
// a server cannot write a label of its own.
void writeEvents(Writer &out, const QList<RdapEvent> &events)
{
    QList<std::pair<RdapEventWord, const RdapEvent *>> words;
    for (const RdapEvent &event : events)
        words.append({ rdapEventWordFor(event.action), &event });
    std::stable_sort(words.begin(), words.end(),
        [](const auto &a, const auto &b) { return a.first.order < b.first.order; });
    for (const auto &[word, event] : words) {
        if (word.label.isEmpty())
            out.line(u"イベント", event->action + u' ' + localTime(event->date));
        else
            out.line(word.label, localTime(event->date));
    }
}

void writeStatus(Writer &out, const QStringList &status)
{
    for (const QString &value : status)
        out.line(u"状態", rdapStatusText(value));
}

QString orWithheld(const QString &value, const RdapContact &contact, RdapField field)
{
    return value.isEmpty() && contact.withheld.testFlag(field) ? kWithheld : value;
}

QStringList orWithheld(const QStringList &values, const RdapContact &contact, RdapField field)
{
    return values.isEmpty() && contact.withheld.testFlag(field) ? QStringList { kWithheld }
                                                                : values;
}

// A contact's lines; false when it has nothing to show.
bool writeContactLines(Writer &out, const RdapContact &contact, int indent)
{
    const qsizetype before = out.text().size();
    out.line(u"ハンドル", orWithheld(contact.handle, contact, RdapField::Handle), indent);
    out.line(u"名前", orWithheld(contact.name, contact, RdapField::Name), indent);
    out.line(u"組織", orWithheld(contact.organization, contact, RdapField::Organization), indent);
    out.lines(u"住所", orWithheld(contact.addresses, contact, RdapField::Address), indent);
    out.lines(u"メール", orWithheld(contact.emails, contact, RdapField::Email), indent);
    out.lines(u"電話", orWithheld(contact.phones, contact, RdapField::Phone), indent);
    out.lines(u"FAX", orWithheld(contact.faxes, contact, RdapField::Fax), indent);
    return out.text().size() > before;
}

// One contact to show, with every role it appears under.
struct ShownContact {
    const RdapContact *contact;
    QList<std::pair<RdapRoleWord, QString>> roles;
    QString heading;
    int order = 0; // of its first role
};

QString heading(QList<std::pair<RdapRoleWord, QString>> &roles)
{
    // Sorted and made unique here rather than checked role by role, which
    // would cost the square of a long list.
    std::sort(roles.begin(), roles.end(), [](const auto &a, const auto &b) {
        return std::pair(a.first.order, a.second) < std::pair(b.first.order, b.second);
    });
    roles.erase(std::unique(roles.begin(), roles.end(),
                    [](const auto &a, const auto &b) { return a.second == b.second; }),
        roles.end());
    QStringList words;
    for (const auto &[word, role] : roles)
        words << (word.heading.isEmpty() ? u"連絡先 ("_qs + safe(role) + u')' : word.heading.toString());
    return words.join(u'・');
}

// The contacts under their roles' headings. The registrar has a line of
// its own; a contact named by the same handle more than once is shown once,
// with its roles together; one with nothing to show is left out.
void writeContacts(Writer &out, const QList<RdapContact> &contacts)
{
    QList<ShownContact> shown;
    QHash<QString, qsizetype> byHandle;
    for (const RdapContact &contact : contacts) {
        qsizetype at = contact.handle.isEmpty() ? -1 : byHandle.value(contact.handle, -1);
        if (at < 0) {
            at = shown.size();
            shown.append({ &contact, {}, {} });
            if (!contact.handle.isEmpty())
                byHandle.insert(contact.handle, at);
        }
        for (const QString &role : contact.roles) {
            if (role != u"registrar")
                shown[at].roles.append({ rdapRoleWordFor(role), role });
        }
    }
    shown.removeIf([](const ShownContact &entry) { return entry.roles.isEmpty(); });
    for (ShownContact &entry : shown) {
        entry.heading = heading(entry.roles);
        entry.order = entry.roles.first().first.order;
    }
    std::stable_sort(shown.begin(), shown.end(),
        [](const ShownContact &a, const ShownContact &b) { return a.order < b.order; });
    for (const ShownContact &entry : shown) {
        const RdapContact &contact = *entry.contact;
        const qsizetype before = out.text().size();
        out.heading(entry.heading);
        if (!writeContactLines(out, contact, 2) && contact.remarks.isEmpty())
            out.text().truncate(before);
        writeNotices(out, u"備考", contact.remarks, 2);
    }
}

QString registrar(const QList<RdapContact> &contacts)
{
    for (const RdapContact &contact : contacts) {
        if (!contact.roles.contains(u"registrar"))
            continue;
        QString text = contact.name;
        if (text.isEmpty())
            text = contact.organization.isEmpty() ? contact.handle : contact.organization;
        if (!contact.ianaRegistrarIds.isEmpty())
            text += u" (IANA ID "_qs + contact.ianaRegistrarIds.first() + u')';
        return text;
    }
    return {};
}

QString nameWithUnicode(const RdapRecord &record)
{
    QString name = record.ldhName.isEmpty() ? record.unicodeName : record.ldhName;
    if (!record.unicodeName.isEmpty() && record.unicodeName.compare(name, Qt::CaseInsensitive))
        name += u" ("_qs + record.unicodeName + u')';
    return name;
}

void writeDomain(Writer &out, const RdapRecord &record)
{
    out.line(u"ドメイン名", nameWithUnicode(record));
    out.line(u"ハンドル", record.handle);
    writeStatus(out, record.status);
    writeEvents(out, record.events);
    out.line(u"レジストラ", registrar(record.contacts));
    out.lines(u"ネームサーバ", record.nameservers);
    if (record.delegationSigned)
        out.line(u"DNSSEC", *record.delegationSigned ? u"署名あり"_qs : u"署名なし"_qs);
    for (const RdapDsRecord &ds : record.dsRecords) {
        out.line(u"DS", u"キータグ %1, アルゴリズム %2, ダイジェスト種別 %3, ダイジェスト %4"_qs.arg(
                             ds.keyTag, ds.algorithm, ds.digestType, ds.digest));
    }
    out.line(u"whoisサーバ", record.port43);
}

void writeRange(Writer &out, const RdapRecord &record)
{
    const bool autnum = record.objectClass == RdapObjectClass::Autnum;
    const QString prefix = autnum ? u"AS"_qs : QString();
    QString range;
    if (!record.start.isEmpty())
        range = prefix + record.start;
    if (!record.end.isEmpty() && record.end != record.start)
        range += u" - "_qs + prefix + record.end;
    out.line(u"ハンドル", record.handle);
    out.line(u"範囲", range);
    out.lines(u"CIDR", record.cidrs);
    out.line(autnum ? u"AS名" : u"ネットワーク名", record.name);
    out.line(u"種別", record.type);
    out.line(u"国", record.country);
    out.line(u"親ハンドル", record.parentHandle);
    for (const QString &number : record.originAutnums)
        out.line(u"起点AS", u"AS"_qs + number);
    writeStatus(out, record.status);
    writeEvents(out, record.events);
}

void writeNameserver(Writer &out, const RdapRecord &record)
{
    out.line(u"ネームサーバ", nameWithUnicode(record));
    out.line(u"ハンドル", record.handle);
    out.lines(u"IPアドレス", record.ipAddresses);
    writeStatus(out, record.status);
    writeEvents(out, record.events);
}

} // namespace

QString renderRdapText(const RdapRecord &record, QByteArrayView json)
{
    Writer out;
    switch (record.objectClass) {
    case RdapObjectClass::Domain:
        writeDomain(out, record);
        break;
    case RdapObjectClass::IpNetwork:
    case RdapObjectClass::Autnum:
        writeRange(out, record);
        break;
    case RdapObjectClass::Nameserver:
        writeNameserver(out, record);
        break;
    case RdapObjectClass::Entity:
        writeContactLines(out, record.entity, 0);
        writeStatus(out, record.status);
        writeEvents(out, record.events);
        break;
    case RdapObjectClass::Other:
        out.line(u"ハンドル", record.handle);
        writeStatus(out, record.status);
        writeEvents(out, record.events);
        break;
    }
    writeContacts(out, record.contacts);
    if (!record.remarks.isEmpty() || !record.notices.isEmpty()) {
        out.blank();
        writeNotices(out, u"備考", record.remarks);
        writeNotices(out, u"通知", record.notices);
    }
    out.blank();
    out.heading(u"---- RDAP 応答 (JSON) ----");
    QString &text = out.text();
    appendIndentedJson(text, json, jsonLayoutLimit(json));
    text.append(u'\n');
    return text;
}
