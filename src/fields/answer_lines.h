#pragma once

#include <QStringView>

#include <optional>

// Bounds that keep every reader linear on hostile answers: only the first
// kMaxScannedChars characters are read, each line only up to kMaxLineChars,
// and a key must end within kMaxKeyChars. Real answers stay far below them.
inline constexpr qsizetype kMaxScannedChars = qsizetype(4) * 1024 * 1024;
inline constexpr qsizetype kMaxLineChars = 1024;
inline constexpr qsizetype kMaxKeyChars = 64;

// The lines of an answer, one at a time, without their line breaks.
class AnswerLines {
public:
    explicit AnswerLines(QStringView answer);

    // Sets `line` to the next line (cut to kMaxLineChars); false at the end.
    bool next(QStringView &line);

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

// A "key: value" line: both trimmed, with the line's leading blanks counted.
struct KeyValue {
    QStringView key;
    QStringView value;
    qsizetype indent = 0;
};

// Splits a line at its first colon; none when no colon ends a non-empty key
// within kMaxKeyChars or the line is a comment (% or #).
std::optional<KeyValue> splitKeyValue(QStringView line);

// The number of blanks (spaces and tabs) a line begins with.
qsizetype leadingBlanks(QStringView line);
