#include "settings/ini_store.h"

#include "settings/bounded_file.h"
#include "encoding/code_page_932.h"
#include "settings/profile_text.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

namespace {

constexpr QStringView kSection = u"Domquire";

// The bytes of the settings file: empty when the file does not exist, none
// when it exists but is no readable text file (a folder, unreadable, larger
// than 16 MiB, or holding NUL bytes), which the store then leaves alone.
std::optional<QByteArray> readProfile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QByteArray();
    if (!info.isFile())
        return std::nullopt;
    std::optional<QByteArray> bytes = readBoundedFile(path);
    if (bytes && bytes->contains('\0'))
        return std::nullopt;
    return bytes;
}

bool breaksLineStructure(const QString &key, const QString &value)
{
    const auto hasLineBreak = [](const QString &text) {
        return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0));
    };
    const QString name = key.trimmed();
    return name.isEmpty() || name.startsWith(u'[') || name.startsWith(u';') || key.contains(u'=')
        || hasLineBreak(key) || hasLineBreak(value);
}

} // namespace

IniStore::IniStore(const QString &folder) : m_folder(withTrailingSeparator(folder)) { }

QString IniStore::loadIni(const QString &key, const QString &defaultValue) const
{
    const std::optional<QByteArray> bytes = readProfile(iniPath());
    if (!bytes)
        return defaultValue;
    const ProfileText profile(*bytes);
    const std::optional<QByteArray> value = profile.value(kSection, key);
    return value ? CodePage932::decode(*value) : defaultValue;
}

void IniStore::saveIni(const QString &key, const QString &value) const
{
    if (breaksLineStructure(key, value))
        return;
    const QString path = iniPath();
    const std::optional<QByteArray> bytes = readProfile(path);
    if (!bytes)
        return;
    const ProfileText profile(*bytes);
    const QByteArray line = CodePage932::encode(key) + '=' + CodePage932::encode(value);

    // The per-user settings folder does not exist before the first save.
    QDir().mkpath(m_folder);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(profile.withEntry(kSection, key, line));
    file.commit();
}

QString IniStore::iniPath() const
{
    return m_folder + u"dq.ini"_qs;
}
