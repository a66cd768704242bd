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
    std::optional<QByteArray> bytes = ReadBoundedFile(path);
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

IniStore::IniStore(const QString &folder) : m_folder(WithTrailingSeparator(folder)) { }

QString IniStore::LoadIni(const QString &key, const QString &defaultValue) const
{
    const std::optional<QByteArray> bytes = readProfile(IniPath());
    if (!bytes)
        return defaultValue;
    const ProfileText profile(*bytes);
    const std::optional<QByteArray> value = profile.Value(kSection, key);
    return value ? CodePage932::Decode(*value) : defaultValue;
}

void IniStore::SaveIni(const QString &key, const QString &value) const
{
    if (breaksLineStructure(key, value))
        return;
    const QString path = IniPath();
    const std::optional<QByteArray> bytes = readProfile(path);
    if (!bytes)
        return;
    const ProfileText profile(*bytes);
    const QByteArray line = CodePage932::Encode(key) + '=' + CodePage932::Encode(value);

    // The per-user settings folder does not exist before the first save.
    QDir().mkpath(m_folder);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(profile.WithEntry(kSection, key, line));
    file.commit();
}

QString IniStore::IniPath() const
{
    return m_folder + u"dq.ini"_qs;
}
