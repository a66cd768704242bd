#include "selection/second_level_whois.h"

#include <QFile>
#include <QHash>

// Q_INIT_RESOURCE must be used outside any namespace (see registry_data.cpp).
static QByteArray readSecondLevelTable()
{
    Q_INIT_RESOURCE(registry);
    QFile file(u":/registry/second-level-whois.txt"_qs);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

namespace {

// "second.top<TAB>host" lines; comments, blank and malformed lines are skipped.
QHash<QString, QString> readTable(const QByteArray &text)
{
    QHash<QString, QString> hosts;
    for (const QByteArray &line : text.split('\n')) {
        if (line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.trimmed().split('\t');
        if (fields.size() == 2 && fields[0].count('.') == 1 && !fields[1].isEmpty())
            hosts.insert(QString::fromLatin1(fields[0]), QString::fromLatin1(fields[1]));
    }
    return hosts;
}

} // namespace

std::optional<QString> SecondLevelWhois::hostOf(QStringView secondLevel, QStringView topLevel)
{
    static const QHash<QString, QString> table = readTable(readSecondLevelTable());
    const auto host = table.constFind(secondLevel.toString() + u'.' + topLevel.toString());
    if (host == table.cend())
        return std::nullopt;
    return *host;
}
