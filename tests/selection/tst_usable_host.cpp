#include "selection/usable_host.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

constexpr quint32 kSeed = 20240517;

// Prints the seed when a check of the enclosing test has failed.
struct SeedReport {
    ~SeedReport()
    {
        if (QTest::currentTestFailed())
            qWarning("random inputs from seed %u", kSeed);
    }
};

// A host name by the rule: labels of letters, digits and inner hyphens.
QString RandomHostName(QRandomGenerator &random)
{
    static const QString letters = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"_qs;
    static const QString inner = letters + u"0123456789-"_qs;
    QStringList labels;
    const int labelCount = random.bounded(1, 4);
    for (int i = 0; i < labelCount; ++i) {
        const int length = random.bounded(1, 64);
        QString label(letters[random.bounded(letters.size())]);
        for (int j = 1; j < length - 1; ++j)
            label += inner[random.bounded(inner.size())];
        if (length > 1)
            label += letters[random.bounded(letters.size())];
        labels << label;
    }
    return labels.join(u'.');
}

} // namespace

class TestUsableHost : public QObject {
    Q_OBJECT

private slots:
    void decides_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("usable");
        const QString label63(63, u'a');
        const QString name253 = QStringList(4, QString(62, u'b')).join(u'.') + u".c"_qs;
        QTest::newRow("final dot") << u"whois.jprs.jp."_qs << true;
        QTest::newRow("ipv4") << u"127.0.0.1"_qs << true;
        QTest::newRow("ipv6") << u"::1"_qs << true;
        QTest::newRow("ipv6 full") << u"2001:db8:0:0:0:0:0:1"_qs << true;
        QTest::newRow("japanese name") << u"日本語.jp"_qs << true;
        QTest::newRow("label of 63") << label63 + u".jp"_qs << true;
        QTest::newRow("name of 253") << name253 << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("empty label") << u"a..b"_qs << false;
        QTest::newRow("leading dot") << u".jp"_qs << false;
        QTest::newRow("only a dot") << u"."_qs << false;
        QTest::newRow("two final dots") << u"whois.jp.."_qs << false;
        QTest::newRow("leading hyphen") << u"-a.jp"_qs << false;
        QTest::newRow("trailing hyphen") << u"a-.jp"_qs << false;
        QTest::newRow("with port") << u"whois.jp:43"_qs << false;
        QTest::newRow("url") << u"http://whois.jp/"_qs << false;
        QTest::newRow("line break") << u"whois.jp\r\n"_qs << false;
        QTest::newRow("label of 64") << QString(64, u'a') + u".jp"_qs << false;
        QTest::newRow("name of 254") << u"a"_qs + name253 << false;
        QTest::newRow("NUL after an address") << u"192.0.2.1\u0000x"_qs << false;
        QTest::newRow("blank inside an address") << u"8 :2"_qs << false;
        QTest::newRow("trailing blank") << u"192.0.2.1 "_qs << false;
        QTest::newRow("byte-order mark") << u"\ufeffwhois.jp"_qs << false;
    }

    void decides()
    {
        QFETCH(QString, host);
        QFETCH(bool, usable);
        QCOMPARE(isUsableHost(host), usable);
    }

    // Any name built by the rule is usable, and one character outside the
    // rule, put anywhere into it, makes it unusable.
    void oneForeignCharacterSpoilsAnyName()
    {
        const SeedReport report;
        const QString foreign = u" !\"#$&'()*+,/;<=>?@[\\]^_`{|}~\t\u3000\u0000\u0001\u007f\u00a0\u200b"_qs;
        QRandomGenerator random(kSeed);
        for (int round = 0; round < 500; ++round) {
            QString name = RandomHostName(random);
            QVERIFY2(isUsableHost(name), qPrintable(name));
            name.insert(random.bounded(name.size() + 1), foreign[random.bounded(foreign.size())]);
            QVERIFY2(!isUsableHost(name), qPrintable(name));
        }
    }
};

QTEST_GUILESS_MAIN(TestUsableHost)
#include "tst_usable_host.moc"
