#pragma once

#include <cmath>

// The window's sizes are kept in twips: 1/1440 inch, 15 twips to a
// pixel at 96 dots per inch.
namespace Twips {

inline constexpr double kPerInch = 1440.0;

inline int toPixels(double twips, double dotsPerInch)
{
    return static_cast<int>(std::lround(twips * dotsPerInch / kPerInch));
}

inline float fromPixels(int pixels, double dotsPerInch)
{
    return static_cast<float>(pixels * kPerInch / dotsPerInch);
}

} // namespace Twips
