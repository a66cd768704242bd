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

// Reads the sequence at p; p must be before end. Inline: the decoder calls
// it for every character of a Japanese answer.
inline Utf8Char readUtf8(const unsigned char *p, const unsigned char *end)
{
    constexpr Utf8Char kInvalid { 0, 0, false };
    const unsigned char lead = p[0];
    if (lead < 0x80)
        return { lead, 1, false };
    int size = 0;
    char32_t codePoint = 0;
    // The range of the second byte narrows to keep out overlong forms,
    // surrogates and code points above U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0xC2)
        return kInvalid;
    if (lead < 0xE0) {
        size = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead < 0xF0) {
        size = 3;
        codePoint = lead & 0x0Fu;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead < 0xF5) {
        size = 4;
        codePoint = lead & 0x07u;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return kInvalid;
    }
    for (int k = 1; k < size; ++k) {
        if (p + k == end)
            return { 0, 0, true };
        const unsigned char next = p[k];
        if (next < low || next > high)
            return kInvalid;
        codePoint = (codePoint << 6) | (next & 0x3Fu);
        low = 0x80;
        high = 0xBF;
    }
    return { codePoint, size, false };
}
