#pragma once

#include <QByteArray>

// About size bytes of whois-like Japanese text in ISO-2022-JP, the same for
// every call: lines of a short ASCII label followed by runs of hiragana,
// katakana and level-1 kanji, each run between ESC $ B and ESC ( B.
QByteArray JapaneseWhoisText(qsizetype size);
