#include "settings/file_folders.h"

#include "settings/visible_file.h"

#include <QFileInfo>
#include <QStandardPaths>

bool isWritableFolder(const QString &folder)
{
    // The settings file is replaced through a new file in its folder, so the
    // folder itself must be writable; a writable dq.ini in it is not enough.
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

QString userSettingsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

FileFolders findFileFolders(
    const QString &programFolder, const QString &userFolder, const FolderWritable &isWritable)
{
    const QString program = withTrailingSeparator(programFolder);
    if (isWritable(program))
        return { program, program, program };
    const QString user = withTrailingSeparator(userFolder);
    const bool listBesideProgram = isVisibleFile(program + kServerListFileName);
    return { program, user, listBesideProgram ? program : user };
}
