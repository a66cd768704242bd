#include "encoding/jis_char_table.h"

#include "encoding/code_page_932.h"

const JisCharTable &JisCharTable::instance()
{
    static const JisCharTable table;
    return table;
}

JisCharTable::ShiftJisCode JisCharTable::shiftJisCodeOf(unsigned char j1, unsigned char j2)
{
    const int t = j1 - 0x21;
    const bool even = t % 2 == 0;
    int trail = j2 + (even ? 0x1F : 0x7E);
    const int row = even ? t / 2 : (t - 1) / 2;
    // The trail byte skips 0x7F.
    if (trail >= 0x7F && trail <= 0x9D)
        ++trail;
    const int lead = row <= 0x1E ? row + 0x81 : row + 0xC1;
    return { lead, trail };
}

JisCharTable::JisCharTable()
{
    for (unsigned row = 0; row < kSide; ++row) {
        for (unsigned cell = 0; cell < kSide; ++cell) {
            m_chars[row * kSide + cell] = charOfCode(shiftJisCodeOf(
                static_cast<unsigned char>(0x21 + row), static_cast<unsigned char>(0x21 + cell)));
        }
    }
}

char16_t JisCharTable::charOfCode(ShiftJisCode code)
{
    if (code.lead < 0 || code.lead > 0xFF || code.trail < 0 || code.trail > 0xFF)
        return CodePage932::kReplacement;
    return CodePage932::doubleByteChar(
        static_cast<unsigned char>(code.lead), static_cast<unsigned char>(code.trail));
}
