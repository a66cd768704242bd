#include "batch/pacing_from_ini.h"

#include "settings/ini_store.h"

#include <algorithm>

namespace {

// Digits only: no sign, no blank inside, no fraction or unit.
std::chrono::milliseconds readInterval(
    const IniStore &settings, const QString &key, std::chrono::milliseconds defaultValue)
{
    const QString text = settings.loadIni(key, QString());
    const bool digits = !text.isEmpty() && text.size() <= 5
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digits)
        return defaultValue;
    const int value = text.toInt();
    return value <= kMaxIniIntervalMs ? std::chrono::milliseconds(value) : defaultValue;
}

} // namespace

PacingSettings pacingFromIni(const QString &settingsFolder)
{
    const IniStore settings(settingsFolder);
    PacingSettings pacing;
    pacing.whoisInterval = readInterval(settings, kSettingBatchWhoisInterval, pacing.whoisInterval);
    pacing.rdapInterval = readInterval(settings, kSettingBatchRdapInterval, pacing.rdapInterval);
    return pacing;
}
