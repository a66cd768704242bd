#include "serverlist/server_list.h"
#include "settings/file_folders.h"
#include "settings/ini_store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// What a folder holds when it holds the files: a stored width and a list of
// one server, different in the two folders.
struct FolderFiles {
    QByteArray ini;
    QByteArray serverList;
};

const FolderFiles kProgramFiles { "[Domquire]\r\nWID=1111\r\n", "program,whois.program.test\r\n" };
const FolderFiles kUserFiles { "[Domquire]\r\nWID=2222\r\n", "user,whois.user.test\r\n" };
const QString kDefaultWidth = u"9000"_qs;

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Folder {
    QString path;
    bool hasFiles;
    FolderFiles files;

    bool put() const
    {
        return !hasFiles
            || (QDir().mkpath(path) && writeBytes(path + u"/dq.ini"_qs, files.ini)
                && writeBytes(path + u"/serverlist.dat"_qs, files.serverList));
    }
};

} // namespace

class TestFileFolders : public QObject {
    Q_OBJECT

private slots:
    void filesAreFoundAndKept_data()
    {
        QTest::addColumn<bool>("programWritable");
        QTest::addColumn<bool>("programHasFiles");
        QTest::addColumn<bool>("userHasFiles");
        QTest::addColumn<bool>("settingsBesideProgram");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("server");

        QTest::newRow("writable program folder, no files")
            << true << false << false << true << kDefaultWidth << u"JPNIC"_qs;
        QTest::newRow("writable program folder with its files")
            << true << true << false << true << u"1111"_qs << u"program"_qs;
        QTest::newRow("writable program folder ignores per-user files")
            << true << false << true << true << kDefaultWidth << u"JPNIC"_qs;
        QTest::newRow("read-only program folder, no files")
            << false << false << false << false << kDefaultWidth << u"JPNIC"_qs;
        QTest::newRow("read-only program folder with per-user files")
            << false << false << true << false << u"2222"_qs << u"user"_qs;
        QTest::newRow("read-only program folder with its own files")
            << false << true << false << false << kDefaultWidth << u"program"_qs;
        QTest::newRow("read-only program folder, files in both")
            << false << true << true << false << u"2222"_qs << u"program"_qs;
    }

    // Reads and writes through the folders found: which file each read came
    // from, and which file the write changed.
    void filesAreFoundAndKept()
    {
        QFETCH(bool, programWritable);
        QFETCH(bool, programHasFiles);
        QFETCH(bool, userHasFiles);
        QFETCH(bool, settingsBesideProgram);
        QFETCH(QString, width);
        QFETCH(QString, server);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // The per-user folder does not exist until a file is put there.
        const Folder program { dir.filePath(u"usr/bin"_qs), programHasFiles, kProgramFiles };
        const Folder user { dir.filePath(u"home/.config/Domquire"_qs), userHasFiles, kUserFiles };
        QVERIFY(QDir().mkpath(program.path));
        QVERIFY(program.put());
        QVERIFY(user.put());

        QStringList asked;
        const FileFolders folders = findFileFolders(program.path, user.path, [&](const QString &f) {
            asked.append(f);
            return programWritable;
        });
        QCOMPARE(asked, QStringList { program.path + u'/' });
        QCOMPARE(folders.program, program.path + u'/');

        const QList<ServerEntry> servers = loadServerList(folders.serverList);
        QVERIFY(!servers.isEmpty());
        QCOMPARE(servers.first().name, server);
        const IniStore settings(folders.settings);
        QCOMPARE(settings.loadIni(u"WID"_qs, kDefaultWidth), width);

        settings.saveIni(u"WID"_qs, u"3333"_qs);
        const Folder &written = settingsBesideProgram ? program : user;
        const Folder &other = settingsBesideProgram ? user : program;
        QCOMPARE(IniStore(written.path).loadIni(u"WID"_qs, kDefaultWidth), u"3333"_qs);
        QCOMPARE(
            readBytes(other.path + u"/dq.ini"_qs), other.hasFiles ? other.files.ini : QByteArray());
    }

    void realWritabilityCheck()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(u"dq.ini"_qs);
        QVERIFY(writeBytes(file, "[Domquire]\r\n"));

        QVERIFY(isWritableFolder(dir.path()));
        QVERIFY(!isWritableFolder(file));
        QVERIFY(!isWritableFolder(dir.filePath(u"missing"_qs)));
    }
};

QTEST_GUILESS_MAIN(TestFileFolders)
#include "tst_file_folders.moc"
