#include "settings/profile_text.h"

#include "encoding/code_page_932.h"

#include <QString>

namespace {

// Spaces and tabs; neither can be the second byte of a double-byte character.
QByteArrayView trimmed(QByteArrayView bytes)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!bytes.isEmpty() && isBlank(bytes.front()))
        bytes = bytes.sliced(1);
    while (!bytes.isEmpty() && isBlank(bytes.back()))
        bytes.chop(1);
    return bytes;
}

bool sameName(const QString &a, QStringView b)
{
    return QStringView(a).compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// The name of a "[name]" header line, or none for any other line. The text is
// decoded first: "]" can be the second byte of a double-byte character.
std::optional<QString> sectionName(QByteArrayView line)
{
    const QString text = CodePage932::decode(trimmed(line));
    const qsizetype close = text.indexOf(u']');
    if (!text.startsWith(u'[') || close < 0)
        return std::nullopt;
    return text.sliced(1, close - 1).trimmed();
}

// "=" cannot be part of a double-byte character, so the first "=" byte is the
// first "=" of the text.
qsizetype equalsSign(QByteArrayView line)
{
    const QByteArrayView text = trimmed(line);
    if (text.isEmpty() || text.front() == ';')
        return -1;
    return line.indexOf('=');
}

QByteArrayView cutToMaxValue(QByteArrayView value)
{
    qsizetype size = 0;
    while (size < value.size()) {
        const bool isPair = CodePage932::isLeadByte(static_cast<unsigned char>(value[size]))
            && size + 1 < value.size();
        const qsizetype next = size + (isPair ? 2 : 1);
        if (next > ProfileText::kMaxValueBytes)
            break;
        size = next;
    }
    return value.first(size);
}

} // namespace

ProfileText::ProfileText(QByteArray bytes) : m_bytes(std::move(bytes))
{
    qsizetype begin = 0;
    while (begin < m_bytes.size()) {
        qsizetype textEnd = begin;
        while (textEnd < m_bytes.size() && m_bytes[textEnd] != '\r' && m_bytes[textEnd] != '\n')
            ++textEnd;
        qsizetype end = textEnd;
        if (end < m_bytes.size() && m_bytes[end] == '\r')
            ++end;
        if (end < m_bytes.size() && m_bytes[end] == '\n')
            ++end;
        m_lines.append({ begin, textEnd, end });
        begin = end;
    }
}

std::optional<QByteArray> ProfileText::value(QStringView section, QStringView key) const
{
    const qsizetype entry = find(section, key).entry;
    if (entry < 0)
        return std::nullopt;
    const QByteArrayView line = text(m_lines[entry]);
    const QByteArrayView value = trimmed(line.sliced(equalsSign(line) + 1));
    return cutToMaxValue(value).toByteArray();
}

QByteArray ProfileText::withEntry(
    QStringView section, QStringView key, const QByteArray &entryLine) const
{
    const Place place = find(section, key);
    if (place.entry >= 0) {
        const Line &line = m_lines[place.entry];
        return m_bytes.first(line.begin) + entryLine + m_bytes.sliced(line.textEnd);
    }

    const QByteArray eol = lineEnd();
    QByteArray added = entryLine + eol;
    qsizetype at = m_bytes.size();
    if (place.lastOfSection >= 0) {
        at = m_lines[place.lastOfSection].end;
    } else {
        added.prepend('[' + CodePage932::encode(section) + ']' + eol);
    }
    // The line before the new ones may be the last one, without a line end.
    if (at > 0 && m_bytes[at - 1] != '\n' && m_bytes[at - 1] != '\r')
        added.prepend(eol);
    return m_bytes.first(at) + added + m_bytes.sliced(at);
}

ProfileText::Place ProfileText::find(QStringView section, QStringView key) const
{
    Place place;
    bool inSection = false;
    bool inFirstSection = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QByteArrayView line = text(m_lines[i]);
        if (const std::optional<QString> name = sectionName(line)) {
            inSection = sameName(*name, section);
            inFirstSection = inSection && place.lastOfSection < 0;
            if (inFirstSection)
                place.lastOfSection = i;
            continue;
        }
        if (!inSection)
            continue;
        if (inFirstSection && !trimmed(line).isEmpty())
            place.lastOfSection = i;
        const qsizetype equals = equalsSign(line);
        if (equals >= 0 && sameName(CodePage932::decode(trimmed(line.first(equals))), key)) {
            place.entry = i;
            return place;
        }
    }
    return place;
}

QByteArrayView ProfileText::text(const Line &line) const
{
    return QByteArrayView(m_bytes).sliced(line.begin, line.textEnd - line.begin);
}

// New lines end like the file's first line; CR LF in a file without any.
QByteArray ProfileText::lineEnd() const
{
    for (const Line &line : m_lines) {
        if (line.end > line.textEnd)
            return m_bytes.sliced(line.textEnd, line.end - line.textEnd);
    }
    return QByteArrayLiteral("\r\n");
}
