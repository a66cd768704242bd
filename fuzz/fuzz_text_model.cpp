// Builds random texts of line ends, surrogate halves and letters that fold,
// appends them in random pieces and aborts when the model loses hold of
// them: a caret step that leaves the text or stops inside a line end or a
// pair, a selection left inside one after an append, or a find that answers
// otherwise than a plain scan of the folded text.
//
// Input: byte 0 is the largest piece size less one; byte 1 the needle's
// length; byte 2 the origin of the find, as a share of the text; the rest
// are the characters, one byte each from a small alphabet.

#include "text/folded_search.h"
#include "text/text_buffer.h"
#include "text/text_selection.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_text_model: %s\n", what);
    std::abort();
}

bool isCaretPlace(QStringView text, qsizetype at)
{
    if (at < 0 || at > text.size())
        return false;
    if (at == 0 || at == text.size())
        return true;
    return !(text[at - 1] == u'\r' && text[at] == u'\n')
        && !(text[at - 1].isHighSurrogate() && text[at].isLowSurrogate());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    constexpr std::size_t kHeader = 3;
    if (size < kHeader)
        return 0;
    static const char16_t alphabet[] = { u'a', u'A', u'\r', u'\n', 0xD840, 0xDC0B, 0xFF21,
        u'\t', u'1', 0xFF11 };
    QString text;
    for (std::size_t i = kHeader; i < size; ++i)
        text += QChar(alphabet[data[i] % std::size(alphabet)]);

    TextBuffer buffer;
    TextSelection selection;
    const qsizetype largestPiece = data[0] + 1;
    for (qsizetype at = 0, round = 0; at < text.size(); ++round) {
        const qsizetype piece = std::min(1 + (round * 7919) % largestPiece, text.size() - at);
        selection = { (round * 31) % (buffer.size() + 1), buffer.size() };
        buffer.append(QStringView(text).sliced(at, piece));
        at += piece;
        selection = onCaretPlaces(buffer, selection);
        if (!isCaretPlace(buffer.text(), selection.anchor)
            || !isCaretPlace(buffer.text(), selection.caret))
            fail("a selection inside a character after an append");
    }
    if (buffer.text() != text)
        fail("the text differs from what was appended");
    for (qsizetype at = 0; at <= text.size(); ++at) {
        const qsizetype previous = previousCaretOffset(buffer, at);
        const qsizetype next = nextCaretOffset(buffer, at);
        if (!isCaretPlace(text, previous) || !isCaretPlace(text, next))
            fail("a caret step off the caret places");
        if ((at > 0 && previous >= at) || (at < text.size() && next <= at))
            fail("a caret step that does not move");
    }

    const qsizetype needleLength = std::min<qsizetype>(data[1] % 8 + 1, text.size());
    if (needleLength == 0)
        return 0;
    const QString needle = text.first(needleLength);
    const qsizetype origin = text.size() * data[2] / 255;
    const QString foldedText = folded(text);
    const QString foldedNeedle = folded(needle);
    for (const bool forward : { true, false }) {
        qsizetype expected = forward ? foldedText.indexOf(foldedNeedle, origin)
                                     : (origin > 0 ? foldedText.lastIndexOf(foldedNeedle, origin - 1) : -1);
        if (expected < 0)
            expected = forward ? foldedText.indexOf(foldedNeedle) : foldedText.lastIndexOf(foldedNeedle);
        SlicedSearch search;
        search.start(needle, origin, text.size(), forward);
        while (search.step(text, 1 + data[0] % 17) == SlicedSearch::State::Running) { }
        const qsizetype found =
            search.state() == SlicedSearch::State::Found ? search.matchStart() : -1;
        if (found != expected)
            fail("find differs from a plain scan");
    }
    return 0;
}
