#include "text/folded_search.h"

#include <QChar>

#include <array>
#include <memory>

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

bool matchesAt(const char16_t *text, const FoldTable &fold, QStringView needle)
{
    for (qsizetype i = 1; i < needle.size(); ++i) {
        if (fold[text[i]] != needle[i].unicode())
            return false;
    }
    return true;
}

const char16_t *chars(QStringView text)
{
    return reinterpret_cast<const char16_t *>(text.data());
}

} // namespace

char16_t FoldedChar(char16_t c)
{
    return foldTable()[c];
}

QString Folded(QStringView text)
{
    QString folded(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        folded[i] = QChar(FoldedChar(text[i].unicode()));
    return folded;
}

qsizetype FindFolded(QStringView text, QStringView foldedNeedle, qsizetype from, qsizetype to)
{
    if (foldedNeedle.isEmpty())
        return -1;
    const FoldTable &fold = foldTable();
    const char16_t *hay = chars(text);
    const char16_t first = foldedNeedle[0].unicode();
    const qsizetype last = qMin(to, text.size() - foldedNeedle.size() + 1);
    for (qsizetype at = qMax<qsizetype>(from, 0); at < last; ++at) {
        if (fold[hay[at]] == first && matchesAt(hay + at, fold, foldedNeedle))
            return at;
    }
    return -1;
}

qsizetype FindFoldedBackward(
    QStringView text, QStringView foldedNeedle, qsizetype from, qsizetype to)
{
    if (foldedNeedle.isEmpty())
        return -1;
    const FoldTable &fold = foldTable();
    const char16_t *hay = chars(text);
    const char16_t first = foldedNeedle[0].unicode();
    const qsizetype begin = qMax<qsizetype>(from, 0);
    for (qsizetype at = qMin(to, text.size() - foldedNeedle.size() + 1) - 1; at >= begin; --at) {
        if (fold[hay[at]] == first && matchesAt(hay + at, fold, foldedNeedle))
            return at;
    }
    return -1;
}

void SlicedSearch::start(const QString &needle, qsizetype origin, qsizetype textSize, bool forward)
{
    m_needle = Folded(needle);
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
    m_match = m_forward ? FindFolded(text, m_needle, sliceFrom, sliceTo)
                        : FindFoldedBackward(text, m_needle, sliceFrom, sliceTo);
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
