#pragma once

#include <QStringView>

// The product's name and its version as the user sees them.
inline constexpr QStringView kProductName = u"Domquire";
inline constexpr QStringView kVersionText = u"Ver. 1.02";
