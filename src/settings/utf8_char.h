#pragma once

// One strict UTF-8 sequence read from the front of a byte range: no overlong
// forms, no surrogates, nothing above U+10FFFF.
struct Utf8Char {
    char32_t codePoint;
    // The sequence's size, or 0 when the bytes begin no valid sequence.
    int size;
    // With size 0: the bytes end before a sequence that was valid so far.
    bool incomplete;
};

// Reads the sequence at p; p must be before end.
Utf8Char ReadUtf8(const unsigned char *p, const unsigned char *end);
