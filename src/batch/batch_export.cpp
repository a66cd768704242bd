#include "batch/batch_export.h"

#include "batch/batch_columns.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>

namespace {

QString csvCell(QString text)
{
    static const QString kFormulaStarts = u"=+-@\t\r"_qs;
    if (!text.isEmpty() && kFormulaStarts.contains(text.front()))
        text.prepend(u'\'');
    const bool needsQuotes = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == u'"' || c == u',' || c == u'\n' || c == u'\r';
    });
    if (needsQuotes) {
        text.replace(u"\""_qs, u"\"\""_qs);
        return u'"' + text + u'"';
    }
    return text;
}

void appendCsvLine(QString &out, const QStringList &cells)
{
    bool first = true;
    for (const QString &cell : cells) {
        if (!first)
            out += u',';
        first = false;
        out += csvCell(cell);
    }
    out += u"\r\n"_qs;
}

QJsonArray jsonList(const QStringList &list)
{
    return QJsonArray::fromStringList(list);
}

QJsonObject jsonFields(const AnswerFields &f)
{
    QJsonObject object {
        { u"kind"_qs, batchKindText(f.kind) },
        { u"name"_qs, f.name },
        { u"handle"_qs, f.handle },
        { u"registrar"_qs, f.registrar },
        { u"registrarIanaId"_qs, f.registrarIanaId },
        { u"registrantOrganization"_qs, f.registrantOrganization },
        { u"country"_qs, f.country },
        { u"status"_qs, jsonList(f.status) },
        { u"registered"_qs, batchDateText(f.registered) },
        { u"updated"_qs, batchDateText(f.updated) },
        { u"expires"_qs, batchDateText(f.expires) },
        { u"nameServers"_qs, jsonList(f.nameServers) },
        { u"networkFirst"_qs, f.networkFirst.isNull() ? QString() : f.networkFirst.toString() },
        { u"networkLast"_qs, f.networkLast.isNull() ? QString() : f.networkLast.toString() },
        { u"cidrs"_qs, jsonList(f.cidrs) },
        { u"networkName"_qs, f.networkName },
        { u"originAs"_qs, f.originAs },
        { u"abuseEmail"_qs, f.abuseEmail },
        { u"abusePhone"_qs, f.abusePhone },
        { u"server"_qs, f.server },
    };
    object.insert(u"dnssecSigned"_qs, f.dnssecSigned ? QJsonValue(*f.dnssecSigned) : QJsonValue());
    return object;
}

} // namespace

QByteArray batchCsv(const QList<BatchRow> &rows)
{
    QString out;
    QStringList titles;
    for (int column = 0; column < kBatchColumnCount; ++column)
        titles.append(batchColumnTitle(BatchColumn(column)));
    appendCsvLine(out, titles);
    for (const BatchRow &row : rows) {
        QStringList cells;
        for (int column = 0; column < kBatchColumnCount; ++column)
            cells.append(batchCellText(row, BatchColumn(column)));
        appendCsvLine(out, cells);
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

QByteArray batchJson(const QList<BatchRow> &rows)
{
    QJsonArray array;
    for (const BatchRow &row : rows)
        array.append(QJsonObject {
            { u"key"_qs, row.key.text },
            { u"status"_qs, row.statusText() },
            { u"error"_qs, row.error },
            { u"fields"_qs, jsonFields(row.fields) },
            { u"answer"_qs, row.answer },
        });
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

QString writeBatchFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    return {};
}
