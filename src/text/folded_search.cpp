#include "text/folded_search.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace {

using FoldTable = std::array<char16_t, 0x10000>;

std::unique_ptr<FoldTable> makeFoldTable()
{
    auto table = std::make_unique<FoldTable>();
    for (char32_t c = 0; c < 0x10000; ++c) {
        char16_t folded = static_cast<char16_t>(c);
        const bool fullWidth = (c >= 0xFF10 && c <= 0xFF19) || (c >= 0xFF21 && c <= 0xFF3A)
            || (c >= 0xFF41 && c <= 0xFF5A);
        if (fullWidth)
            folded = static_cast<char16_t>(c - 0xFEE0);
        if (!QChar::isSurrogate(folded))
            folded = static_cast<char16_t>(QChar::toCaseFolded(folded));
        (*table)[c] = folded;
    }
    return table;
}

const FoldTable &foldTable()
{
    static const std::unique_ptr<FoldTable> table = makeFoldTable();
    return *table;
}

// For each prefix of the needle, the length of its longest proper prefix
// that is also its suffix: how far a partial match falls back on a mismatch,
// so that no character of the text is looked at more than twice.
std::vector<qsizetype> borders(QStringView needle)
{
    std::vector<qsizetype> border(needle.size(), 0);
    qsizetype length = 0;
    for (qsizetype i = 1; i < needle.size(); ++i) {
        while (length > 0 && needle[i] != needle[length])
            length = border[length - 1];
        if (needle[i] == needle[length])
            ++length;
        border[i] = length;
    }
    return border;
}

// Scans the text from `begin` by `direction` (1 or -1) for `count`
// characters and returns the offset where the needle's last character (in
// scan order) was matched, or -1.
qsizetype scan(const char16_t *hay, qsizetype begin, qsizetype count, int direction,
    QStringView needle)
{
    const FoldTable &fold = foldTable();
    const std::vector<qsizetype> border = borders(needle);
    qsizetype matched = 0;
    for (qsizetype n = 0, at = begin; n < count; ++n, at += direction) {
        const char16_t c = fold[hay[at]];
        while (matched > 0 && c != needle[matched].unicode())
            matched = border[matched - 1];
        if (c == needle[matched].unicode())
            ++matched;
        if (matched == needle.size())
            return at;
    }
    return -1;
}

const char16_t *chars(QStringView text)
{
    return reinterpret_cast<const char16_t *>(text.data());
}

} // namespace

char16_t foldedChar(char16_t c)
{
    return foldTable()[c];
}

QString folded(QStringView text)
{
    QString folded(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        folded[i] = QChar(foldedChar(text[i].unicode()));
    return folded;
}

qsizetype findFolded(QStringView text, QStringView foldedNeedle, qsizetype from, qsizetype to)
{
    const qsizetype begin = qMax<qsizetype>(from, 0);
    // A match starting before `to` ends before to + needle size - 1.
    const qsizetype end = qMin(text.size(), qMin(to, text.size()) + foldedNeedle.size() - 1);
    if (foldedNeedle.isEmpty() || end - begin < foldedNeedle.size())
        return -1;
    const qsizetype last = scan(chars(text), begin, end - begin, 1, foldedNeedle);
    return last < 0 ? -1 : last - foldedNeedle.size() + 1;
}

qsizetype findFoldedBackward(
    QStringView text, QStringView foldedNeedle, qsizetype from, qsizetype to)
{
    const qsizetype begin = qMax<qsizetype>(from, 0);
    const qsizetype end = qMin(text.size(), qMin(to, text.size()) + foldedNeedle.size() - 1);
    if (foldedNeedle.isEmpty() || end - begin < foldedNeedle.size())
        return -1;
    // From the end backwards with the needle reversed: the first match met
    // is the one that starts last.
    QString reversed = foldedNeedle.toString();
    std::reverse(reversed.begin(), reversed.end());
    return scan(chars(text), end - 1, end - begin, -1, reversed);
}

void SlicedSearch::start(const QString &needle, qsizetype origin, qsizetype textSize, bool forward)
{
    m_needle = folded(needle);
    m_forward = forward;
    m_from = forward ? origin : 0;
    m_to = forward ? textSize : origin;
    m_wrapFrom = forward ? 0 : origin;
    m_wrapTo = forward ? origin : textSize;
    m_wrapped = false;
    m_match = -1;
    m_state = m_needle.isEmpty() ? State::NotFound : State::Running;
}

SlicedSearch::State SlicedSearch::step(QStringView text, qsizetype sliceChars)
{
    if (m_state != State::Running)
        return m_state;
    // Forward the range shrinks from its front, backward from its back.
    const qsizetype sliceFrom = m_forward ? m_from : qMax(m_from, m_to - sliceChars);
    const qsizetype sliceTo = m_forward ? qMin(m_to, m_from + sliceChars) : m_to;
    m_match = m_forward ? findFolded(text, m_needle, sliceFrom, sliceTo)
                        : findFoldedBackward(text, m_needle, sliceFrom, sliceTo);
    if (m_match >= 0)
        return m_state = State::Found;
    if (m_forward)
        m_from = sliceTo;
    else
        m_to = sliceFrom;
    if (m_from < m_to)
        return m_state;
    if (m_wrapped)
        return m_state = State::NotFound;
    m_wrapped = true;
    m_from = m_wrapFrom;
    m_to = m_wrapTo;
    return m_state;
}
