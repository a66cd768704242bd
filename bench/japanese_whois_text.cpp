#include "japanese_whois_text.h"

#include <random>

QByteArray JapaneseWhoisText(qsizetype size)
{
    std::mt19937 rng(2024);
    QByteArray bytes;
    bytes.reserve(size + 256);
    while (bytes.size() < size) {
        bytes += "a. [";
        for (int run = 1 + static_cast<int>(rng() % 3); run > 0; --run) {
            bytes += "\x1B$B";
            for (int pairs = 8 + static_cast<int>(rng() % 32); pairs > 0; --pairs) {
                switch (rng() % 3) {
                case 0:
                    bytes += '\x24';
                    bytes += static_cast<char>(0x21 + rng() % 0x53);
                    break;
                case 1:
                    bytes += '\x25';
                    bytes += static_cast<char>(0x21 + rng() % 0x56);
                    break;
                default:
                    bytes += static_cast<char>(0x30 + rng() % 0x1F);
                    bytes += static_cast<char>(0x21 + rng() % 0x5E);
                    break;
                }
            }
            bytes += "\x1B(B ";
        }
        bytes += "]\r\n";
    }
    return bytes;
}
