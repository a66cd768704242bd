#pragma once

#include <QList>
#include <QString>

// A read-only text as it arrives: one buffer that text is appended to, and
// an index of where its lines start, extended over each appended piece. A
// line ends at CR LF, a lone CR or a lone LF (a CR LF split between two
// pieces is one line end); the characters are kept exactly as given.
//
// Beside the line starts the index keeps the column (in cells, see
// charCells) of every kCheckpointChars-th offset, so that columns and
// offsets of a very long line are found without scanning all of it.
class TextBuffer {
public:
    // Offsets are kept in 32 bits; text beyond this many characters is dropped.
    static constexpr qsizetype kMaxChars = 0xFFFFFFFE;
    static constexpr qsizetype kCheckpointChars = 4096;

    void clear();
    void append(QStringView text);
    // Shows a text kept elsewhere; the buffer shares it without copying.
    void setText(const QString &text);

    const QString &text() const { return m_text; }
    qsizetype size() const { return m_text.size(); }

    qsizetype lineCount() const { return m_lineStarts.size(); }
    qsizetype lineStart(qsizetype line) const { return m_lineStarts.at(line); }
    // The offset after the line's last character, before its line end.
    qsizetype lineEnd(qsizetype line) const;
    qsizetype lineOf(qsizetype offset) const;

    // The cells from the start of its line up to the offset.
    qsizetype columnAt(qsizetype offset) const;
    // The last offset of the line whose column is at most the given one.
    qsizetype offsetAtColumn(qsizetype line, qsizetype column) const;
    // The cells of the widest line.
    qsizetype maxColumns() const { return m_maxColumns; }

private:
    void index(qsizetype from);

    QString m_text;
    QList<quint32> m_lineStarts { 0 };
    QList<quint32> m_checkpointColumns;
    qsizetype m_column = 0; // column at the end of the text
    qsizetype m_maxColumns = 0;
};
