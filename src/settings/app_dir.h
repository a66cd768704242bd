#pragma once

#include <QString>

// The folder of the program's executable, ending in exactly one separator
// (a backslash on Windows, a slash elsewhere), so that file names can be
// appended to it directly.
QString programFolder();

// The same rule for any folder path.
QString withTrailingSeparator(const QString &folder);
