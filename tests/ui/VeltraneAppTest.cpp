#include "CVeltraneApp.h"
#include "CVeltraneDlg.h"
#include "ModalCloser.h"

#include <QApplication>
#include <QDir>
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
    QStringList rows;
    ModalCloser closer([&](QWidget* dlg) {
        window = dlg->objectName();
        style = QApplication::style()->name();
        for (int row = 0; row < static_cast<CVeltraneDlg*>(dlg)->rowCount(); ++row) {
            rows << QString::fromStdString(static_cast<CVeltraneDlg*>(dlg)->rowPath(row));
        }
        dlg->close();
    });
    QCOMPARE(theApp.InitInstance({"Veltrane", "--", "xab", "/abs/分卷 2.vmdk", "sub/../xaa", "-"}),
             false);
    const QString here = QDir::currentPath();
    QCOMPARE(rows, QStringList({here + "/xab", "/abs/分卷 2.vmdk", here + "/xaa", here + "/-"}));
    QCOMPARE(window, QStringLiteral("veltraneDlg"));
    QCOMPARE(style.toLower(), QStringLiteral("windows"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("1.1.0.0"));
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

QTEST_MAIN(VeltraneAppTest)
#include "VeltraneAppTest.moc"
