#include "rdap/raw_json_object.h"

namespace {

// Whether the UTF-8 of a name without escapes spells `name`; ASCII is
// compared as it is, without decoding.
bool spells(QByteArrayView bytes, QStringView name)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = uchar(bytes[i]);
        if (byte >= 0x80)
            return QString::fromUtf8(bytes) == name;
        if (i >= name.size() || name[i].unicode() != byte)
            return false;
    }
    return bytes.size() == name.size();
}

} // namespace

RawJsonObject::RawJsonObject(const RawJsonValue &object, std::initializer_list<QStringView> names)
{
    for (const QStringView name : names)
        m_members.append({ name, RawJsonValue() });
    if (!object.isObject())
        return;
    // The text runs on past the object, whose closing brace ends the loop.
    const QByteArrayView text = object.m_text;
    qsizetype at = RawJsonValue::skipBlanks(text, 1);
    while (at < text.size() && text[at] == '"') {
        const RawJsonValue written(text.sliced(at));
        const QByteArrayView spelt = written.text();
        const QByteArrayView bytes = spelt.sliced(1, spelt.size() - 2);
        const bool escaped = bytes.contains('\\');
        const QString decoded = escaped ? written.toString() : QString();
        const qsizetype colon = RawJsonValue::skipBlanks(text, at + spelt.size());
        at = RawJsonValue::skipBlanks(text, colon + 1);
        const RawJsonValue value(text.sliced(at));
        at = RawJsonValue::skipBlanks(text, at + value.text().size());
        for (Member &member : m_members) {
            if (escaped ? decoded == member.name : spells(bytes, member.name))
                member.value = value;
        }
        if (at < text.size() && text[at] == ',')
            at = RawJsonValue::skipBlanks(text, at + 1);
    }
    object.m_length = at + 1; // at the closing brace
}

RawJsonValue RawJsonObject::value(QStringView name) const
{
    for (const Member &member : m_members) {
        if (member.name == name)
            return member.value;
    }
    Q_ASSERT_X(false, "RawJsonObject::value", "a name that was not asked for");
    return {};
}
