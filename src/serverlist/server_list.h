#pragma once

#include "serverlist/server_entry.h"
#include "settings/app_dir.h"

#include <QList>
#include <QString>

// The first item of the server combo, which leaves the choice of the server
// to the program.
inline constexpr QStringView kAutoSelectText = u"---自動選択---";
// The second item, which asks any key over RDAP.
inline constexpr QStringView kRdapText = u"---RDAP---";

// The server table holds at most this many entries; more are not read.
inline constexpr qsizetype kMaxServerEntries = 32766;

// The server table: the servers of "serverlist.dat" in the folder, or the six
// built-in servers when that file is absent (also hidden, unreadable, or
// larger than 16 MiB). A
// present file replaces the built-ins even when it yields no server.
//
// The file is code page 932 text. A line ends at CR LF, CR or LF. Each line
// with a comma is a server: the name before the first comma, the host after
// it up to a second comma, both without the blanks (U+0020, U+3000) around
// them. Lines without a comma are skipped. Order and duplicates are kept.
QList<ServerEntry> loadServerList(const QString &folder = programFolder());
