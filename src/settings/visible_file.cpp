#include "settings/visible_file.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_WIN
#define NOMINMAX
#include <windows.h>
#endif

namespace {

bool isSystemFile([[maybe_unused]] const QString &path)
{
#ifdef Q_OS_WIN
    const QString native = QDir::toNativeSeparators(path);
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t *>(native.utf16()));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_SYSTEM) != 0;
#else
    return false;
#endif
}

} // namespace

bool isVisibleFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden() && !isSystemFile(path);
}
