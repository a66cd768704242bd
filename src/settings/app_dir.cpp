#include "settings/app_dir.h"

#include <QCoreApplication>
#include <QDir>

namespace {

#ifdef Q_OS_WIN
constexpr QChar kSeparator = u'\\';
#else
constexpr QChar kSeparator = u'/';
#endif

} // namespace

QString withTrailingSeparator(const QString &folder)
{
    QString path = QDir::toNativeSeparators(folder);
    if (!path.endsWith(kSeparator))
        path += kSeparator;
    return path;
}

QString programFolder()
{
    return withTrailingSeparator(QCoreApplication::applicationDirPath());
}
