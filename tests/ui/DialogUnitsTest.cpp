#include "DialogUnits.h"

#include <QTest>

class DialogUnitsTest : public QObject {
    Q_OBJECT

private slots:
    void dialogUnitsRoundLikeTheSystem_data();
    void dialogUnitsRoundLikeTheSystem();
    void dialogFontHasTheClassicBaseUnits();
};

void DialogUnitsTest::dialogUnitsRoundLikeTheSystem_data() {
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

void DialogUnitsTest::dialogUnitsRoundLikeTheSystem() {
    QFETCH(int, baseX);
    QFETCH(int, baseY);
    QFETCH(QRect, units);
    QFETCH(QRect, pixels);
    QCOMPARE(DialogUnits(baseX, baseY).rect(units), pixels);
}

void DialogUnitsTest::dialogFontHasTheClassicBaseUnits() {
    const DialogUnits units(DialogUnits::dialogFont());
    QCOMPARE(units.baseX(), 6);
    QCOMPARE(units.baseY(), 13);
}

QTEST_MAIN(DialogUnitsTest)
#include "DialogUnitsTest.moc"
