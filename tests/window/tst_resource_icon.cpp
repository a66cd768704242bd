#include "window/resource_icon.h"

#include <QDirIterator>
#include <QImage>
#include <QRegularExpression>
#include <QTest>

class TestResourceIcon : public QObject {
    Q_OBJECT

private slots:
    void sizesOfEachPicture_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<QSize>>("sizes");
        const QList<QSize> toolbar { QSize(16, 16), QSize(32, 32) };
        for (const auto *name : { "back", "forward", "referral", "stop", "cut", "copy", "paste" })
            QTest::newRow(name) << QString::fromLatin1(name) << toolbar;
        QTest::newRow("window icon")
            << u"domquire"_qs
            << QList<QSize>({ QSize(16, 16), QSize(32, 32), QSize(48, 48), QSize(64, 64) });
        QTest::newRow("unknown name") << u"nosuchpicture"_qs << QList<QSize>();
    }

    void sizesOfEachPicture()
    {
        QFETCH(QString, name);
        QFETCH(QList<QSize>, sizes);
        const QIcon icon = resourceIcon(name);
        QCOMPARE(icon.isNull(), sizes.isEmpty());
        QCOMPARE(icon.availableSizes(), sizes);
        for (const QSize &size : std::as_const(sizes))
            QCOMPARE(icon.pixmap(size).deviceIndependentSize().toSize(), size);
    }

    // Every image in the resources is square at the size its name says, at least 16 pixels,
    // with a transparent background and something opaque drawn on it.
    void everyResourceImageLoads()
    {
        resourceIcon(u"domquire"); // registers the resources
        const QRegularExpression pattern(QStringLiteral("^[a-z]+_(\\d+)\\.png$"));
        int images = 0;
        for (QDirIterator it(QStringLiteral(":/icons")); it.hasNext();) {
            const QString path = it.next();
            const QRegularExpressionMatch match = pattern.match(it.fileName());
            QVERIFY2(match.hasMatch(), qPrintable(path));
            const int size = match.captured(1).toInt();
            const QImage image(path);
            QVERIFY2(!image.isNull(), qPrintable(path));
            QVERIFY2(size >= 16, qPrintable(path));
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY2(image.hasAlphaChannel(), qPrintable(path));
            QVERIFY2(HasTransparentAndOpaquePixels(image), qPrintable(path));
            ++images;
        }
        QCOMPARE(images, 7 * 2 + 4);
    }

private:
    static bool HasTransparentAndOpaquePixels(const QImage &image)
    {
        bool transparent = false;
        bool opaque = false;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                transparent = transparent || alpha == 0;
                opaque = opaque || alpha == 255;
            }
        }
        return transparent && opaque;
    }
};

QTEST_MAIN(TestResourceIcon)
#include "tst_resource_icon.moc"
