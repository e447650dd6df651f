#include "ShownWindow.h"

#include "ModalCloser.h"

#include <QApplication>
#include <QStringList>
#include <QTest>

bool ShownWindow::show(Wait wait) {
    m_dlg = std::make_unique<CVeltraneDlg>();
    m_user.emplace(*m_dlg);
    m_dlg->show();
    if (wait == Wait::Active) {
        QApplication::setActiveWindow(m_dlg.get());
        return QTest::qWaitForWindowActive(m_dlg.get());
    }
    return QTest::qWaitForWindowExposed(m_dlg.get());
}

QString ShownWindow::tearDown() {
    m_user.reset();
    m_dlg.reset();
    QStringList left;
    if (g_busy != 0) {
        left << QStringLiteral("a busy run");
    }
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        left << ModalCloser::describe(window);
    }
    return left.join(QStringLiteral(", "));
}
