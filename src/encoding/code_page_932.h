#pragma once

#include <QByteArray>
#include <QString>

// Conversion between Unicode and code page 932 (the Windows form of
// Shift_JIS): the encoding of the key on the wire, of the text files the
// program reads, and of the double-byte characters of ISO-2022-JP answers.
// All code page 932 conversion of the program goes through here. The tables
// are built once, on first use, from Qt's "windows-31j" codec.
namespace CodePage932 {

inline constexpr char16_t kReplacement = u'\uFFFD';

// The name of the Qt codec the tables come from.
inline constexpr const char *kCodecName = "windows-31j";

// False when this Qt has no such codec (a build without ICU). The program
// then cannot read or send Japanese text and must not start.
bool codecAvailable();

// True for the first byte of a two-byte character (0x81-0x9F, 0xE0-0xFC).
bool isLeadByte(unsigned char byte);

// True for a byte that can follow a lead byte (0x40-0x7E, 0x80-0xFC).
bool isTrailByte(unsigned char byte);

// The character of a byte on its own: 0x00-0x7F as themselves, 0xA1-0xDF as
// half-width katakana, U+FFFD for every other byte.
char16_t singleByteChar(unsigned char byte);

// The character of a two-byte code, or U+FFFD when the pair is none.
char16_t doubleByteChar(unsigned char lead, unsigned char trail);

// The first character of a non-empty byte string and the number of bytes it
// takes: a lead byte followed by a trail byte is one character of two bytes
// (U+FFFD when the pair has none); any other byte is its single-byte character.
struct FrontChar {
    char16_t character;
    qsizetype size;
};
FrontChar decodeFront(QByteArrayView bytes);

// Decodes a complete byte string. A lead byte followed by a byte that cannot
// be a trail byte gives U+FFFD and the next byte is decoded on its own; a
// well-formed pair with no character gives one U+FFFD.
QString decode(QByteArrayView bytes);

// Encodes text; a character that code page 932 cannot hold becomes "?".
QByteArray encode(QStringView text);

} // namespace CodePage932
