#include "window/stored_size.h"

#include <QTest>

class TestStoredSize : public QObject {
    Q_OBJECT

private slots:
    void twipsReadFromTheFile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        // Default 9000, smallest 3000, largest 20000.
        QTest::newRow("stored width") << u"9015"_qs << 9015;
        QTest::newRow("blanks around") << u" 9015 "_qs << 9015;
        QTest::newRow("fraction down") << u"9000.4"_qs << 9000;
        QTest::newRow("fraction up") << u"9000.6"_qs << 9001;
        QTest::newRow("half to even below") << u"9000.5"_qs << 9000;
        QTest::newRow("half to even above") << u"9001.5"_qs << 9002;
        QTest::newRow("exponent") << u"1e4"_qs << 10000;
        QTest::newRow("largest") << u"20000"_qs << 20000;
        QTest::newRow("smallest") << u"3000"_qs << 3000;
        QTest::newRow("too small") << u"1"_qs << 3000;
        QTest::newRow("larger than the screen") << u"99999999"_qs << 20000;
        QTest::newRow("empty") << QString() << 9000;
        QTest::newRow("no number") << u"wide"_qs << 9000;
        QTest::newRow("number with text") << u"9015px"_qs << 9000;
        QTest::newRow("zero") << u"0"_qs << 9000;
        QTest::newRow("rounds to zero") << u"0.4"_qs << 9000;
        QTest::newRow("negative") << u"-9015"_qs << 9000;
        QTest::newRow("infinite") << u"inf"_qs << 9000;
        QTest::newRow("not a number") << u"nan"_qs << 9000;
    }

    void twipsReadFromTheFile()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(storedTwips(text, { 9000, 3000, 20000 }), expected);
    }
};

QTEST_GUILESS_MAIN(TestStoredSize)
#include "tst_stored_size.moc"
