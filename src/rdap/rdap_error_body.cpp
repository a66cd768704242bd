#include "rdap/rdap_error_body.h"

#include "rdap/rdap_json.h"
#include "rdap/rdap_parser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// An error body is read only this far; a warning shows a few lines.
constexpr qsizetype kMaxBodyBytes = qsizetype(64) * 1024;
constexpr qsizetype kMaxLines = 10;
constexpr qsizetype kMaxLineChars = 300;

QString shownLine(QString text)
{
    for (QChar &c : text) {
        if (isUnsafeForDisplay(c.unicode()))
            c = u' ';
    }
    text = text.simplified();
    if (text.size() > kMaxLineChars)
        text = text.left(kMaxLineChars) + u'…';
    return text;
}

} // namespace

QString rdapErrorBodyText(QByteArrayView body)
{
    if (body.size() > kMaxBodyBytes || jsonNestingDepth(body) > kMaxRdapNesting)
        return {};
    const QJsonObject object =
        QJsonDocument::fromJson(QByteArray::fromRawData(body.data(), body.size())).object();
    QStringList lines;
    const QJsonValue code = object.value(u"errorCode");
    if (code.isDouble())
        lines << u"エラーコード: "_qs + QString::number(code.toInteger());
    const QString title = shownLine(object.value(u"title").toString());
    if (!title.isEmpty())
        lines << title;
    for (const auto &item : object.value(u"description").toArray()) {
        const QString line = shownLine(item.toString());
        if (!line.isEmpty() && lines.size() < kMaxLines)
            lines << line;
    }
    return lines.isEmpty() ? QString() : u'\n' + lines.join(u'\n');
}
