#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A shown result as a text file: UTF-8, each line break (CR LF, a lone CR or
// a lone LF) written as one CR LF, every other character as it is.
QByteArray resultFileBytes(QStringView text);

// The suggested file name for the result of a key: the key with ".txt"
// added, made safe for any common file system. Characters that file systems
// refuse or give a meaning (control characters, \ / : * ? " < > |) become
// "_", blanks and dots at either end are dropped, a device name such as
// "CON" gets a leading "_", and the name is cut to 255 bytes of UTF-8. A key
// that leaves nothing gives "whois.txt".
QString resultFileName(QStringView key);

// Writes the result to path through a save file, so a write that fails
// leaves any file already there as it was. Returns the reason of a failure.
std::optional<QString> writeResultFile(const QString &path, QStringView text);
