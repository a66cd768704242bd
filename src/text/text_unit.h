#pragma once

#include "text/text_selection.h"

class TextBuffer;

// The units assistive technology reads a text by.
enum class TextUnit { Character, Word, Sentence, Line };

// The unit that holds the offset, as a range of the buffer; units of one
// kind follow each other without gaps, so the unit before one ends at its
// start and the unit after it starts at its end.
// - Character: one character; a surrogate pair and a CR LF count as one.
// - Word, Sentence: the segments between Unicode's word or sentence
//   boundaries within the line (blanks between words are segments of their
//   own); the line end is a unit of its own. Only kBoundaryWindowChars on
//   either side of the offset are looked at, so a segment longer than that
//   in a very long line is cut there.
// - Line: the line with its line end.
// At the end of the text a character, word or sentence is empty there, a
// line is the last line.
TextSelection textUnitAround(const TextBuffer &buffer, qsizetype offset, TextUnit unit);

inline constexpr qsizetype kBoundaryWindowChars = 4096;
