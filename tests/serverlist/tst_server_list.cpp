#include "serverlist/server_list.h"
#include "encoding/code_page_932.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Random inputs are the same on every run; failures print the seed.
constexpr quint32 kSeed = 0x5E7F1157;

using Table = QList<ServerEntry>;

const Table kBuiltIns = {
    { u"JPNIC"_qs, u"whois.nic.ad.jp"_qs, u"JPNIC[whois.nic.ad.jp]"_qs },
    { u"InterNic"_qs, u"whois.internic.net"_qs, u"InterNic[whois.internic.net]"_qs },
    { u"APNIC"_qs, u"whois.apnic.net"_qs, u"APNIC[whois.apnic.net]"_qs },
    { u"VeriSign"_qs, u"whois.verisign-grs.com"_qs, u"VeriSign[whois.verisign-grs.com]"_qs },
    { u"RIPE"_qs, u"whois.ripe.net"_qs, u"RIPE[whois.ripe.net]"_qs },
    { u"ARIN"_qs, u"whois.arin.net"_qs, u"ARIN[whois.arin.net]"_qs },
};

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString listPath(const QTemporaryDir &dir)
{
    return dir.filePath(u"serverlist.dat"_qs);
}

} // namespace

// Lets QCOMPARE print the entries it compares.
char *toString(const ServerEntry &entry)
{
    return QTest::toString(
        u"name '%1' host '%2' shown '%3'"_qs.arg(entry.name, entry.host, entry.displayText));
}

class TestServerList : public QObject {
    Q_OBJECT

private slots:
    void noFileGivesTheBuiltInServers()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QCOMPARE(loadServerList(dir.path()), kBuiltIns);
        QCOMPARE(kAutoSelectText, u"---自動選択---");
    }

    void fileReplacesTheBuiltIns_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Table>("expected");

        // Fields, blanks and line ends in general are left to anyListReadsBack.
        QTest::newRow("empty file") << QByteArray() << Table {};
        QTest::newRow("lines without a comma only")
            << QByteArray("JPNIC whois.nic.ad.jp\r\n   \r\n\r\n\t\r\n") << Table {};
        QTest::newRow("duplicates kept in file order")
            << QByteArray("b,2\r\na,1\r\nb,2\r\n")
            << Table { { u"b"_qs, u"2"_qs, u"b[2]"_qs }, { u"a"_qs, u"1"_qs, u"a[1]"_qs },
                   { u"b"_qs, u"2"_qs, u"b[2]"_qs } };
        QTest::newRow("lead byte before a line end") << QByteArray(
            "x\x88\r\nname,host") << Table { { u"name"_qs, u"host"_qs, u"name[host]"_qs } };
        // The encodings the list may come in, each with Japanese names.
        const Table japanese = { { u"日本"_qs, u"whois.example.jp"_qs,
            u"日本[whois.example.jp]"_qs } };
        const QString japaneseLine = u"日本,whois.example.jp\r\n"_qs;
        QTest::newRow("code page 932") << CodePage932::encode(japaneseLine) << japanese;
        QTest::newRow("UTF-8") << japaneseLine.toUtf8() << japanese;
        QTest::newRow("UTF-8 with byte-order mark")
            << "\xEF\xBB\xBF" + japaneseLine.toUtf8() << japanese;
        QTest::newRow("byte-order mark before ASCII") << QByteArray(
            "\xEF\xBB\xBFname,host") << Table { { u"name"_qs, u"host"_qs, u"name[host]"_qs } };
        QTest::newRow("half-width kana that look like two-byte UTF-8")
            << QByteArray("\xC3\xA8,host") << Table { { u"ﾃｨ"_qs, u"host"_qs, u"ﾃｨ[host]"_qs } };
    }

    void fileReplacesTheBuiltIns()
    {
        QFETCH(QByteArray, file);
        QFETCH(Table, expected);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(writeBytes(listPath(dir), file));
        QCOMPARE(loadServerList(dir.path()), expected);
    }

    void absentFileGivesTheBuiltIns_data()
    {
        QTest::addColumn<QString>("make");
        QTest::newRow("folder of that name") << u"folder"_qs;
        QTest::newRow("link to a missing file") << u"dangling link"_qs;
    }

    // serverlist.dat cannot be hidden on Unix (only a leading "." hides a
    // file); tst_visible_file covers hidden files by that rule.
    void absentFileGivesTheBuiltIns()
    {
        QFETCH(QString, make);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        if (make == u"folder")
            QVERIFY(QDir(dir.path()).mkdir(u"serverlist.dat"_qs));
        else
            QVERIFY(QFile::link(dir.filePath(u"missing"_qs), listPath(dir)));
        QCOMPARE(loadServerList(dir.path()), kBuiltIns);
    }

    void unreadableFileGivesTheBuiltIns()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(writeBytes(listPath(dir), "a,b"));
        QVERIFY(QFile::setPermissions(listPath(dir), QFile::WriteOwner));
        if (QFile(listPath(dir)).open(QIODevice::ReadOnly))
            QSKIP("permission bits do not bind this user");
        QCOMPARE(loadServerList(dir.path()), kBuiltIns);
    }

    void fileOver16MiBCountsAsAbsent()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray first("n,h\r\n");
        QVERIFY(writeBytes(listPath(dir), first + QByteArray((16 << 20) + 1 - first.size(), '\r')));
        QCOMPARE(loadServerList(dir.path()), kBuiltIns);
    }

    // A million CR LF lines parse in one pass (a quadratic pass would not
    // finish within the test's time).
    void millionCrLfLines()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(writeBytes(listPath(dir), QByteArray("\r\n").repeated(999'999) + "n,h"));
        QCOMPARE(loadServerList(dir.path()), (Table { { u"n"_qs, u"h"_qs, u"n[h]"_qs } }));
    }

    void keepsTheFirst32766Entries()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QByteArray file;
        for (int i = 1; i <= 32770; ++i)
            file += "n" + QByteArray::number(i) + ",h" + QByteArray::number(i) + "\r\n";
        QVERIFY(writeBytes(listPath(dir), file));
        const Table table = loadServerList(dir.path());
        QCOMPARE(table.size(), 32766);
        QCOMPARE(table.first().displayText, u"n1[h1]"_qs);
        QCOMPARE(table.last().displayText, u"n32766[h32766]"_qs);
    }

    // Any servers written one to a line, with blanks around the fields, any
    // line ends, a third field or lines without a comma in between, read back
    // as written, in code page 932 or in UTF-8 with or without a byte-order
    // mark.
    void anyListReadsBack()
    {
        const QString characters = u"abcXYZ019.-_[]ソゾ表能日本ｱﾝ\t \u3000"_qs;
        const QStringList blanks = { QString(), u" "_qs, u"\u3000"_qs, u"  \u3000 "_qs };
        const QStringList lineEnds = { u"\r\n"_qs, u"\r"_qs, u"\n"_qs };
        QRandomGenerator random(kSeed);
        const QByteArray seedText = "seed " + QByteArray::number(kSeed);
        const auto pick = [&random](const auto &list) { return list[random.bounded(list.size())]; };
        // A field of random characters that neither starts nor ends with a
        // blank, which the reader would remove.
        const auto field = [&] {
            QString text;
            for (int i = random.bounded(8); i > 0; --i)
                text += pick(characters);
            while (text.startsWith(u' ') || text.startsWith(u'\u3000'))
                text.remove(0, 1);
            while (text.endsWith(u' ') || text.endsWith(u'\u3000'))
                text.chop(1);
            return text;
        };

        for (int round = 0; round < 300; ++round) {
            Table written;
            QString text;
            for (int line = random.bounded(10); line > 0; --line) {
                if (random.bounded(4) == 0)
                    text += field().remove(u',') + pick(blanks) + pick(lineEnds);
                const QString name = field();
                const QString host = field();
                written.append({ name, host, name + u'[' + host + u']' });
                text +=
                    pick(blanks) + name + pick(blanks) + u',' + pick(blanks) + host + pick(blanks);
                if (random.bounded(3) == 0)
                    text += u',' + field();
                text += pick(lineEnds);
            }
            QTemporaryDir dir;
            QVERIFY(dir.isValid());
            const QByteArrayList encodings = { CodePage932::encode(text), text.toUtf8(),
                "\xEF\xBB\xBF" + text.toUtf8() };
            QVERIFY(writeBytes(listPath(dir), pick(encodings)));
            QVERIFY2(loadServerList(dir.path()) == written, seedText.constData());
        }
    }
};

QTEST_GUILESS_MAIN(TestServerList)
#include "tst_server_list.moc"
