#include "text/text_buffer.h"

#include "text/char_cells.h"

#include <algorithm>

void TextBuffer::clear()
{
    setText(QString());
}

void TextBuffer::setText(const QString &text)
{
    m_text = text.size() > kMaxChars ? text.first(kMaxChars) : text;
    m_lineStarts = { 0 };
    m_checkpointColumns.clear();
    m_column = 0;
    m_maxColumns = 0;
    index(0);
}

void TextBuffer::append(QStringView text)
{
    const qsizetype from = m_text.size();
    m_text.append(text.first(std::min(text.size(), kMaxChars - from)));
    index(from);
}

void TextBuffer::index(qsizetype from)
{
    const char16_t *chars = reinterpret_cast<const char16_t *>(m_text.constData());
    const qsizetype size = m_text.size();
    // Room for a line start at every line end first, so that the scan
    // below writes them without growing the list one by one.
    const qsizetype lineEnds = std::count_if(
        chars + from, chars + size, [](char16_t c) { return c == u'\n' || c == u'\r'; });
    qsizetype count = m_lineStarts.size();
    m_lineStarts.resize(count + lineEnds);
    quint32 *starts = m_lineStarts.data();

    qsizetype column = m_column;
    qsizetype at = from;
    while (at < size) {
        if (at % kCheckpointChars == 0)
            m_checkpointColumns.append(
                static_cast<quint32>(std::min<qsizetype>(column, 0xFFFFFFFF)));
        const qsizetype checkpointEnd =
            std::min(size, (at / kCheckpointChars + 1) * kCheckpointChars);
        for (; at < checkpointEnd; ++at) {
            const char16_t c = chars[at];
            // Most characters take one cell and end nothing.
            if (c > u'\r' && c < 0x1100) {
                ++column;
                continue;
            }
            if (c == u'\n') {
                // The LF of a CR LF moves the line start the CR gave one further.
                if (at > 0 && chars[at - 1] == u'\r' && starts[count - 1] == at)
                    starts[count - 1] = static_cast<quint32>(at + 1);
                else
                    starts[count++] = static_cast<quint32>(at + 1);
            } else if (c == u'\r') {
                starts[count++] = static_cast<quint32>(at + 1);
            } else {
                column += charCells(c, column);
                continue;
            }
            m_maxColumns = std::max(m_maxColumns, column);
            column = 0;
        }
    }
    m_maxColumns = std::max(m_maxColumns, column);
    m_lineStarts.resize(count);
    m_column = column;
}

qsizetype TextBuffer::lineEnd(qsizetype line) const
{
    if (line + 1 >= lineCount())
        return m_text.size();
    const qsizetype next = lineStart(line + 1);
    const bool crLf =
        next - 2 >= lineStart(line) && m_text.at(next - 1) == u'\n' && m_text.at(next - 2) == u'\r';
    return next - (crLf ? 2 : 1);
}

qsizetype TextBuffer::lineOf(qsizetype offset) const
{
    const auto after = std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), offset);
    return std::max<qsizetype>(0, after - m_lineStarts.cbegin() - 1);
}

qsizetype TextBuffer::columnAt(qsizetype offset) const
{
    const qsizetype start = lineStart(lineOf(offset));
    qsizetype at = offset / kCheckpointChars * kCheckpointChars;
    qsizetype column = 0;
    if (at >= start && at < m_text.size()) {
        column = m_checkpointColumns.at(at / kCheckpointChars);
    } else {
        at = start;
    }
    for (; at < offset; ++at)
        column += charCells(m_text.at(at).unicode(), column);
    return column;
}

qsizetype TextBuffer::offsetAtColumn(qsizetype line, qsizetype column) const
{
    const qsizetype start = lineStart(line);
    const qsizetype end = lineEnd(line);
    // Columns grow along a line: take the last checkpoint of the line that
    // is not past the column and scan on from there.
    qsizetype first = (start + kCheckpointChars - 1) / kCheckpointChars;
    qsizetype last = std::min((end - 1) / kCheckpointChars, m_checkpointColumns.size() - 1);
    qsizetype at = start;
    qsizetype atColumn = 0;
    while (first <= last) {
        const qsizetype middle = first + (last - first) / 2;
        if (m_checkpointColumns.at(middle) <= column) {
            at = middle * kCheckpointChars;
            atColumn = m_checkpointColumns.at(middle);
            first = middle + 1;
        } else {
            last = middle - 1;
        }
    }
    while (at < end) {
        const qsizetype next = atColumn + charCells(m_text.at(at).unicode(), atColumn);
        if (next > column)
            break;
        atColumn = next;
        ++at;
    }
    return at;
}
