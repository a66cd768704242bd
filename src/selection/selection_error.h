#pragma once

#include <QString>

// What cDomlist and CIPList answer when they find no server for a key.
// Callers compare results with it exactly.
inline const QString kSelectionError = u"Error"_qs;
