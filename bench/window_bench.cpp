// veltrane-window-bench: one join from the main window, as a user starts it, timed from the
// press of Start to the first box it shows: the end notice, or the question of the check before
// the run, which is answered No. Prints the seconds and the worker thread's voluntary and
// involuntary context switches, read while that box is up.

#include "CVeltraneDlg.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QTimer>
#include <cstdio>

namespace {

QSet<QString> threadIds() {
    const QStringList ids =
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return {ids.begin(), ids.end()};
}

// "voluntary involuntary" from a thread's status.
QString contextSwitches(const QString& threadId) {
    QFile status(QStringLiteral("/proc/self/task/%1/status").arg(threadId));
    if (!status.open(QIODevice::ReadOnly)) {
        return QStringLiteral("? ?");
    }
    QString voluntary = QStringLiteral("?");
    QString involuntary = QStringLiteral("?");
    for (const QByteArray& line : status.readAll().split('\n')) {
        const QList<QByteArray> field = line.simplified().split(' ');
        if (field.value(0) == "voluntary_ctxt_switches:") {
            voluntary = QString::fromLatin1(field.value(1));
        } else if (field.value(0) == "nonvoluntary_ctxt_switches:") {
            involuntary = QString::fromLatin1(field.value(1));
        }
    }
    return voluntary + ' ' + involuntary;
}

// Sees the end notice as it is shown, on the window's thread while the worker waits on it.
class NoticeWatch final : public QObject {
public:
    QElapsedTimer run;
    QString worker;
    QString report;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (box == nullptr || event->type() != QEvent::Show) {
            return QObject::eventFilter(watched, event);
        }
        if (report.isEmpty()) {
            report = QStringLiteral("%1 %2")
                         .arg(static_cast<double>(run.nsecsElapsed()) / 1e9, 0, 'f', 6)
                         .arg(contextSwitches(worker));
        }
        QAbstractButton* answer = box->button(QMessageBox::No);
        answer = answer != nullptr ? answer : box->button(QMessageBox::Ok);
        if (answer != nullptr) {
            QTimer::singleShot(0, answer, &QAbstractButton::click);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() < 2) {
        std::fputs("usage: veltrane-window-bench TARGET SOURCE...\n", stderr);
        return 2;
    }
    CVeltraneDlg dlg;
    dlg.show();
    dlg.AddFiles(arguments.mid(1));
    auto* list = dlg.findChild<QTableWidget*>(QStringLiteral("fileList"));
    for (int row = 0; row < list->rowCount(); ++row) {
        list->item(row, 0)->setCheckState(Qt::Checked);
    }
    dlg.findChild<QLineEdit*>(QStringLiteral("targetPath"))->setText(arguments.first());

    NoticeWatch watch;
    app.installEventFilter(&watch);
    QTimer::singleShot(0, &dlg, [&] {
        const QSet<QString> before = threadIds();
        watch.run.start();
        dlg.findChild<QPushButton*>(QStringLiteral("start"))->click();
        const QSet<QString> started = threadIds() - before;
        if (started.size() != 1) {
            std::fputs("cannot tell the worker thread\n", stderr);
            QCoreApplication::exit(1);
            return;
        }
        watch.worker = *started.begin();
    });
    // The run is over once the worker has made its last call. Exit, not quit: quit would first
    // close the window, which refuses with a box of its own while the notice is still up.
    QTimer ended;
    QObject::connect(&ended, &QTimer::timeout, &app, [&] {
        if (!watch.report.isEmpty() && g_busy == 0) {
            QCoreApplication::exit(0);
        }
    });
    ended.start(10);
    const int result = QApplication::exec();
    if (result == 0) {
        std::printf("%s\n", qPrintable(watch.report));
    }
    return result;
}
