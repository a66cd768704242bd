#pragma once

#include <QString>

// Whether a file next to the program counts as present: a regular file (or
// a link to one) that a plain directory listing shows. Folders, hidden files
// (a leading "." on Unix, the hidden flag on Windows and macOS) and, on
// Windows, files marked as system files count as absent.
bool isVisibleFile(const QString &path);
