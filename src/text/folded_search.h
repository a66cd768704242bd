#pragma once

#include <QString>

// Find in a read-only text: without regard to case, and with the full-width
// ASCII letters and digits (U+FF10..U+FF19, U+FF21..U+FF3A, U+FF41..U+FF5A)
// matching their half-width forms. No other folding is done, and a folded
// character is one UTF-16 unit as before, so offsets stay those of the text.

char16_t foldedChar(char16_t c);
QString folded(QStringView text);

// The first match of the folded needle that starts in [from, to), or -1.
// A match may run past `to` up to the end of the text.
qsizetype findFolded(QStringView text, QStringView foldedNeedle, qsizetype from, qsizetype to);
// The last match that starts in [from, to), or -1.
qsizetype findFoldedBackward(
    QStringView text, QStringView foldedNeedle, qsizetype from, qsizetype to);

// One find through a text, done a slice at a time so that a long text never
// holds up the caller for long: from an origin to one end of the text, then
// around from the other end back to the origin.
class SlicedSearch {
public:
    enum class State { Idle, Running, Found, NotFound };

    // Forward finds the first match starting at or after the origin,
    // backward the last starting before it. textSize is the text's size now.
    void start(const QString &needle, qsizetype origin, qsizetype textSize, bool forward);
    void cancel() { m_state = State::Idle; }

    // Looks at up to sliceChars more places where a match could start.
    State step(QStringView text, qsizetype sliceChars);

    State state() const { return m_state; }
    qsizetype matchStart() const { return m_match; }
    qsizetype matchLength() const { return m_needle.size(); }

private:
    QString m_needle;
    bool m_forward = true;
    // The two ranges of start offsets still to look at: the one being
    // searched is [m_from, m_to), the wrapped one [m_wrapFrom, m_wrapTo).
    qsizetype m_from = 0;
    qsizetype m_to = 0;
    qsizetype m_wrapFrom = 0;
    qsizetype m_wrapTo = 0;
    bool m_wrapped = false;
    qsizetype m_match = -1;
    State m_state = State::Idle;
};
