#include "window/stored_size.h"

#include <algorithm>
#include <cmath>

int storedTwips(const QString &text, const TwipsRange &range)
{
    bool isNumber = false;
    const double value = text.trimmed().toDouble(&isNumber);
    if (!isNumber || !std::isfinite(value))
        return range.defaultTwips;
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const double rounded = std::nearbyint(value);
    if (rounded <= 0)
        return range.defaultTwips;
    return static_cast<int>(std::clamp(
        rounded, static_cast<double>(range.minTwips), static_cast<double>(range.maxTwips)));
}
