#pragma once

#include <QtGlobal>

class TextBuffer;

// The caret and the selection of a read-only text, as offsets into its
// buffer: the selection runs between the anchor and the caret.
struct TextSelection {
    qsizetype anchor = 0;
    qsizetype caret = 0;

    bool hasSelection() const { return anchor != caret; }
    qsizetype start() const { return qMin(anchor, caret); }
    qsizetype end() const { return qMax(anchor, caret); }

    // Moves the caret; without keepAnchor the selection collapses onto it.
    void moveTo(qsizetype offset, bool keepAnchor)
    {
        caret = offset;
        if (!keepAnchor)
            anchor = offset;
    }
};

// Where the caret may stand: never inside a line end or between the two
// halves of a surrogate pair. Any offset is accepted, also one that stopped
// being a caret place when the text grew (after a CR that an LF then joined,
// or after half a pair); the answer is always a caret place.
qsizetype nextCaretOffset(const TextBuffer &buffer, qsizetype offset);
qsizetype previousCaretOffset(const TextBuffer &buffer, qsizetype offset);
// The caret place an offset within the text stands for: after the line end
// it is inside, before the pair it is inside.
qsizetype caretPlace(const TextBuffer &buffer, qsizetype offset);
// The selection with both ends moved onto caret places, as after an append.
TextSelection onCaretPlaces(const TextBuffer &buffer, const TextSelection &selection);

// The run of word characters (letters, digits, underscore), of blanks, or of
// other characters around the offset, within its line.
TextSelection wordAround(const TextBuffer &buffer, qsizetype offset);
// The whole line of the offset, with its line end.
TextSelection lineAround(const TextBuffer &buffer, qsizetype offset);
