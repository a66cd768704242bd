#pragma once

#include <QString>

// The sizes a stored window size is kept within, in twips.
struct TwipsRange {
    int defaultTwips;
    int minTwips;
    int maxTwips;
};

// Reads a window size stored as decimal text in twips. A fraction is rounded
// to the nearest whole number, an exact half to the even neighbour. Text that
// is no number, or a size of zero or less, gives the default; a size outside
// the range is brought to its nearer end, so the window opens usable and on
// the screen.
int storedTwips(const QString &text, const TwipsRange &range);
