#include "settings/utf8_char.h"

Utf8Char ReadUtf8(const unsigned char *p, const unsigned char *end)
{
    constexpr Utf8Char invalid { 0, 0, false };
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
        return invalid;
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
        return invalid;
    }
    for (int k = 1; k < size; ++k) {
        if (p + k == end)
            return { 0, 0, true };
        const unsigned char next = p[k];
        if (next < low || next > high)
            return invalid;
        codePoint = (codePoint << 6) | (next & 0x3Fu);
        low = 0x80;
        high = 0xBF;
    }
    return { codePoint, size, false };
}
