#pragma once

#include <QString>

// Reads a window size stored as decimal text in twips. A fraction is rounded
// to the nearest whole number, an exact half to the even neighbour. Text that
// is no number, or a size of zero or less, gives the default; a size larger
// than the largest allowed is cut to it.
int StoredTwips(const QString &text, int defaultTwips, int maxTwips);
