#pragma once

#include "settings/app_dir.h"

#include <QString>

// The settings file "dq.ini" in a folder (the program's folder by default):
// text values under keys of the section "Domquire", in code page 932. Every
// call reads or writes the file afresh; nothing is kept in memory.
//
// Section and key names match without regard to case, values are read
// without the blanks around them, and a value is cut to 1023 bytes. Writing
// changes or adds one line and keeps every other byte of the file.
class IniStore {
public:
    explicit IniStore(const QString &folder = programFolder());

    // The value stored under the key, or the default when the file, the
    // section or the key is missing, or the file cannot be read, is larger
    // than 16 MiB or is not text. A key present with an empty value gives the empty text.
    QString loadIni(const QString &key, const QString &defaultValue) const;

    // Stores the value under the key, creating the folder, the file, the
    // section or the key as needed. The file is replaced atomically; when it
    // cannot be written, or is not a text file of at most 16 MiB, nothing
    // changes and nothing is shown.
    // A key or value that would break the file's line structure (a line
    // break, or a key that is empty, holds "=" or starts with "[" or ";") is
    // not written.
    void saveIni(const QString &key, const QString &value) const;

private:
    QString iniPath() const;

    QString m_folder;
};
