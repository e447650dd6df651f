#include "ModalCloser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QTest>

namespace {
constexpr int kPollMs = 2;
} // namespace

ModalCloser::ModalCloser(Step step, int count, const QWidget* ignored)
    : m_step(std::move(step)), m_remaining(count), m_ignored(ignored) {
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { poll(); });
    m_timer.start(kPollMs);
}

void ModalCloser::poll() {
    QWidget* top = QApplication::activePopupWidget();
    if (top == nullptr) {
        top = QApplication::activeModalWidget();
    }
    if (top == nullptr || top == m_ignored || top == m_last || !top->isVisible() ||
        (m_onlyMessageBoxes && qobject_cast<QMessageBox*>(top) == nullptr)) {
        return;
    }
    m_last = top;
    if (--m_remaining == 0) {
        m_timer.stop();
    }
    m_step(top);
}

QString ModalCloser::describe(const QWidget* widget) {
    if (const auto* box = qobject_cast<const QMessageBox*>(widget)) {
        const bool plain =
            box->icon() == QMessageBox::NoIcon && box->standardButtons() == QMessageBox::Ok;
        return box->windowTitle() + '|' + box->text() + (plain ? "" : "|not a plain OK box");
    }
    if (const auto* menu = qobject_cast<const QMenu*>(widget)) {
        QStringList items;
        for (const QAction* action : menu->actions()) {
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        return "menu:" + items.join(',');
    }
    return widget->objectName() + '|' + widget->windowTitle();
}

QStringList ModalCloser::plainBoxes(const QStringList& texts) {
    // The caption of every box: the executable's name, taken at run time.
    const QString caption = QFileInfo(QCoreApplication::applicationFilePath()).baseName();
    QStringList described;
    for (const QString& text : texts) {
        described << caption + '|' + text;
    }
    return described;
}

ModalCloser::Step ModalCloser::recordAndClose(QStringList& seen) {
    return [&seen](QWidget* widget) {
        seen << describe(widget);
        if (auto* box = qobject_cast<QMessageBox*>(widget)) {
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        } else {
            widget->close();
        }
    };
}
