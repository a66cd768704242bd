#pragma once

#include <QByteArray>
#include <QList>
#include <QStringView>

#include <optional>

// The lines of an INI file in the private-profile format, as the raw bytes
// of code page 932: "[section]" headers and "key=value" entries. Lines end at
// CR LF, LF or a lone CR. Section and key names match without regard to case
// and without the blanks (spaces, tabs) around them; lines that start with ";"
// are comments.
class ProfileText {
public:
    // A value is cut to this many bytes, never between the two bytes of a
    // double-byte character.
    static constexpr qsizetype kMaxValueBytes = 1023;

    explicit ProfileText(QByteArray bytes);

    // The bytes of the first entry of the key in a section of that name,
    // without the blanks around them and cut to kMaxValueBytes; none when the
    // key is missing.
    std::optional<QByteArray> value(QStringView section, QStringView key) const;

    // The whole file with entryLine in place of the key's first entry, or
    // added after the last entry of the first section of that name, or in a
    // new section at the end. Every other line keeps its bytes and its end.
    QByteArray withEntry(QStringView section, QStringView key, const QByteArray &entryLine) const;

private:
    struct Line {
        qsizetype begin;
        qsizetype textEnd; // where the line end starts
        qsizetype end; // after the line end
    };

    // Line numbers of the key's entry and of the last non-blank line of the
    // first section of the name; -1 where there is none.
    struct Place {
        qsizetype entry = -1;
        qsizetype lastOfSection = -1;
    };

    Place find(QStringView section, QStringView key) const;
    QByteArrayView text(const Line &line) const;
    QByteArray lineEnd() const;

    QByteArray m_bytes;
    QList<Line> m_lines;
};
