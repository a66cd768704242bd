#include "window/stored_size.h"

#include <algorithm>
#include <cmath>

int StoredTwips(const QString &text, int defaultTwips, int maxTwips)
{
    bool isNumber = false;
    const double value = text.trimmed().toDouble(&isNumber);
    if (!isNumber || !std::isfinite(value))
        return defaultTwips;
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const double rounded = std::nearbyint(value);
    if (rounded <= 0)
        return defaultTwips;
    return static_cast<int>(std::min(rounded, static_cast<double>(maxTwips)));
}
