#include "selection/blank_trim.h"

#include <QTest>

class TestBlankTrim : public QObject {
    Q_OBJECT

private slots:
    void trims_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("spaces only") << u"   "_qs << QString();
        QTest::newRow("ascii spaces") << u"  example.jp "_qs << u"example.jp"_qs;
        QTest::newRow("ideographic spaces")
            << u"\u3000example.jp\u3000\u3000"_qs << u"example.jp"_qs;
        QTest::newRow("mixed blanks") << u" \u3000 a b \u3000"_qs << u"a b"_qs;
        QTest::newRow("inner blanks stay") << u"a \u3000b"_qs << u"a \u3000b"_qs;
        QTest::newRow("tab stays") << u"\ta\t"_qs << u"\ta\t"_qs;
        QTest::newRow("line breaks stay") << u" a\r\n"_qs << u"a\r\n"_qs;
        QTest::newRow("no-break space stays") << u"\u00A0a"_qs << u"\u00A0a"_qs;
    }

    void trims()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(trimBlanks(text), expected);
    }
};

QTEST_GUILESS_MAIN(TestBlankTrim)
#include "tst_blank_trim.moc"
