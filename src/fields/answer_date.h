#pragma once

#include <QDateTime>
#include <QStringView>

// The offset of Japan Standard Time, in which JPRS and JPNIC write dates.
inline constexpr int kJstOffsetSeconds = 9 * 3600;

// Reads a date as registries write it and gives the UTC instant, or an
// invalid QDateTime. The date comes first: 2024-08-14, 2024/08/14,
// 20240814, 2024.08.14, 14-aug-2024 or 14.08.2024; then an optional time
// (after T or blanks: hh:mm, hh:mm:ss, with a fraction); then an optional
// zone: Z, UTC, GMT, JST, (JST), +09:00, +0900. Without a zone the time is
// taken at `defaultOffsetSeconds` from UTC; without a time it is midnight
// there. Text after that is ignored.
QDateTime readAnswerDate(QStringView text, int defaultOffsetSeconds = 0);
