#include "settings/app_dir.h"

#include <QCoreApplication>
#include <QTest>

class TestAppDir : public QObject {
    Q_OBJECT

private slots:
    void appDirIsTheExecutablesFolderWithOneSeparator()
    {
        const QString dir = programFolder();
        QCOMPARE(dir, withTrailingSeparator(QCoreApplication::applicationDirPath()));
        QVERIFY(dir.endsWith(u'/'));
        QVERIFY(!dir.endsWith(u"//"));
    }

    void trailingSeparator_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain folder") << u"/opt/domquire"_qs << u"/opt/domquire/"_qs;
        QTest::newRow("already ends in one") << u"/opt/domquire/"_qs << u"/opt/domquire/"_qs;
        QTest::newRow("root folder") << u"/"_qs << u"/"_qs;
    }

    void trailingSeparator()
    {
        QFETCH(QString, folder);
        QFETCH(QString, expected);
        QCOMPARE(withTrailingSeparator(folder), expected);
    }
};

QTEST_GUILESS_MAIN(TestAppDir)
#include "tst_app_dir.moc"
