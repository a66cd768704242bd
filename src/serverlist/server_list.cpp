#include "serverlist/server_list.h"

#include "selection/blank_trim.h"
#include "selection/whois_hosts.h"
#include "serverlist/server_list_text.h"
#include "settings/file_folders.h"
#include "settings/visible_file.h"

#include <QFile>

#include <optional>

namespace {

ServerEntry makeEntry(QStringView name, QStringView host)
{
    const QString trimmedName = TrimBlanks(name);
    const QString trimmedHost = TrimBlanks(host);
    return { trimmedName, trimmedHost, trimmedName + u'[' + trimmedHost + u']' };
}

QList<ServerEntry> builtInServers()
{
    return {
        makeEntry(u"JPNIC", WhoisHost::JPNIC),
        makeEntry(u"InterNic", WhoisHost::InterNic),
        makeEntry(u"APNIC", WhoisHost::APNIC),
        makeEntry(u"VeriSign", WhoisHost::VeriSign),
        makeEntry(u"RIPE", WhoisHost::RIPE),
        makeEntry(u"ARIN", WhoisHost::ARIN),
    };
}

std::optional<QByteArray> readListFile(const QString &path)
{
    if (!IsVisibleFile(path))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

QList<ServerEntry> parseServerList(const QString &text)
{
    QString lines = text;
    lines.replace(u"\r\n"_qs, u"\n"_qs).replace(u'\r', u'\n');

    QList<ServerEntry> table;
    for (const QStringView line : QStringView(lines).split(u'\n')) {
        const QList<QStringView> fields = line.split(u',');
        if (fields.size() < 2)
            continue;
        if (table.size() == kMaxServerEntries)
            break;
        table.append(makeEntry(fields[0], fields[1]));
    }
    return table;
}

} // namespace

QList<ServerEntry> LoadServerList(const QString &folder)
{
    const std::optional<QByteArray> bytes =
        readListFile(WithTrailingSeparator(folder) + kServerListFileName);
    return bytes ? parseServerList(ServerListText(*bytes)) : builtInServers();
}

QString GetSelectedServer(const QList<ServerEntry> &table, const QString &comboText)
{
    for (const ServerEntry &entry : table) {
        if (entry.displayText == comboText)
            return entry.host;
    }
    return comboText;
}
