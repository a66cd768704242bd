#include "selection/blank_trim.h"
#include "selection/domain_list.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <iterator>

namespace {

const QString kError = u"Error"_qs;
const QString kIana = u"whois.iana.org"_qs;
const QString kVeriSign = u"whois.verisign-grs.com"_qs;
const QString kCentralNic = u"whois.centralnic.com"_qs;

struct LabelHost {
    QStringView label;
    QStringView host;
};

// Every top-level label the program knows, with the host that holds its names.
constexpr LabelHost kExpectedTopLevel[] = {
    { u"com", u"whois.verisign-grs.com" },
    { u"net", u"whois.verisign-grs.com" },
    { u"edu", u"whois.educause.edu" },
    { u"org", u"whois.publicinterestregistry.org" },
    { u"tv", u"whois.nic.tv" },
    { u"arpa", u"whois.iana.org" },
    { u"jp", u"whois.jprs.jp" },
    { u"al", u"whois.iana.org" },
    { u"az", u"whois.iana.org" },
    { u"ba", u"whois.iana.org" },
    { u"bg", u"whois.register.bg" },
    { u"by", u"whois.cctld.by" },
    { u"dk", u"whois.punktum.dk" },
    { u"dz", u"whois.nic.dz" },
    { u"fi", u"whois.fi" },
    { u"fo", u"whois.nic.fo" },
    { u"gl", u"whois.nic.gl" },
    { u"gm", u"whois.iana.org" },
    { u"gr", u"whois.iana.org" },
    { u"hr", u"whois.dns.hr" },
    { u"lv", u"whois.nic.lv" },
    { u"ma", u"whois.registre.ma" },
    { u"mc", u"whois.nic.mc" },
    { u"md", u"whois.nic.md" },
    { u"mk", u"whois.marnet.mk" },
    { u"pt", u"whois.dns.pt" },
    { u"sk", u"whois.sk-nic.sk" },
    { u"sm", u"whois.nic.sm" },
    { u"va", u"whois.iana.org" },
    { u"bi", u"whois1.nic.bi" },
    { u"cd", u"whois.nic.cd" },
    { u"cg", u"whois.iana.org" },
    { u"rw", u"whois.ricta.org.rw" },
    { u"gs", u"whois.nic.gs" },
    { u"ms", u"whois.nic.ms" },
    { u"tc", u"whois.nic.tc" },
    { u"tf", u"whois.nic.tf" },
    { u"vg", u"whois.nic.vg" },
    { u"fr", u"whois.nic.fr" },
    { u"pm", u"whois.nic.pm" },
    { u"no", u"whois.norid.no" },
    { u"sj", u"whois.iana.org" },
    { u"aero", u"whois.aero" },
    { u"biz", u"whois.nic.biz" },
    { u"coop", u"whois.nic.coop" },
    { u"info", u"whois.iana.org" },
    { u"int", u"whois.iana.org" },
    { u"gov", u"whois.nic.gov" },
    { u"mil", u"whois.iana.org" },
    { u"museum", u"whois.nic.museum" },
    { u"name", u"whois.nic.name" },
    { u"ac", u"whois.nic.ac" },
    { u"ag", u"whois.nic.ag" },
    { u"am", u"whois.amnic.net" },
    { u"as", u"whois.nic.as" },
    { u"at", u"whois.nic.at" },
    { u"au", u"whois.auda.org.au" },
    { u"be", u"whois.dns.be" },
    { u"br", u"whois.registro.br" },
    { u"bz", u"whois.identitydigital.services" },
    { u"ca", u"whois.cira.ca" },
    { u"cc", u"ccwhois.verisign-grs.com" },
    { u"ch", u"whois.nic.ch" },
    { u"ck", u"whois.iana.org" },
    { u"cl", u"whois.nic.cl" },
    { u"cn", u"whois.cnnic.cn" },
    { u"cz", u"whois.nic.cz" },
    { u"de", u"whois.denic.de" },
    { u"do", u"whois.nic.do" },
    { u"ee", u"whois.tld.ee" },
    { u"fj", u"www.whois.fj" },
    { u"gg", u"whois.gg" },
    { u"hk", u"whois.hkirc.hk" },
    { u"hm", u"whois.registry.hm" },
    { u"hu", u"whois.nic.hu" },
    { u"id", u"whois.id" },
    { u"ie", u"whois.weare.ie" },
    { u"il", u"whois.isoc.org.il" },
    { u"ir", u"whois.nic.ir" },
    { u"is", u"whois.isnic.is" },
    { u"it", u"whois.nic.it" },
    { u"je", u"whois.je" },
    { u"kr", u"whois.kr" },
    { u"kz", u"whois.nic.kz" },
    { u"la", u"whois.nic.la" },
    { u"li", u"whois.nic.li" },
    { u"lk", u"whois.nic.lk" },
    { u"lt", u"whois.domreg.lt" },
    { u"lu", u"whois.dns.lu" },
    { u"mm", u"whois.registry.gov.mm" },
    { u"mx", u"whois.mx" },
    { u"my", u"whois.mynic.my" },
    { u"nc", u"whois.nc" },
    { u"ng", u"whois.nic.net.ng" },
    { u"nl", u"whois.domain-registry.nl" },
    { u"nu", u"whois.iis.nu" },
    { u"nz", u"whois.irs.net.nz" },
    { u"pe", u"kero.yachay.pe" },
    { u"pk", u"whois.pknic.net.pk" },
    { u"pl", u"whois.dns.pl" },
    { u"re", u"whois.nic.re" },
    { u"ro", u"whois.rotld.ro" },
    { u"ru", u"whois.tcinet.ru" },
    { u"se", u"whois.iis.se" },
    { u"sg", u"whois.sgnic.sg" },
    { u"sh", u"whois.nic.sh" },
    { u"si", u"whois.register.si" },
    { u"st", u"whois.nic.st" },
    { u"th", u"whois.thnic.co.th" },
    { u"tj", u"whois.iana.org" },
    { u"tm", u"whois.nic.tm" },
    { u"to", u"whois.tonicregistry.to" },
    { u"tr", u"whois.trabis.gov.tr" },
    { u"tw", u"whois.twnic.net.tw" },
    { u"ua", u"whois.ua" },
    { u"ug", u"whois.co.ug" },
    { u"uk", u"whois.nic.uk" },
    { u"us", u"whois.nic.us" },
    { u"ve", u"whois.nic.ve" },
    { u"ws", u"whois.website.ws" },
    { u"za", u"whois.nic.za" },
};

constexpr quint32 kSeed = 20250211;

QString ExpectedHost(QStringView label)
{
    const auto row = std::find_if(std::begin(kExpectedTopLevel), std::end(kExpectedTopLevel),
        [&](const LabelHost &entry) { return entry.label == label; });
    return row == std::end(kExpectedTopLevel) ? QString() : row->host.toString();
}

bool IsKnownTopLevel(QStringView label)
{
    return !ExpectedHost(TrimBlanks(label).toLower()).isEmpty();
}

// Labels the random names are made of: known labels, second-level ones,
// unknown ones, empty and blank ones.
QString RandomLabel(QRandomGenerator &rng)
{
    static const QString others[] = { u"example"_qs, u"xyz"_qs, u"co"_qs, u"uk"_qs, u"eu"_qs,
        u"edu"_qs, u"ac"_qs, u"gov"_qs, u"gb"_qs, QString(), u" "_qs, u"\u3000"_qs, u"j p"_qs,
        u"jp\t"_qs, u"ｊｐ"_qs };
    if (rng.bounded(2) == 0)
        return kExpectedTopLevel[rng.bounded(int(std::size(kExpectedTopLevel)))].label.toString();
    return others[rng.bounded(int(std::size(others)))];
}

// The same label with some letters in capitals and blanks at its ends.
QString Decorated(const QString &label, QRandomGenerator &rng)
{
    static const QString blanks[] = { QString(), u" "_qs, u"\u3000"_qs, u"  \u3000"_qs };
    QString text = label;
    for (QChar &c : text) {
        if (rng.bounded(2) == 0)
            c = c.toUpper();
    }
    return blanks[rng.bounded(4)] + text + blanks[rng.bounded(4)];
}

QString RandomName(QRandomGenerator &rng, int minLabels)
{
    QStringList labels;
    const int count = minLabels + int(rng.bounded(4));
    for (int i = 0; i < count; ++i)
        labels << Decorated(RandomLabel(rng), rng);
    return labels.join(u'.');
}

QString Failure(const QString &name, const QString &actual)
{
    return u"seed %1, name '%2': got '%3'"_qs.arg(kSeed).arg(name, actual);
}

} // namespace

class TestDomainList : public QObject {
    Q_OBJECT

private slots:
    void edgeCases_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("single label jp") << u"jp"_qs << kIana;
        QTest::newRow("single label localhost") << u"localhost"_qs << kIana;
        QTest::newRow("empty") << QString() << kIana;
        QTest::newRow("blank without dot") << u"  "_qs << kIana;
        QTest::newRow("only a dot") << u"."_qs << kError;
        QTest::newRow("co.uk") << u"example.co.uk"_qs << u"whois.nic.uk"_qs;
        QTest::newRow("ac.uk") << u"example.ac.uk"_qs << u"whois.nic.ac.uk"_qs;
        QTest::newRow("gov.uk") << u"example.gov.uk"_qs << u"whois.gov.uk"_qs;
        QTest::newRow("two-label ac.uk") << u"ac.uk"_qs << u"whois.nic.ac.uk"_qs;
        QTest::newRow("uk.com") << u"example.uk.com"_qs << kCentralNic;
        QTest::newRow("uk.net is no combination") << u"example.uk.net"_qs << kVeriSign;
        QTest::newRow("gb.com") << u"example.gb.com"_qs << kCentralNic;
        QTest::newRow("gb.net") << u"example.gb.net"_qs << kCentralNic;
        QTest::newRow("gb.org is no combination")
            << u"example.gb.org"_qs << u"whois.publicinterestregistry.org"_qs;
        QTest::newRow("edu.cn") << u"example.edu.cn"_qs << u"whois.edu.cn"_qs;
        QTest::newRow("com.cn") << u"example.com.cn"_qs << u"whois.cnnic.cn"_qs;
        QTest::newRow("eu.org") << u"example.eu.org"_qs << u"whois.eu.org"_qs;
        QTest::newRow("eu.int") << u"example.eu.int"_qs << kIana;
    }

    void edgeCases()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const QString before = name;
        QCOMPARE(cDomlist().WhoisFromDom(name), expected);
        QCOMPARE(name, before);
    }

    void everyTopLevelLabel_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("expected");
        for (const LabelHost &row : kExpectedTopLevel)
            QTest::newRow(row.label.toUtf8().constData())
                << row.label.toString() << row.host.toString();
    }

    void everyTopLevelLabel()
    {
        QFETCH(QString, label);
        QFETCH(QString, expected);
        QCOMPARE(cDomlist().WhoisFromDom(u"example."_qs + label), expected);
        QCOMPARE(cDomlist().WhoisFromDom(u"www.example."_qs + label.toUpper()), expected);
    }

    // With a non-blank second-level label, a name has a server exactly when its
    // top-level label is known: every combination lies under a known label.
    void errorExactlyForBlankSecondLevelOrUnknownTopLevel()
    {
        QRandomGenerator rng(kSeed);
        int errors = 0;
        for (int i = 0; i < 5000; ++i) {
            const QString name = RandomName(rng, 2);
            const QStringList labels = name.split(u'.');
            const bool secondLevelBlank = TrimBlanks(labels.at(labels.size() - 2)).isEmpty();
            const bool expectError = secondLevelBlank || !IsKnownTopLevel(labels.last());
            const QString actual = cDomlist().WhoisFromDom(name);
            QVERIFY2((actual == kError) == expectError, qPrintable(Failure(name, actual)));
            QVERIFY2(!actual.isEmpty(), qPrintable(Failure(name, actual)));
            errors += actual == kError;
        }
        QVERIFY2(errors > 500 && errors < 4500, qPrintable(QString::number(errors)));
    }

    // Labels left of the second-level label never change the result.
    void labelsFurtherLeftNeverCount()
    {
        QRandomGenerator rng(kSeed);
        for (int i = 0; i < 3000; ++i) {
            const QString name = RandomName(rng, 2);
            const QString longer = RandomName(rng, 1) + u'.' + name;
            const QString actual = cDomlist().WhoisFromDom(longer);
            QVERIFY2(actual == cDomlist().WhoisFromDom(name), qPrintable(Failure(longer, actual)));
        }
    }

    // Capitals and blanks around the labels never change the result.
    void capitalsAndBlanksNeverCount()
    {
        QRandomGenerator rng(kSeed);
        for (int i = 0; i < 3000; ++i) {
            const QString second = RandomLabel(rng);
            const QString top = RandomLabel(rng);
            const QString plain = second + u'.' + top;
            const QString decorated = Decorated(second, rng) + u'.' + Decorated(top, rng);
            const QString actual = cDomlist().WhoisFromDom(decorated);
            QVERIFY2(
                actual == cDomlist().WhoisFromDom(plain), qPrintable(Failure(decorated, actual)));
        }
    }
};

QTEST_GUILESS_MAIN(TestDomainList)
#include "tst_domain_list.moc"
