#include "text/text_selection.h"

#include "text/text_buffer.h"

#include <QChar>

#include <algorithm>

namespace {

enum class CharClass { Word, Blank, Other };

CharClass classOf(QChar c)
{
    if (c.isLetterOrNumber() || c == u'_' || c.isSurrogate())
        return CharClass::Word;
    return c.isSpace() ? CharClass::Blank : CharClass::Other;
}

} // namespace

qsizetype nextCaretOffset(const TextBuffer &buffer, qsizetype offset)
{
    offset = std::clamp<qsizetype>(offset, 0, buffer.size());
    const qsizetype line = buffer.lineOf(offset);
    if (offset >= buffer.lineEnd(line))
        return line + 1 < buffer.lineCount() ? buffer.lineStart(line + 1) : buffer.lineEnd(line);
    const QString &text = buffer.text();
    const bool pair = offset + 1 < buffer.lineEnd(line) && text.at(offset).isHighSurrogate()
        && text.at(offset + 1).isLowSurrogate();
    return offset + (pair ? 2 : 1);
}

qsizetype previousCaretOffset(const TextBuffer &buffer, qsizetype offset)
{
    offset = std::clamp<qsizetype>(offset, 0, buffer.size());
    const qsizetype line = buffer.lineOf(offset);
    // Inside a line end (between CR and LF): the place before it.
    if (offset > buffer.lineEnd(line))
        return buffer.lineEnd(line);
    if (offset <= buffer.lineStart(line))
        return line > 0 ? buffer.lineEnd(line - 1) : 0;
    const QString &text = buffer.text();
    const qsizetype end = qMin(offset, buffer.lineEnd(line));
    const bool pair = end - 2 >= buffer.lineStart(line) && text.at(end - 1).isLowSurrogate()
        && text.at(end - 2).isHighSurrogate();
    return end - (pair ? 2 : 1);
}

qsizetype caretPlace(const TextBuffer &buffer, qsizetype offset)
{
    offset = std::clamp<qsizetype>(offset, 0, buffer.size());
    const qsizetype line = buffer.lineOf(offset);
    // Between CR and LF the caret stood at the start of the next line.
    if (offset > buffer.lineEnd(line))
        return buffer.lineStart(line + 1);
    const QString &text = buffer.text();
    const bool insidePair = offset > buffer.lineStart(line) && offset < buffer.lineEnd(line)
        && text.at(offset).isLowSurrogate() && text.at(offset - 1).isHighSurrogate();
    return offset - (insidePair ? 1 : 0);
}

TextSelection onCaretPlaces(const TextBuffer &buffer, const TextSelection &selection)
{
    return { caretPlace(buffer, selection.anchor), caretPlace(buffer, selection.caret) };
}

TextSelection wordAround(const TextBuffer &buffer, qsizetype offset)
{
    const qsizetype line = buffer.lineOf(offset);
    const qsizetype lineStart = buffer.lineStart(line);
    const qsizetype lineEnd = buffer.lineEnd(line);
    if (lineStart == lineEnd)
        return { lineStart, lineStart };
    const QString &text = buffer.text();
    const qsizetype at = qMin(offset, lineEnd - 1);
    const CharClass kind = classOf(text.at(at));
    qsizetype start = at;
    while (start > lineStart && classOf(text.at(start - 1)) == kind)
        --start;
    qsizetype end = at + 1;
    while (end < lineEnd && classOf(text.at(end)) == kind)
        ++end;
    return { start, end };
}

TextSelection lineAround(const TextBuffer &buffer, qsizetype offset)
{
    const qsizetype line = buffer.lineOf(offset);
    const qsizetype end =
        line + 1 < buffer.lineCount() ? buffer.lineStart(line + 1) : buffer.size();
    return { buffer.lineStart(line), end };
}
