#include "settings/bounded_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestBoundedFile : public QObject {
    Q_OBJECT

private slots:
    void readsUpToTheLimit_data()
    {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<bool>("read");
        QTest::newRow("empty") << qsizetype(0) << true;
        QTest::newRow("one byte under") << qsizetype(99) << true;
        QTest::newRow("at the limit") << qsizetype(100) << true;
        QTest::newRow("one byte over") << qsizetype(101) << false;
    }

    void readsUpToTheLimit()
    {
        QFETCH(qsizetype, size);
        QFETCH(bool, read);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"file"_qs);
        QByteArray bytes(size, '\0');
        for (qsizetype i = 0; i < size; ++i)
            bytes[i] = static_cast<char>('a' + i % 26);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), size);
        file.close();

        const std::optional<QByteArray> got = readBoundedFile(path, 100);
        QCOMPARE(got.has_value(), read);
        if (read)
            QCOMPARE(*got, bytes);
    }

    void missingFileIsUnreadable()
    {
        QTemporaryDir dir;
        QVERIFY(!readBoundedFile(dir.filePath(u"none"_qs)).has_value());
    }
};

QTEST_GUILESS_MAIN(TestBoundedFile)
#include "tst_bounded_file.moc"
