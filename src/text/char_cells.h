#pragma once

#include <QtGlobal>

// How many cells of a fixed-pitch grid a UTF-16 unit takes: East Asian wide
// characters two, a character beyond the BMP two (counted on its high
// surrogate, its low surrogate none), a tab up to the next multiple of 8,
// everything else one.
inline constexpr qsizetype kTabCells = 8;

constexpr qsizetype charCells(char16_t c, qsizetype column)
{
    if (c < 0x1100)
        return c == u'\t' ? kTabCells - column % kTabCells : 1;
    if (c >= 0xDC00 && c <= 0xDFFF)
        return 0;
    if (c >= 0xD800 && c <= 0xDBFF)
        return 2;
    const bool wide = c <= 0x115F || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F)
        || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF)
        || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60)
        || (c >= 0xFFE0 && c <= 0xFFE6);
    return wide ? 2 : 1;
}
