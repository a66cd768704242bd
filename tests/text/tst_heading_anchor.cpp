#include "text/heading_anchor.h"

#include <QTest>

class TestHeadingAnchor : public QObject {
    Q_OBJECT

private slots:
    void anchor_data()
    {
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("anchor");
        QTest::newRow("ascii words") << u"Keys and Servers"_qs << u"keys-and-servers"_qs;
        QTest::newRow("japanese kept") << u"キーの書き方"_qs << u"キーの書き方"_qs;
        QTest::newRow("punctuation dropped")
            << u"サーバ (whois/RDAP) の選び方"_qs << u"サーバ-whoisrdap-の選び方"_qs;
        QTest::newRow("full-width brackets and dots dropped")
            << u"困ったとき（ポート 43）。"_qs << u"困ったときポート-43"_qs;
        QTest::newRow("hyphen and underscore kept")
            << u"---RDAP--- dq_ini"_qs << u"---rdap----dq_ini"_qs;
        QTest::newRow("each blank counts") << u"a  b"_qs << u"a--b"_qs;
        QTest::newRow("combining mark kept") << u"か\u3099"_qs << u"か\u3099"_qs;
        QTest::newRow("outside the basic plane") << u"𠮷野家 F1"_qs << u"𠮷野家-f1"_qs;
        QTest::newRow("nothing left") << u"!?"_qs << QString();
    }

    void anchor()
    {
        QFETCH(QString, heading);
        QFETCH(QString, anchor);
        QCOMPARE(headingAnchor(heading), anchor);
    }
};

QTEST_GUILESS_MAIN(TestHeadingAnchor)
#include "tst_heading_anchor.moc"
