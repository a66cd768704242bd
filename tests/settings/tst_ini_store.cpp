#include "encoding/code_page_932.h"
#include "settings/ini_store.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Random inputs are the same on every run; failures print the seed.
constexpr quint32 kSeed = 0x1A1D5EED;

const QString kDefault = u"default"_qs;

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The lines of a file, each with its line end: CR LF, LF or CR.
QList<QByteArray> linesOf(const QByteArray &bytes)
{
    static const QRegularExpression line(u"[^\\r\\n]*(\\r\\n|\\r|\\n|$)"_qs);
    QList<QByteArray> lines;
    const QString text = QString::fromLatin1(bytes);
    for (qsizetype at = 0; at < text.size();) {
        const QRegularExpressionMatch match = line.match(text, at);
        lines.append(bytes.sliced(at, match.capturedLength()));
        at += match.capturedLength();
    }
    return lines;
}

// Whether the current user can create a file in the folder, whatever its
// permission bits say (root can).
bool canCreateFileIn(const QString &folder)
{
    QFile probe(QDir(folder).filePath(u"probe"_qs));
    const bool created = probe.open(QIODevice::WriteOnly);
    probe.remove();
    return created;
}

// A settings file holding WID=1, padded with a comment line to the size.
QByteArray paddedTo(qsizetype size)
{
    QByteArray bytes("[Domquire]\r\nWID=1\r\n;");
    bytes += QByteArray(size - bytes.size() - 2, 'x') + "\r\n";
    return bytes;
}

} // namespace

class TestIniStore : public QObject {
    Q_OBJECT

private slots:
    void load_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: no file
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QByteArray longValue(1100, 'a');
        const QByteArray kanji("\x88\x9f"); // 亜

        QTest::newRow("no file") << QByteArray() << u"WID"_qs << kDefault;
        QTest::newRow("empty file") << QByteArray("") << u"WID"_qs << kDefault;
        QTest::newRow("no section") << QByteArray("[Other]\r\nWID=1\r\n") << u"WID"_qs << kDefault;
        QTest::newRow("no key") << QByteArray("[Domquire]\r\nHET=7000\r\n") << u"WID"_qs
                                << kDefault;
        QTest::newRow("key before any section")
            << QByteArray("WID=1\r\n[Domquire]\r\n") << u"WID"_qs << kDefault;
        QTest::newRow("key of another section")
            << QByteArray("[Other]\r\nWID=1\r\n[Domquire]\r\nHET=2\r\n") << u"WID"_qs << kDefault;
        QTest::newRow("line without equals sign")
            << QByteArray("[Domquire]\r\nWID\r\n") << u"WID"_qs << kDefault;
        QTest::newRow("comment line")
            << QByteArray("[Domquire]\r\n;WID=1\r\nWID=2\r\n") << u"WID"_qs << u"2"_qs;
        QTest::newRow("empty value")
            << QByteArray("[Domquire]\r\nWID=\r\n") << u"WID"_qs << QString();
        QTest::newRow("blank value")
            << QByteArray("[Domquire]\r\nWID= \t \r\n") << u"WID"_qs << QString();
        QTest::newRow("section name in lower case")
            << QByteArray("[domquire]\r\nWID=9015\r\n") << u"WID"_qs << u"9015"_qs;
        QTest::newRow("key name in mixed case")
            << QByteArray("[DOMQUIRE]\r\nWiD=9015\r\n") << u"wId"_qs << u"9015"_qs;
        QTest::newRow("blanks around names and value")
            << QByteArray(" [ Domquire ] \r\n\t WID \t=  9015 \t\r\n") << u"WID"_qs << u"9015"_qs;
        QTest::newRow("inner blanks stay")
            << QByteArray("[Domquire]\r\nWID=a \t b\r\n") << u"WID"_qs << u"a \t b"_qs;
        QTest::newRow("equals sign in value")
            << QByteArray("[Domquire]\r\nWID=a=b\r\n") << u"WID"_qs << u"a=b"_qs;
        QTest::newRow("first of two entries")
            << QByteArray("[Domquire]\r\nWID=1\r\nWID=2\r\n") << u"WID"_qs << u"1"_qs;
        QTest::newRow("second section of the name")
            << QByteArray("[Domquire]\r\nHET=1\r\n[Other]\r\n[Domquire]\r\nWID=2\r\n") << u"WID"_qs
            << u"2"_qs;
        QTest::newRow("LF line ends")
            << QByteArray("[Domquire]\nWID=9015\nHET=7\n") << u"WID"_qs << u"9015"_qs;
        QTest::newRow("lone CR line ends")
            << QByteArray("[Domquire]\rHET=7\rWID=9015") << u"WID"_qs << u"9015"_qs;
        QTest::newRow("last line without line end")
            << QByteArray("[Domquire]\r\nWID=9015") << u"WID"_qs << u"9015"_qs;
        QTest::newRow("Shift_JIS value")
            << QByteArray("[Domquire]\r\nWID=\x95\x5c\x8e\xa6\xb1\r\n") << u"WID"_qs << u"表示ｱ"_qs;
        QTest::newRow("Shift_JIS key")
            << QByteArray("[Domquire]\r\n\x95\x9d=9015\r\n") << u"幅"_qs << u"9015"_qs;
        QTest::newRow("long value cut to 1023 bytes")
            << QByteArray("[Domquire]\r\nWID=" + longValue + "\r\n") << u"WID"_qs
            << QString(1023, u'a');
        QTest::newRow("value of 1023 bytes kept")
            << QByteArray("[Domquire]\r\nWID=" + longValue.first(1023) + "\r\n") << u"WID"_qs
            << QString(1023, u'a');
        QTest::newRow("double-byte character across the cut is dropped")
            << QByteArray("[Domquire]\r\nWID=" + longValue.first(1022) + kanji + "b\r\n")
            << u"WID"_qs << QString(1022, u'a');
        QTest::newRow("double-byte character ending at the cut is kept")
            << QByteArray("[Domquire]\r\nWID=" + longValue.first(1021) + kanji + "b\r\n")
            << u"WID"_qs << QString(1021, u'a') + u"亜"_qs;
        QTest::newRow("blanks removed before the cut")
            << QByteArray("[Domquire]\r\nWID=  " + longValue.first(1023) + "  \r\n") << u"WID"_qs
            << QString(1023, u'a');
        QTest::newRow("binary file")
            << QByteArray("[Domquire]\r\nWID=1\r\n\0\x01", 21) << u"WID"_qs << kDefault;
        QTest::newRow("file over 16 MiB") << paddedTo((16 << 20) + 1) << u"WID"_qs << kDefault;
    }

    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        if (!file.isNull())
            QVERIFY(writeBytes(dir.filePath(u"dq.ini"_qs), file));

        const QString value = IniStore(dir.path()).loadIni(key, kDefault);
        QCOMPARE(value, expected);
    }

    void save_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        const QByteArray sjisComment("; \x83\x5c\x83\x74\x83\x67 [\x83\x5d]\r\n"); // ソフト [ゾ]

        QTest::newRow("no file") << QByteArray() << u"WID"_qs << u"9015"_qs
                                 << QByteArray("[Domquire]\r\nWID=9015\r\n");
        QTest::newRow("empty file") << QByteArray("") << u"WID"_qs << u"9015"_qs
                                    << QByteArray("[Domquire]\r\nWID=9015\r\n");
        QTest::newRow("value replaced, other lines kept")
            << QByteArray("; size\r\n[Domquire]\r\nWID=9000\r\nHET=7000\r\n\r\n[Other]\r\nX=1\r\n")
            << u"WID"_qs << u"9015"_qs
            << QByteArray("; size\r\n[Domquire]\r\nWID=9015\r\nHET=7000\r\n\r\n[Other]\r\nX=1\r\n");
        QTest::newRow("entry found without regard to case")
            << QByteArray("[domquire]\r\n  wid = 1 \r\n") << u"WID"_qs << u"2"_qs
            << QByteArray("[domquire]\r\nWID=2\r\n");
        QTest::newRow("key added after the section's last line")
            << QByteArray("[Domquire]\r\nWID=1\r\n\r\n[Other]\r\nHET=2\r\n") << u"HET"_qs << u"7"_qs
            << QByteArray("[Domquire]\r\nWID=1\r\nHET=7\r\n\r\n[Other]\r\nHET=2\r\n");
        QTest::newRow("key added to an empty section")
            << QByteArray("[Domquire]\r\n[Other]\r\n") << u"WID"_qs << u"1"_qs
            << QByteArray("[Domquire]\r\nWID=1\r\n[Other]\r\n");
        QTest::newRow("section added at the end")
            << QByteArray("[Other]\r\nWID=2\r\n") << u"WID"_qs << u"1"_qs
            << QByteArray("[Other]\r\nWID=2\r\n[Domquire]\r\nWID=1\r\n");
        QTest::newRow("file without final line end")
            << QByteArray("[Other]\r\nA=b") << u"WID"_qs << u"1"_qs
            << QByteArray("[Other]\r\nA=b\r\n[Domquire]\r\nWID=1\r\n");
        QTest::newRow("section without final line end")
            << QByteArray("[Domquire]\r\nWID=1") << u"HET"_qs << u"7"_qs
            << QByteArray("[Domquire]\r\nWID=1\r\nHET=7\r\n");
        QTest::newRow("replaced line keeps a missing line end") << QByteArray(
            "[Domquire]\r\nWID=1") << u"WID"_qs << u"2"_qs << QByteArray("[Domquire]\r\nWID=2");
        QTest::newRow("LF file gets LF lines")
            << QByteArray("[Domquire]\nWID=1\n") << u"HET"_qs << u"7"_qs
            << QByteArray("[Domquire]\nWID=1\nHET=7\n");
        QTest::newRow("mixed line ends kept")
            << QByteArray("[Other]\nA=1\r\nB=2\r[Domquire]\r\nWID=1\n") << u"WID"_qs << u"2"_qs
            << QByteArray("[Other]\nA=1\r\nB=2\r[Domquire]\r\nWID=2\n");
        QTest::newRow("Shift_JIS lines kept")
            << QByteArray(sjisComment + "[Domquire]\r\nWID=1\r\n" + sjisComment) << u"WID"_qs
            << u"2"_qs << QByteArray(sjisComment + "[Domquire]\r\nWID=2\r\n" + sjisComment);
        QTest::newRow("entry in the second section of the name")
            << QByteArray("[Domquire]\r\nA=1\r\n[Other]\r\n[Domquire]\r\nWID=1\r\n") << u"WID"_qs
            << u"2"_qs << QByteArray("[Domquire]\r\nA=1\r\n[Other]\r\n[Domquire]\r\nWID=2\r\n");
        QTest::newRow("text written in code page 932")
            << QByteArray() << u"幅"_qs << u"表示ｱ"_qs
            << QByteArray("[Domquire]\r\n\x95\x9d=\x95\x5c\x8e\xa6\xb1\r\n");
        QTest::newRow("empty value") << QByteArray("[Domquire]\r\nWID=1\r\n") << u"WID"_qs
                                     << QString() << QByteArray("[Domquire]\r\nWID=\r\n");

        const QByteArray kept("[Domquire]\r\nWID=1\r\n");
        QTest::newRow("line break in value not written")
            << kept << u"WID"_qs << u"2\r\n[Other]"_qs << kept;
        QTest::newRow("lone LF in value not written") << kept << u"WID"_qs << u"2\nX=1"_qs << kept;
        QTest::newRow("equals sign in key not written") << kept << u"A=B"_qs << u"1"_qs << kept;
        QTest::newRow("empty key not written") << kept << u" "_qs << u"1"_qs << kept;
        QTest::newRow("section-like key not written") << kept << u"[X]"_qs << u"1"_qs << kept;
        QTest::newRow("comment-like key not written") << kept << u";WID"_qs << u"1"_qs << kept;
        const QByteArray binary("[Domquire]\r\nWID=1\r\n\0", 20);
        QTest::newRow("binary file left alone") << binary << u"WID"_qs << u"2"_qs << binary;
        const QByteArray large = paddedTo((16 << 20) + 1);
        QTest::newRow("file over 16 MiB left alone") << large << u"WID"_qs << u"2"_qs << large;
    }

    void save()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"dq.ini"_qs);
        if (!before.isNull())
            QVERIFY(writeBytes(path, before));

        IniStore(dir.path()).saveIni(key, value);
        QCOMPARE(readBytes(path), after);
        // Only dq.ini is left: the atomic write leaves no temporary file.
        QCOMPARE(
            QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"dq.ini"_qs });
    }

    void folderWithOrWithoutSeparatorIsTheSameFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        IniStore(dir.path() + u'/').saveIni(u"WID"_qs, u"9015"_qs);
        QVERIFY(QFile::exists(dir.filePath(u"dq.ini"_qs)));
        QCOMPARE(IniStore(dir.path()).loadIni(u"WID"_qs, kDefault), u"9015"_qs);
    }

    // Any text written is read back without its outer spaces, cut to at most
    // 1023 bytes and never in the middle of a double-byte character.
    void anyValueReadsBackTrimmedAndCut()
    {
        const QString alphabet = u"ab09 .-表示ソゾ能ｱﾝ亜\u3000"_qs;
        QRandomGenerator random(kSeed);
        const QByteArray seedText = "seed " + QByteArray::number(kSeed);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const IniStore ini(dir.path());

        for (int round = 0; round < 200; ++round) {
            QString value;
            const int length = random.bounded(round % 2 == 0 ? 20 : 700);
            for (int i = 0; i < length; ++i)
                value += alphabet[random.bounded(alphabet.size())];
            ini.saveIni(u"KEY"_qs, value);
            const QString read = ini.loadIni(u"KEY"_qs, kDefault);

            while (value.startsWith(u' '))
                value.remove(0, 1);
            while (value.endsWith(u' '))
                value.chop(1);
            const qsizetype readSize = CodePage932::encode(read).size();
            const qsizetype wholeSize = CodePage932::encode(value).size();
            QVERIFY2(value.first(read.size()) == read, seedText.constData());
            QVERIFY2(readSize <= 1023, seedText.constData());
            if (wholeSize <= 1023)
                QVERIFY2(read == value, seedText.constData());
            else
                QVERIFY2(readSize >= 1022, seedText.constData());
        }
    }

    // In random files, writing a key changes or adds only its own lines:
    // every other line keeps its bytes, and every other key reads as before.
    void writingKeepsEveryOtherLine()
    {
        const QStringList sections = { u"Domquire"_qs, u"domquire"_qs, u" DOMQUIRE "_qs,
            u"Other"_qs, u"表示"_qs };
        const QStringList keys = { u"WID"_qs, u"het"_qs, u"Name"_qs, u"名前"_qs, u"ソ"_qs };
        const QStringList values = { QString(), u"9000"_qs, u" a b "_qs, u"能力"_qs, u"=x"_qs };
        const QList<QByteArray> lineEnds = { "\r\n", "\n", "\r" };
        QRandomGenerator random(kSeed);
        const QByteArray seedText = "seed " + QByteArray::number(kSeed);
        const auto pick = [&random](const auto &list) { return list[random.bounded(list.size())]; };

        for (int round = 0; round < 200; ++round) {
            QTemporaryDir dir;
            QVERIFY(dir.isValid());
            const QString path = dir.filePath(u"dq.ini"_qs);
            const QByteArray lineEnd = pick(lineEnds);
            QByteArray before;
            for (int line = random.bounded(12); line > 0; --line) {
                QString text;
                switch (random.bounded(5)) {
                case 0:
                    text = u'[' + pick(sections) + u']';
                    break;
                case 1:
                    text = u"; "_qs + pick(keys) + u'=' + pick(values);
                    break;
                case 2:
                    break;
                default:
                    text = pick(keys) + u'=' + pick(values);
                }
                before += CodePage932::encode(text) + lineEnd;
            }
            QVERIFY(writeBytes(path, before));
            const IniStore ini(dir.path());
            QStringList readBefore;
            for (const QString &key : keys)
                readBefore.append(ini.loadIni(key, kDefault));

            const qsizetype written = random.bounded(keys.size());
            const QString value = u"v"_qs + QString::number(round);
            ini.saveIni(keys[written], value);

            for (qsizetype k = 0; k < keys.size(); ++k) {
                const QString expected = k == written ? value : readBefore[k];
                QVERIFY2(ini.loadIni(keys[k], kDefault) == expected, seedText.constData());
            }
            // Strip the lines both files share at the start and the end; what
            // is left is at most the one changed line, or the added lines.
            QList<QByteArray> oldLines = linesOf(before);
            QList<QByteArray> newLines = linesOf(readBytes(path));
            while (!oldLines.isEmpty() && !newLines.isEmpty()
                && oldLines.first() == newLines.first()) {
                oldLines.removeFirst();
                newLines.removeFirst();
            }
            while (
                !oldLines.isEmpty() && !newLines.isEmpty() && oldLines.last() == newLines.last()) {
                oldLines.removeLast();
                newLines.removeLast();
            }
            const QByteArray entry = CodePage932::encode(keys[written]) + '=' + value.toLatin1();
            QVERIFY2(oldLines.size() <= 1, seedText.constData());
            const bool replaced = oldLines.size() == 1 && newLines.size() == 1;
            const bool keyAdded = oldLines.isEmpty() && newLines.size() == 1;
            const bool sectionAdded = oldLines.isEmpty() && newLines.size() == 2
                && newLines.first().startsWith("[Domquire]");
            QVERIFY2(replaced || keyAdded || sectionAdded, seedText.constData());
            QVERIFY2(newLines.last().startsWith(entry), seedText.constData());
        }
    }

    void unusableFolderOrFile_data()
    {
        QTest::addColumn<QString>("folder"); // relative to a temporary folder
        QTest::newRow("folder is a regular file") << u"file"_qs;
        QTest::newRow("folder under a regular file") << u"file/sub"_qs;
        QTest::newRow("dq.ini is a folder") << u"withfolder"_qs;
    }

    void unusableFolderOrFile()
    {
        QFETCH(QString, folder);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(writeBytes(dir.filePath(u"file"_qs), "keep"));
        QVERIFY(QDir(dir.path()).mkpath(u"withfolder/dq.ini"_qs));
        const QStringList entriesBefore = entriesBelow(dir.path());

        const IniStore ini(dir.filePath(folder));
        ini.saveIni(u"WID"_qs, u"9015"_qs);
        QCOMPARE(ini.loadIni(u"WID"_qs, kDefault), kDefault);
        QCOMPARE(entriesBelow(dir.path()), entriesBefore);
        QCOMPARE(readBytes(dir.filePath(u"file"_qs)), QByteArray("keep"));
    }

    void permissions_data()
    {
        QTest::addColumn<QFile::Permissions>("folderPermissions");
        QTest::addColumn<QFile::Permissions>("filePermissions");
        QTest::addColumn<QString>("expectedRead");
        const QFile::Permissions all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        QTest::newRow("read-only folder") << (QFile::ReadOwner | QFile::ExeOwner)
                                          << (QFile::ReadOwner | QFile::WriteOwner) << u"9000"_qs;
        QTest::newRow("read-only file")
            << all << QFile::Permissions(QFile::ReadOwner) << u"9000"_qs;
        QTest::newRow("unreadable file")
            << all << QFile::Permissions(QFile::WriteOwner) << kDefault;
    }

    // A settings file or folder the user may not write: nothing changes.
    // Runs only where permission bits bind the user (not as root).
    void permissions()
    {
        QFETCH(QFile::Permissions, folderPermissions);
        QFETCH(QFile::Permissions, filePermissions);
        QFETCH(QString, expectedRead);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"dq.ini"_qs);
        const QByteArray before("[Domquire]\r\nWID=9000\r\n");
        QVERIFY(writeBytes(path, before));
        QVERIFY(QFile::setPermissions(path, filePermissions));
        QVERIFY(QFile::setPermissions(dir.path(), folderPermissions));
        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(
                dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        });
        if (QFile(path).open(QIODevice::ReadWrite) && canCreateFileIn(dir.path()))
            QSKIP("permission bits do not bind this user");

        const IniStore ini(dir.path());
        ini.saveIni(u"WID"_qs, u"9015"_qs);
        QCOMPARE(ini.loadIni(u"WID"_qs, kDefault), expectedRead);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(readBytes(path), before);
    }

private:
    static QStringList entriesBelow(const QString &folder)
    {
        QStringList entries;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
            QDirIterator::Subdirectories);
        while (it.hasNext())
            entries.append(it.next());
        entries.sort();
        return entries;
    }
};

QTEST_GUILESS_MAIN(TestIniStore)
#include "tst_ini_store.moc"
