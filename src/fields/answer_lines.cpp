#include "fields/answer_lines.h"

#include <algorithm>

AnswerLines::AnswerLines(QStringView answer)
    : m_text(answer.first(std::min(answer.size(), kMaxScannedChars)))
{
}

bool AnswerLines::next(QStringView &line)
{
    if (m_pos >= m_text.size())
        return false;
    qsizetype end = m_text.indexOf(u'\n', m_pos);
    if (end < 0)
        end = m_text.size();
    line = m_text.sliced(m_pos, std::min(end - m_pos, kMaxLineChars));
    m_pos = end + 1;
    if (line.endsWith(u'\r'))
        line.chop(1);
    return true;
}

qsizetype leadingBlanks(QStringView line)
{
    qsizetype count = 0;
    while (count < line.size() && (line[count] == u' ' || line[count] == u'\t'))
        ++count;
    return count;
}

std::optional<KeyValue> splitKeyValue(QStringView line)
{
    const qsizetype indent = leadingBlanks(line);
    const QStringView rest = line.sliced(indent);
    if (rest.startsWith(u'%') || rest.startsWith(u'#'))
        return std::nullopt;
    const qsizetype colon = rest.first(std::min(rest.size(), kMaxKeyChars)).indexOf(u':');
    if (colon <= 0)
        return std::nullopt;
    const QStringView key = rest.first(colon).trimmed();
    if (key.isEmpty())
        return std::nullopt;
    return KeyValue { key, rest.sliced(colon + 1).trimmed(), indent };
}
