#include "batch/key_extraction.h"

#include <QRandomGenerator>
#include <QTest>

using Kind = QueryKey::Kind;

namespace {

QStringList textsOf(const QList<ExtractedKey> &keys)
{
    QStringList texts;
    for (const ExtractedKey &key : keys)
        texts.append(key.text);
    return texts;
}

} // namespace

class TestKeyExtraction : public QObject {
    Q_OBJECT

private slots:
    void extracts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char *name, const QString &text, const QStringList &expected) {
            QTest::newRow(name) << text << expected;
        };
        row("one per line", u"192.0.2.1\nexample.com\r\nAS15169\n2001:db8::1\n"_qs,
            { u"192.0.2.1"_qs, u"example.com"_qs, u"AS15169"_qs, u"2001:db8::1"_qs });
        row("log line with timestamp",
            u"2024-05-01T12:34:56Z sshd[812]: Failed password from 203.0.113.7 port 51234"_qs,
            { u"203.0.113.7"_qs });
        row("times and MAC are no IPv6", u"12:34:56 12:34:56.789 00:1a:2b:3c:4d:5e 1:2:3"_qs, {});
        row("IPv6 forms",
            u"[2001:DB8:0:0::1]:443 fe80::1%eth0 ::ffff:192.0.2.9 ::1."_qs,
            { u"2001:db8::1"_qs, u"fe80::1"_qs, u"::ffff:192.0.2.9"_qs, u"::1"_qs });
        row("address with port", u"GET http://192.0.2.8:8080/x from 198.51.100.2:51000"_qs,
            { u"192.0.2.8"_qs, u"198.51.100.2"_qs });
        row("IPv4 needs four parts of 0-255", u"1.2.3 1.2.3.4.5 256.1.1.1 1.2.3.1234 010.001.002.003"_qs,
            { u"10.1.2.3"_qs });
        row("versions and dates", u"v1.2.3 2024.01.02 3.14 HTTP/1.1"_qs, {});
        row("AS numbers", u"as13335, AS1.1 AS0.65535 AS4294967295 AS4294967296 AS65536.1 ASN AS"_qs,
            { u"AS13335"_qs, u"AS65537"_qs, u"AS65535"_qs, u"AS4294967295"_qs });
        row("CSV", u"key,note\n\"example.org\",\"ok\"\n'192.0.2.3';x\n"_qs,
            { u"example.org"_qs, u"192.0.2.3"_qs });
        row("URL and e-mail", u"https://www.Example.co.jp/path?q=1 mailto:abuse@example.net"_qs,
            { u"www.Example.co.jp"_qs, u"example.net"_qs });
        row("unknown top-level label", u"example.invalidtld readme.txt"_qs, {});
        row("final dot and sentence end", u"See example.com. Then ask 192.0.2.4."_qs,
            { u"example.com"_qs, u"192.0.2.4"_qs });
        row("name inside a longer token", u"mail.example.com.log my_host.example.net"_qs,
            { u"mail.example.com"_qs, u"example.net"_qs });
        row("bad labels end the name", u"-x-.example.com foo..example.org"_qs,
            { u"example.com"_qs, u"example.org"_qs });
        row("full-width forms", u"１９２．０．２．５\u3000ＡＳ１２３\u3000ＥＸＡＭＰＬＥ．ＪＰ"_qs,
            { u"192.0.2.5"_qs, u"AS123"_qs, u"EXAMPLE.JP"_qs });
        row("Japanese dots between labels", u"example。co。jp と example｡org"_qs,
            { u"example.co.jp"_qs, u"example.org"_qs });
        row("Japanese text around keys", u"例えばexample.jpです。192.0.2.6から。"_qs,
            { u"example.jp"_qs, u"192.0.2.6"_qs });
        row("Japanese full stop ends a sentence", u"これはexample.com。次の行"_qs, { u"example.com"_qs });
        row("IDN labels", u"日本語.jp, müller.de and bücher.example.com"_qs,
            { u"日本語.jp"_qs, u"müller.de"_qs, u"bücher.example.com"_qs });
        row("IDN top-level label", u"例え.みんな"_qs, { u"例え.みんな"_qs });
        row("duplicates in any case or form",
            u"Example.COM example.com ２００１:ｄｂ８::１ 2001:DB8:0::1 as7 AS7 192.0.2.1 192.000.002.001"_qs,
            { u"Example.COM"_qs, u"2001:db8::1"_qs, u"AS7"_qs, u"192.0.2.1"_qs });
        row("empty", QString(), {});
    }

    void extracts()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QCOMPARE(textsOf(extractKeys(text)), expected);
    }

    void namesTheKind()
    {
        const QList<ExtractedKey> keys = extractKeys(u"192.0.2.1 2001:db8::1 AS1 example.jp"_qs);
        const QList<Kind> kinds { Kind::IPv4, Kind::IPv6, Kind::AsNumber, Kind::Name };
        QCOMPARE(keys.size(), kinds.size());
        for (qsizetype i = 0; i < keys.size(); ++i)
            QCOMPARE(keys[i].kind, kinds[i]);
    }

    // Keys dropped at random places into noise made of near misses (times,
    // versions, MAC addresses, words, Japanese text) come out each once, in
    // order, and nothing else comes out.
    void findsInsertedKeysInNoise()
    {
        const quint32 seed = 20261207;
        QRandomGenerator random(seed);
        const QStringList noise { u"12:34:56"_qs, u"2024-01-02"_qs, u"2024/01/02"_qs, u"v1.2.3"_qs,
            u"1.2.3.4.5"_qs, u"00:1a:2b:3c:4d:5e"_qs, u"999.1.1.1"_qs, u"HTTP/1.1"_qs, u"ASX"_qs,
            u"as"_qs, u"port=51234"_qs, u"ERROR"_qs, u"sshd[812]:"_qs, u"接続が切れました"_qs,
            u"readme.txt"_qs, u"0x1F"_qs, u"-"_qs, u"::"_qs, u"a::b::c"_qs, u"1e10"_qs };
        const QStringList separators { u" "_qs, u"\t"_qs, u"\n"_qs, u"\r\n"_qs, u","_qs, u";"_qs,
            u" \""_qs, u"("_qs, u")"_qs, u"["_qs, u"]"_qs, u"<"_qs, u"|"_qs, u"、"_qs, u"\u3000"_qs,
            u"。"_qs, u"="_qs, u"/"_qs };
        for (int round = 0; round < 200; ++round) {
            QStringList inserted;
            QString text;
            const auto separator = [&] { return separators[random.bounded(separators.size())]; };
            const int count = random.bounded(1, 12);
            for (int k = 0; k < count; ++k) {
                for (int n = random.bounded(0, 6); n > 0; --n)
                    text += separator() + noise[random.bounded(noise.size())] + separator();
                QString key;
                switch (random.bounded(4)) {
                case 0:
                    key = u"%1.%2.%3.%4"_qs.arg(random.bounded(1, 224)).arg(random.bounded(256))
                              .arg(random.bounded(256)).arg(random.bounded(256));
                    break;
                case 1:
                    key = u"2001:db8:%1::%2"_qs.arg(random.bounded(1, 0xFFFF), 0, 16).arg(random.bounded(1, 0xFFFF), 0, 16);
                    break;
                case 2:
                    key = u"AS"_qs + QString::number(random.bounded(1, 400000));
                    break;
                default:
                    key = u"host%1.example.%2"_qs.arg(random.bounded(100000))
                              .arg(QStringList { u"com"_qs, u"jp"_qs, u"co.jp"_qs, u"org"_qs }[random.bounded(4)]);
                    break;
                }
                if (inserted.contains(key))
                    continue;
                inserted.append(key);
                text += separator() + key + separator();
            }
            const QStringList found = textsOf(extractKeys(text));
            if (found != inserted) {
                qWarning().noquote() << "seed" << seed << "round" << round << "text:" << text;
                QCOMPARE(found, inserted);
            }
        }
    }

    // A text longer than the limit is read up to a separator before it.
    void stopsAtTheLimit()
    {
        QString text(kMaxBatchTextChars - 12, u' ');
        text += u"192.0.2.1 example.com"_qs;
        const QList<ExtractedKey> keys = extractKeys(text);
        QCOMPARE(textsOf(keys), QStringList { u"192.0.2.1"_qs });
    }
};

QTEST_GUILESS_MAIN(TestKeyExtraction)
#include "tst_key_extraction.moc"
