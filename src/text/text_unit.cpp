#include "text/text_unit.h"

#include "text/text_buffer.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

TextSelection characterAround(const QString &text, qsizetype offset)
{
    if (offset >= text.size())
        return { text.size(), text.size() };
    const QChar c = text.at(offset);
    const QChar before = offset > 0 ? text.at(offset - 1) : QChar();
    const QChar after = offset + 1 < text.size() ? text.at(offset + 1) : QChar();
    if ((c == u'\r' && after == u'\n') || (c.isHighSurrogate() && after.isLowSurrogate()))
        return { offset, offset + 2 };
    if ((c == u'\n' && before == u'\r') || (c.isLowSurrogate() && before.isHighSurrogate()))
        return { offset - 1, offset + 1 };
    return { offset, offset + 1 };
}

// The segment between boundaries of the kind around the offset, which lies
// before the end of its line.
TextSelection segmentAround(const TextBuffer &buffer, qsizetype offset,
    QTextBoundaryFinder::BoundaryType kind, qsizetype lineStart, qsizetype lineEnd)
{
    const QString &text = buffer.text();
    qsizetype from = std::max(lineStart, offset - kBoundaryWindowChars);
    qsizetype to = std::min(lineEnd, offset + kBoundaryWindowChars);
    // The window never cuts a surrogate pair in two.
    if (from > lineStart && text.at(from).isLowSurrogate())
        --from;
    if (to < lineEnd && text.at(to).isLowSurrogate())
        ++to;
    QTextBoundaryFinder finder(kind, text.constData() + from, to - from);
    finder.setPosition(offset - from);
    qsizetype start = finder.isAtBoundary() ? finder.position() : finder.toPreviousBoundary();
    if (start < 0)
        start = 0;
    finder.setPosition(start);
    qsizetype end = finder.toNextBoundary();
    if (end < 0)
        end = to - from;
    return { from + start, from + end };
}

} // namespace

TextSelection textUnitAround(const TextBuffer &buffer, qsizetype offset, TextUnit unit)
{
    offset = std::clamp<qsizetype>(offset, 0, buffer.size());
    if (unit == TextUnit::Character)
        return characterAround(buffer.text(), offset);
    if (unit == TextUnit::Line)
        return lineAround(buffer, offset);

    const qsizetype line = buffer.lineOf(offset);
    const qsizetype lineEnd = buffer.lineEnd(line);
    if (offset >= lineEnd) {
        const qsizetype next =
            line + 1 < buffer.lineCount() ? buffer.lineStart(line + 1) : buffer.size();
        return next == lineEnd ? TextSelection { offset, offset } : TextSelection { lineEnd, next };
    }
    const auto kind =
        unit == TextUnit::Word ? QTextBoundaryFinder::Word : QTextBoundaryFinder::Sentence;
    return segmentAround(buffer, offset, kind, buffer.lineStart(line), lineEnd);
}
