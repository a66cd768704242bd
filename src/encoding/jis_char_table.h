#pragma once

#include <array>

// The characters of JIS X 0208 byte pairs, as ISO-2022-JP answers carry them:
// each pair is turned into its Shift_JIS code and that code into its code page
// 932 character. The 94 x 94 pairs of the standard range are looked up in a
// table built once; other bytes go through the same arithmetic.
class JisCharTable {
public:
    // A Shift_JIS code; for bytes outside 0x21-0x7E either byte may exceed 0xFF.
    struct ShiftJisCode {
        int lead;
        int trail;
    };

    static const JisCharTable &instance();

    // The standard JIS X 0208 to Shift_JIS arithmetic, applied to any bytes.
    static ShiftJisCode shiftJisCodeOf(unsigned char j1, unsigned char j2);

    // The character of a pair, or U+FFFD when its code is no code page 932
    // character.
    char16_t pairChar(unsigned char j1, unsigned char j2) const
    {
        const unsigned row = j1 - 0x21u;
        const unsigned cell = j2 - 0x21u;
        if (row < kSide && cell < kSide)
            return m_chars[row * kSide + cell];
        return charOfCode(shiftJisCodeOf(j1, j2));
    }

private:
    static constexpr unsigned kSide = 94;

    JisCharTable();
    static char16_t charOfCode(ShiftJisCode code);

    std::array<char16_t, std::size_t { kSide } * kSide> m_chars;
};
