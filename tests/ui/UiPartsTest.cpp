#include "ClassicProgressBar.h"
#include "DialogUnits.h"

#include <QTest>
#include <cstdint>

class UiPartsTest : public QObject {
    Q_OBJECT

private slots:
    void progressPositionStaysInsideTheRange_data();
    void progressPositionStaysInsideTheRange();
    void emptyProgressRangeIsAnEmptyBarNotABusyOne();
    void dialogUnitsRoundLikeTheSystem_data();
    void dialogUnitsRoundLikeTheSystem();
    void dialogFontHasTheClassicBaseUnits();
};

void UiPartsTest::progressPositionStaysInsideTheRange_data() {
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

void UiPartsTest::progressPositionStaysInsideTheRange() {
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

void UiPartsTest::emptyProgressRangeIsAnEmptyBarNotABusyOne() {
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

void UiPartsTest::dialogUnitsRoundLikeTheSystem_data() {
    QTest::addColumn<int>("baseX");
    QTest::addColumn<int>("baseY");
    QTest::addColumn<QRect>("units");
    QTest::addColumn<QRect>("pixels");
    QTest::newRow("main dialog") << 6 << 13 << QRect(0, 0, 477, 306) << QRect(0, 0, 716, 497);
    QTest::newRow("banner") << 6 << 13 << QRect(0, 0, 476, 55) << QRect(0, 0, 714, 89);
    QTest::newRow("halves round up") << 6 << 13 << QRect(1, 4, 3, 12) << QRect(2, 7, 5, 20);
    QTest::newRow("other base units")
        << 7 << 16 << QRect(58, 60, 382, 14) << QRect(102, 120, 669, 28);
}

void UiPartsTest::dialogUnitsRoundLikeTheSystem() {
    QFETCH(int, baseX);
    QFETCH(int, baseY);
    QFETCH(QRect, units);
    QFETCH(QRect, pixels);
    QCOMPARE(DialogUnits(baseX, baseY).rect(units), pixels);
}

void UiPartsTest::dialogFontHasTheClassicBaseUnits() {
    const DialogUnits units(DialogUnits::dialogFont());
    QCOMPARE(units.baseX(), 6);
    QCOMPARE(units.baseY(), 13);
}

QTEST_MAIN(UiPartsTest)
#include "UiPartsTest.moc"
