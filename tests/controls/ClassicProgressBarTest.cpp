#include "ClassicProgressBar.h"

#include <QTest>
#include <cstdint>

class ClassicProgressBarTest : public QObject {
    Q_OBJECT

private slots:
    void progressPositionStaysInsideTheRange_data();
    void progressPositionStaysInsideTheRange();
    void emptyProgressRangeIsAnEmptyBarNotABusyOne();
};

void ClassicProgressBarTest::progressPositionStaysInsideTheRange_data() {
    QTest::addColumn<std::uint32_t>("upper");
    QTest::addColumn<std::uint32_t>("position");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::newRow("inside") << 10U << 4U << 10 << 4;
    QTest::newRow("last block") << 10U << 9U << 10 << 9;
    QTest::newRow("past the end") << 10U << 15U << 10 << 10;
    QTest::newRow("largest int") << 0x7FFFFFFFU << 0x7FFFFFFEU << 0x7FFFFFFF << 0x7FFFFFFE;
    QTest::newRow("wider than int") << 0xFFFFFFFFU << 0x80000000U << 0x7FFFFFFF << 0x40000000;
}

void ClassicProgressBarTest::progressPositionStaysInsideTheRange() {
    QFETCH(std::uint32_t, upper);
    QFETCH(std::uint32_t, position);
    QFETCH(int, maximum);
    QFETCH(int, value);
    ClassicProgressBar bar;
    bar.setRange32(0, upper);
    bar.setPosition32(position);
    QCOMPARE(bar.minimum(), 0);
    QCOMPARE(bar.maximum(), maximum);
    QCOMPARE(bar.value(), value);
}

void ClassicProgressBarTest::emptyProgressRangeIsAnEmptyBarNotABusyOne() {
    ClassicProgressBar bar;
    QCOMPARE(bar.value(), 0);
    bar.setRange32(0, 10);
    bar.setPosition32(9);
    bar.setRange32(0, 0);
    // Qt animates a bar whose minimum equals its maximum.
    QVERIFY(bar.minimum() < bar.maximum());
    QCOMPARE(bar.value(), 0);
    bar.setPosition32(5);
    QCOMPARE(bar.value(), 0);
    bar.setRange32(0, 3);
    QCOMPARE(bar.value(), 0);
    bar.setPosition32(2);
    bar.setRange32(0, 1);
    QCOMPARE(bar.value(), 1);
}

QTEST_MAIN(ClassicProgressBarTest)
#include "ClassicProgressBarTest.moc"
