#include "window/layout_rule.h"

#include <QRandomGenerator>
#include <QTest>

Q_DECLARE_METATYPE(LayoutSizes)

namespace {

LayoutSizes sizes(float input, float buttons, float label, float resultWidth, float resultHeight)
{
    return { input, input, buttons, label, resultWidth, resultHeight };
}

} // namespace

class TestLayoutRule : public QObject {
    Q_OBJECT

private slots:
    void rule_data()
    {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::addColumn<LayoutSizes>("expected");

        // Starting from the initial sizes: 6255, 7680, 8775, 9000, 4620.
        QTest::newRow("9000 x 6360") << 9000.f << 6360.f << sizes(6400, 7720, 8760, 8980, 4593);
        QTest::newRow("width 2601 keeps the boxes")
            << 2601.f << 6360.f << sizes(6255, 7575, 2361, 2581, 4593);
        QTest::newRow("width 2602 makes them 2 wide")
            << 2602.f << 6360.f << sizes(2, 1322, 2362, 2582, 4593);
        QTest::newRow("width 241 keeps the label")
            << 241.f << 6360.f << sizes(6255, 7575, 8775, 221, 4593);
        QTest::newRow("width 21 keeps the result width")
            << 21.f << 6360.f << sizes(6255, 7575, 8775, 9000, 4593);
        QTest::newRow("height 1768 keeps the result height")
            << 9000.f << 1768.f << sizes(6400, 7720, 8760, 8980, 4620);
        QTest::newRow("height 1769 makes it 2 high")
            << 9000.f << 1769.f << sizes(6400, 7720, 8760, 8980, 2);
        QTest::newRow("minimised") << 0.f << 0.f << sizes(6255, 7575, 8775, 9000, 4620);
    }

    void rule()
    {
        QFETCH(float, width);
        QFETCH(float, height);
        QFETCH(LayoutSizes, expected);
        const LayoutSizes actual = applyLayoutRule(LayoutSizes(), width, height);
        QCOMPARE(actual.keyEditWidth, expected.keyEditWidth);
        QCOMPARE(actual.serverComboWidth, expected.serverComboWidth);
        QCOMPARE(actual.buttonsLeft, expected.buttonsLeft);
        QCOMPARE(actual.resultLabelWidth, expected.resultLabelWidth);
        QCOMPARE(actual.resultViewWidth, expected.resultViewWidth);
        QCOMPARE(actual.resultViewHeight, expected.resultViewHeight);
    }

    // Through any series of resizes no size drops to 1 or below, and the
    // buttons stand 120 to the right of the key box.
    void sizesStayPositive()
    {
        const quint32 seed = 20261207;
        QRandomGenerator random(seed);
        LayoutSizes current;
        for (int step = 0; step < 10000; ++step) {
            const auto width = static_cast<float>(random.bounded(-100, 40000));
            const auto height = static_cast<float>(random.bounded(-100, 40000));
            current = applyLayoutRule(current, width, height);
            const QByteArray where =
                "seed " + QByteArray::number(seed) + " step " + QByteArray::number(step);
            QVERIFY2(current.keyEditWidth > 1 && current.serverComboWidth > 1, where.constData());
            QVERIFY2(current.resultLabelWidth > 1 && current.resultViewWidth > 1, where.constData());
            QVERIFY2(current.resultViewHeight > 1, where.constData());
            QVERIFY2(current.buttonsLeft == kKeyEditLeft + current.keyEditWidth + 120,
                where.constData());
        }
    }
};

QTEST_GUILESS_MAIN(TestLayoutRule)
#include "tst_layout_rule.moc"
