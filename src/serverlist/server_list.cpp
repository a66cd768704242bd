#include "serverlist/server_list.h"

#include "selection/blank_trim.h"
#include "selection/whois_hosts.h"
#include "serverlist/server_list_text.h"
#include "settings/bounded_file.h"
#include "settings/file_folders.h"
#include "settings/visible_file.h"

#include <optional>

namespace {

ServerEntry makeEntry(QStringView name, QStringView host)
{
    const QString trimmedName = trimBlanks(name);
    const QString trimmedHost = trimBlanks(host);
    return { trimmedName, trimmedHost, trimmedName + u'[' + trimmedHost + u']' };
}

QList<ServerEntry> builtInServers()
{
    return {
        makeEntry(u"JPNIC", WhoisHost::kJpnic),
        makeEntry(u"InterNic", WhoisHost::kInterNic),
        makeEntry(u"APNIC", WhoisHost::kApnic),
        makeEntry(u"VeriSign", WhoisHost::kVeriSign),
        makeEntry(u"RIPE", WhoisHost::kRipe),
        makeEntry(u"ARIN", WhoisHost::kArin),
    };
}

std::optional<QByteArray> readListFile(const QString &path)
{
    if (!isVisibleFile(path))
        return std::nullopt;
    return readBoundedFile(path);
}

QList<ServerEntry> parseServerList(QStringView text)
{
    QList<ServerEntry> table;
    qsizetype start = 0;
    while (start <= text.size() && table.size() < kMaxServerEntries) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QStringView line = text.sliced(start, end - start);
        const qsizetype comma = line.indexOf(u',');
        if (comma >= 0) {
            const QStringView rest = line.sliced(comma + 1);
            const qsizetype secondComma = rest.indexOf(u',');
            table.append(
                makeEntry(line.first(comma), secondComma < 0 ? rest : rest.first(secondComma)));
        }
        const bool crLf = end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n';
        start = end + (crLf ? 2 : 1);
    }
    return table;
}

} // namespace

QList<ServerEntry> loadServerList(const QString &folder)
{
    const std::optional<QByteArray> bytes =
        readListFile(withTrailingSeparator(folder) + kServerListFileName);
    return bytes ? parseServerList(serverListText(*bytes)) : builtInServers();
}
