#include "CVeltraneApp.h"
#include "ModalCloser.h"

#include <QApplication>
#include <QStyle>
#include <QTest>

class VeltraneAppTest : public QObject {
    Q_OBJECT

private slots:
    void initInstanceRunsTheMainWindowUntilItCloses();
};

void VeltraneAppTest::initInstanceRunsTheMainWindowUntilItCloses() {
    QString window;
    QString style;
    ModalCloser closer([&](QWidget* dlg) {
        window = dlg->objectName();
        style = QApplication::style()->name();
        dlg->close();
    });
    QCOMPARE(theApp.InitInstance(), false);
    QCOMPARE(window, QStringLiteral("veltraneDlg"));
    QCOMPARE(style.toLower(), QStringLiteral("windows"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("1.0.0.1"));
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

QTEST_MAIN(VeltraneAppTest)
#include "VeltraneAppTest.moc"
