#include "settings/visible_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestVisibleFile : public QObject {
    Q_OBJECT

private slots:
    void visibility_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("visible");
        QTest::newRow("plain file") << u"serverlist.dat"_qs << true;
        QTest::newRow("link to a file") << u"link"_qs << true;
        QTest::newRow("hidden file") << u".serverlist.dat"_qs << false;
        QTest::newRow("folder") << u"folder"_qs << false;
        QTest::newRow("missing file") << u"missing"_qs << false;
        QTest::newRow("link to a missing file") << u"dangling"_qs << false;
        QTest::newRow("link to a folder") << u"folderlink"_qs << false;
    }

    void visibility()
    {
        QFETCH(QString, name);
        QFETCH(bool, visible);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const QString &file : { u"serverlist.dat"_qs, u".serverlist.dat"_qs }) {
            QFile created(dir.filePath(file));
            QVERIFY(created.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(dir.path()).mkdir(u"folder"_qs));
        QVERIFY(QFile::link(dir.filePath(u"serverlist.dat"_qs), dir.filePath(u"link"_qs)));
        QVERIFY(QFile::link(dir.filePath(u"missing"_qs), dir.filePath(u"dangling"_qs)));
        QVERIFY(QFile::link(dir.filePath(u"folder"_qs), dir.filePath(u"folderlink"_qs)));

        QCOMPARE(isVisibleFile(dir.filePath(name)), visible);
    }
};

QTEST_GUILESS_MAIN(TestVisibleFile)
#include "tst_visible_file.moc"
