#include "batch/batch_columns.h"
#include "batch/batch_export.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Organisation names that a spreadsheet would take for a formula, or that
// need quoting; check_batch_csv.py reads them back with the same list.
const QStringList kTrickyValues {
    u"=cmd|' /C calc'!A0"_qs,
    u"+1"_qs,
    u"-1"_qs,
    u"@SUM(A1)"_qs,
    u"\tx"_qs,
    u"\rx"_qs,
    u"a,b"_qs,
    u"say \"hi\""_qs,
    u"line\nbreak"_qs,
    u"日本語の組織"_qs,
};

BatchRow rowWithOrganization(const QString &organization)
{
    BatchRow row;
    row.key = { QueryKey::Kind::Name, u"example.com"_qs };
    row.status = BatchRow::Status::Done;
    row.fields.registrantOrganization = organization;
    row.answer = u"Domain Name: EXAMPLE.COM\r\n"_qs;
    return row;
}

QList<BatchRow> trickyRows()
{
    QList<BatchRow> rows;
    for (const QString &value : kTrickyValues)
        rows.append(rowWithOrganization(value));
    return rows;
}

// The CSV line of a row whose only fields are the key, the status and the
// organisation, written as the organisation's cell.
QString expectedLine(const QString &organizationCell)
{
    QStringList cells(kBatchColumnCount);
    cells[int(BatchColumn::Key)] = u"example.com"_qs;
    cells[int(BatchColumn::Status)] = u"完了"_qs;
    cells[int(BatchColumn::RegistrantOrganization)] = organizationCell;
    return cells.join(u',') + u"\r\n"_qs;
}

} // namespace

class TestBatchExport : public QObject {
    Q_OBJECT

private slots:
    void csvQuotesAndGuardsCells_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("cell");
        QTest::newRow("plain") << u"Example Org"_qs << u"Example Org"_qs;
        QTest::newRow("formula") << u"=1+1"_qs << u"'=1+1"_qs;
        QTest::newRow("plus") << u"+81"_qs << u"'+81"_qs;
        QTest::newRow("minus") << u"-1"_qs << u"'-1"_qs;
        QTest::newRow("at") << u"@x"_qs << u"'@x"_qs;
        QTest::newRow("tab") << u"\tx"_qs << u"'\tx"_qs;
        QTest::newRow("carriage return") << u"\rx"_qs << u"\"'\rx\""_qs;
        QTest::newRow("comma") << u"a,b"_qs << u"\"a,b\""_qs;
        QTest::newRow("quote") << u"say \"hi\""_qs << u"\"say \"\"hi\"\"\""_qs;
        QTest::newRow("line break") << u"a\nb"_qs << u"\"a\nb\""_qs;
        QTest::newRow("guarded and quoted") << u"=a,\"b\""_qs << u"\"'=a,\"\"b\"\"\""_qs;
        QTest::newRow("minus inside") << u"a-1"_qs << u"a-1"_qs;
    }
    void csvQuotesAndGuardsCells()
    {
        QFETCH(QString, value);
        QFETCH(QString, cell);
        const QByteArray csv = batchCsv({ rowWithOrganization(value) });
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
        const QString text = QString::fromUtf8(csv.mid(3));
        const qsizetype titleEnd = text.indexOf(u"\r\n"_qs) + 2;
        QCOMPARE(text.mid(titleEnd), expectedLine(cell));
    }

    // Dates are written in Japan's time with the offset.
    void datesAreJapanTimeWithOffset()
    {
        BatchRow row = rowWithOrganization({});
        row.fields.expires = QDateTime(QDate(2026, 1, 31), QTime(15, 0), Qt::UTC);
        const QString csv = QString::fromUtf8(batchCsv({ row }));
        QVERIFY(csv.contains(u",2026-02-01T00:00:00+09:00,"_qs));
        const QJsonArray json = QJsonDocument::fromJson(batchJson({ row })).array();
        QCOMPARE(json.at(0)[u"fields"_qs][u"expires"_qs].toString(), u"2026-02-01T00:00:00+09:00"_qs);
    }

    // JSON keeps every key's fields and whole answer, whatever they hold.
    void jsonKeepsFieldsAndAnswers()
    {
        QList<BatchRow> rows = trickyRows();
        rows[1].fields.dnssecSigned = true;
        rows[2].status = BatchRow::Status::Failed;
        rows[2].error = u"Connection refused"_qs;
        const QJsonArray json = QJsonDocument::fromJson(batchJson(rows)).array();
        QCOMPARE(json.size(), rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const QJsonObject object = json.at(i).toObject();
            QCOMPARE(object[u"key"_qs].toString(), rows.at(i).key.text);
            QCOMPARE(object[u"answer"_qs].toString(), rows.at(i).answer);
            QCOMPARE(object[u"fields"_qs][u"registrantOrganization"_qs].toString(),
                rows.at(i).fields.registrantOrganization);
        }
        QVERIFY(json.at(0)[u"fields"_qs][u"dnssecSigned"_qs].isNull());
        QCOMPARE(json.at(1)[u"fields"_qs][u"dnssecSigned"_qs].toBool(), true);
        QCOMPARE(json.at(2)[u"status"_qs].toString(), u"失敗"_qs);
        QCOMPARE(json.at(2)[u"error"_qs].toString(), u"Connection refused"_qs);
    }

    // A file is written whole, or not at all.
    void filesAreWrittenWholeOrNotAtAll()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"out.csv"_qs);
        const QByteArray bytes = batchCsv(trickyRows());
        QCOMPARE(writeBatchFile(path, bytes), QString());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
        const QString missing = dir.filePath(u"no/such/folder/out.csv"_qs);
        QVERIFY(!writeBatchFile(missing, bytes).isEmpty());
        QVERIFY(!QFile::exists(missing));
    }

    // For check_batch_csv.py: writes the tricky rows' CSV where it asks.
    void writeCsvForReader()
    {
        const QString path = qEnvironmentVariable("DQ_BATCH_CSV_OUT");
        if (path.isEmpty())
            QSKIP("only when check_batch_csv.py asks");
        QCOMPARE(writeBatchFile(path, batchCsv(trickyRows())), QString());
    }
};

QTEST_GUILESS_MAIN(TestBatchExport)
#include "tst_batch_export.moc"
