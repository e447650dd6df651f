#include "CAboutDlg.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <array>
#include <functional>

class AboutDlgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setStyle(QStringLiteral("Windows")); }
    void showsTheTemplatesTextsAndIcon();
    void closes_data();
    void closes();
};

void AboutDlgTest::showsTheTemplatesTextsAndIcon() {
    CAboutDlg about;
    QCOMPARE(about.windowTitle(), QStringLiteral("关于Orvik软件免费工具"));
    QCOMPARE(about.size(), QSize(353, 89));
    QCOMPARE(about.minimumSize(), about.maximumSize());
    QCOMPARE(about.findChild<QLabel*>("toolName")->text(), QStringLiteral("多文件合并工具"));
    QCOMPARE(about.findChild<QLabel*>("series")->text(), QStringLiteral("Orvik软件免费工具系列"));
    const auto* ok = about.findChild<QPushButton*>("ok");
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->isDefault());
    const auto* icon = about.findChild<QLabel*>("icon");
    QCOMPARE(icon->geometry(), QRect(17, 28, 32, 32));
    QCOMPARE(icon->pixmap().size(), QSize(32, 32));
    for (const QWidget* control : about.findChildren<QWidget*>()) {
        QVERIFY2(about.rect().contains(control->geometry()), qPrintable(control->objectName()));
    }
}

void AboutDlgTest::closes_data() {
    QTest::addColumn<int>("way");
    QTest::addColumn<int>("result");
    QTest::newRow("OK button") << 0 << int(QDialog::Accepted);
    QTest::newRow("Enter") << 1 << int(QDialog::Accepted);
    QTest::newRow("Escape") << 2 << int(QDialog::Rejected);
}

void AboutDlgTest::closes() {
    QFETCH(int, way);
    QFETCH(int, result);
    CAboutDlg about;
    about.show();
    QApplication::setActiveWindow(&about);
    QVERIFY(QTest::qWaitForWindowActive(&about));
    const std::array<std::function<void()>, 3> ways = {
        [&about] { QTest::mouseClick(about.findChild<QPushButton*>("ok"), Qt::LeftButton); },
        [&about] { QTest::keyClick(&about, Qt::Key_Return); },
        [&about] { QTest::keyClick(&about, Qt::Key_Escape); },
    };
    ways.at(way)();
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), result);
}

QTEST_MAIN(AboutDlgTest)
#include "AboutDlgTest.moc"
