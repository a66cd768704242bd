#include "settings/file_folders.h"

#include "settings/visible_file.h"

#include <QFileInfo>
#include <QStandardPaths>

bool IsWritableFolder(const QString &folder)
{
    // The settings file is replaced through a new file in its folder, so the
    // folder itself must be writable; a writable dq.ini in it is not enough.
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

QString UserSettingsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

FileFolders FindFileFolders(
    const QString &programFolder, const QString &userFolder, const FolderWritable &isWritable)
{
    const QString program = WithTrailingSeparator(programFolder);
    if (isWritable(program))
        return { program, program, program };
    const QString user = WithTrailingSeparator(userFolder);
    const bool listBesideProgram = IsVisibleFile(program + kServerListFileName);
    return { program, user, listBesideProgram ? program : user };
}
