#pragma once

#include "settings/app_dir.h"

#include <QString>

#include <functional>

// The user's server list, read from one of the folders below.
inline const QString kServerListFileName = u"serverlist.dat"_qs;

// The folders where the program finds its files, each ending in one
// separator like programFolder().
struct FileFolders {
    QString program; // the executable's folder: the help file
    QString settings; // dq.ini, read and written
    QString serverList; // serverlist.dat, read only
};

// Whether the current user can create and replace files in a folder.
using FolderWritable = std::function<bool(const QString &folder)>;
bool isWritableFolder(const QString &folder);

// The per-user settings folder, ~/.config/Domquire on Linux. It may not
// exist yet; the settings store creates it when it first writes.
QString userSettingsFolder();

// A program folder the user can write to keeps every file, so a copy run from
// a folder of its own works as it always did. An installed copy in a folder
// the user cannot write to keeps dq.ini in the per-user folder (a dq.ini
// beside the program is ignored there, since it could not be replaced) and
// reads serverlist.dat from beside the program if it is there, otherwise from
// the per-user folder.
FileFolders findFileFolders(const QString &programFolder,
    const QString &userFolder = userSettingsFolder(),
    const FolderWritable &isWritable = isWritableFolder);
