#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The program's own files are read whole, but never more than this: a larger
// file is treated as unreadable.
inline constexpr qint64 kMaxReadFileBytes = qint64(16) * 1024 * 1024;

// The bytes of a file, or none when it cannot be opened or read or holds
// more than maxBytes.
std::optional<QByteArray> readBoundedFile(const QString &path, qint64 maxBytes = kMaxReadFileBytes);
