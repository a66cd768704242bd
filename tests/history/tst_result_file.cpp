#include "history/result_file.h"

#include <QRandomGenerator>
#include <QTest>

class TestResultFile : public QObject {
    Q_OBJECT

private slots:
    // Every text of up to six characters from a letter, a kanji, CR and LF:
    // each line break becomes one CR LF and nothing else changes.
    void lineBreaksBecomeCrLf()
    {
        const QString alphabet = u"a例\r\n"_qs;
        QStringList texts { QString() };
        for (qsizetype at = 0; at < texts.size(); ++at) {
            if (texts[at].size() < 6) {
                for (QChar c : alphabet)
                    texts << texts[at] + c;
            }
        }
        for (const QString &text : std::as_const(texts)) {
            QString expected = text;
            expected.replace(u"\r\n"_qs, u"\n"_qs)
                .replace(u'\r', u'\n')
                .replace(u"\n"_qs, u"\r\n"_qs);
            const QByteArray row = QByteArray("text ") + text.toUtf8().toPercentEncoding();
            QVERIFY2(resultFileBytes(text) == expected.toUtf8(), row.constData());
        }
    }

    void fileName_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::newRow("domain") << u"example.jp"_qs << u"example.jp.txt"_qs;
        QTest::newRow("refused characters")
            << u"a\\b/c:d*e?f\"g<h>i|j\tk"_qs << u"a_b_c_d_e_f_g_h_i_j_k.txt"_qs;
        QTest::newRow("blanks and dots at the ends") << u" \u3000..a b.\u3000 "_qs << u"a b.txt"_qs;
        QTest::newRow("nothing left") << u" .. "_qs << u"whois.txt"_qs;
        QTest::newRow("path climbing") << u"../../etc/passwd"_qs << u"_.._etc_passwd.txt"_qs;
        QTest::newRow("device name") << u"con"_qs << u"_con.txt"_qs;
        QTest::newRow("device name with a dot") << u"LPT1.example"_qs << u"_LPT1.example.txt"_qs;
        QTest::newRow("no device name") << u"COM0"_qs << u"COM0.txt"_qs;
        QTest::newRow("lone surrogate") << u"a"_qs + QChar(0xD800) << u"a_.txt"_qs;
    }

    void fileName()
    {
        QFETCH(QString, key);
        QFETCH(QString, name);
        QCOMPARE(resultFileName(key), name);
    }

    // Whatever the key, the name is one usable file name in one folder.
    void fileNameIsAlwaysUsable()
    {
        const quint32 seed = 20261207;
        QRandomGenerator random(seed);
        const QString pieces = u"a.. /\\:\r\n例\u3000"_qs;
        for (int round = 0; round < 2000; ++round) {
            QString key;
            const int length = random.bounded(300);
            for (int i = 0; i < length; ++i) {
                switch (random.bounded(4)) {
                case 0:
                    key += QChar(char16_t(random.bounded(0x10000)));
                    break;
                case 1:
                    key += u"\U0001F600"_qs;
                    break;
                default:
                    key += pieces[random.bounded(pieces.size())];
                }
            }
            const QString name = resultFileName(key);
            const QByteArray where =
                "seed " + QByteArray::number(seed) + " round " + QByteArray::number(round);
            QVERIFY2(name.endsWith(u".txt"), where.constData());
            QVERIFY2(name.size() > 4 && !name.startsWith(u'.'), where.constData());
            QVERIFY2(name.toUtf8().size() <= 255, where.constData());
            QVERIFY2(QString::fromUtf8(name.toUtf8()) == name, where.constData());
            for (QChar c : name) {
                QVERIFY2(c.unicode() >= 0x20 && c != u'/' && c != u'\\', where.constData());
            }
        }
    }
};

QTEST_MAIN(TestResultFile)
#include "tst_result_file.moc"
