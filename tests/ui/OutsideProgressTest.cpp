#include "CVeltraneDlg.h"
#include "ClassicProgressBar.h"
#include "FileBytes.h"
#include "LauncherBadge.h"
#include "ModalCloser.h"
#include "RecordingBadge.h"
#include "WindowUser.h"

#include <QApplication>
#include <QDBusConnection>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QVariantMap>

namespace {

using FileBytes::kMiB;
using State = ProgressBadge::State;

// What the launcher's listeners receive.
class LauncherListener final : public QObject {
    Q_OBJECT

public:
    QList<QPair<QString, QVariantMap>> updates;

public slots: // NOLINT(readability-redundant-access-specifiers)
    void update(const QString& appUri, const QVariantMap& properties) {
        updates.append({appUri, properties});
    }
};

} // namespace

Q_DECLARE_METATYPE(QList<State>)

class OutsideProgressTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void runShowsOnTheBadgeUntilItsNoticeCloses_data();
    void runShowsOnTheBadgeUntilItsNoticeCloses();
    void launcherUpdatesReachTheSessionBus();

private: // NOLINT(readability-redundant-access-specifiers)
    QTemporaryDir m_dir;
};

void OutsideProgressTest::initTestCase() {
    QApplication::setStyle(QStringLiteral("Windows"));
    QVERIFY(m_dir.isValid());
}

void OutsideProgressTest::runShowsOnTheBadgeUntilItsNoticeCloses_data() {
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<bool>("stopAtFirstBox");
    QTest::addColumn<QList<State>>("states");
    QTest::addColumn<double>("lastDone");
    QTest::newRow("complete") << QList<int>{3, 2} << false
                              << QList<State>{State::Normal, State::Hidden} << 1.0;
    // A negative size stands for a source that is gone when the run reaches it; the check found
    // it, so it counts in the whole, never done.
    QTest::newRow("failed") << QList<int>{2, -1, 1} << false
                            << QList<State>{State::Normal, State::Error, State::Hidden} << 0.5;
    QTest::newRow("stopped") << QList<int>{2, -1, 1} << true
                             << QList<State>{State::Normal, State::Paused, State::Hidden} << 0.5;
}

// The badge's states in order, each once however often it moved, and how far the run had come
// by its notice.
void OutsideProgressTest::runShowsOnTheBadgeUntilItsNoticeCloses() {
    QFETCH(QList<int>, sizes);
    QFETCH(bool, stopAtFirstBox);
    QFETCH(QList<State>, states);
    QFETCH(double, lastDone);
    auto recording = std::make_unique<RecordingBadge>();
    const RecordingBadge& badge = *recording;
    CVeltraneDlg dlg(nullptr, std::move(recording));
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QStringList files;
    for (int size : sizes) {
        files << m_dir.filePath(QStringLiteral("piece%1").arg(files.size()));
        FileBytes::write(files.last().toStdString(),
                         FileBytes::pattern(static_cast<std::size_t>(qAbs(size)) * kMiB, 1));
    }
    // The check before the run finds every source; one goes as the first is copied.
    QObject::connect(dlg.findChild<ClassicProgressBar*>("progress"), &ClassicProgressBar::rangeSet,
                     &dlg, [&] {
                         for (int i = 0; i < sizes.size(); ++i) {
                             if (sizes[i] < 0) {
                                 QFile::remove(files[i]);
                             }
                         }
                     });
    dlg.AddFiles(files);
    const WindowUser user(dlg);
    for (int row = 0; row < files.size(); ++row) {
        user.clickCheckBox(row);
    }
    dlg.findChild<QLineEdit*>("targetPath")->setText(m_dir.filePath("joined"));
    QStringList seen;
    bool first = true;
    ModalCloser closer(
        [&](QWidget* box) {
            if (std::exchange(first, false) && stopAtFirstBox) {
                dlg.OnStop();
            }
            ModalCloser::recordAndClose(seen)(box);
        },
        sizes.contains(-1) ? 2 : 1);
    QTest::mouseClick(dlg.findChild<QPushButton*>("start"), Qt::LeftButton);
    QTRY_VERIFY(closer.finished());
    QTRY_COMPARE(g_busy.load(), 0);
    QTRY_VERIFY(!badge.shown().empty() && badge.shown().back().state == State::Hidden);

    const std::vector<RecordingBadge::Shown> shown = badge.shown();
    QList<State> changes;
    double done = 0;
    for (const RecordingBadge::Shown& each : shown) {
        if (changes.isEmpty() || changes.last() != each.state) {
            changes << each.state;
        }
        if (each.state != State::Hidden) {
            QVERIFY2(each.done >= done && each.done <= 1, qPrintable(QString::number(each.done)));
            done = each.done;
        }
    }
    QCOMPARE(changes, states);
    QVERIFY2(qFuzzyCompare(done, lastDone), qPrintable(QString::number(done)));
}

// Needs a session bus of its own, as dbus-run-session gives: another connection hears each
// update with the entry's address, the share done and whether it shows.
void OutsideProgressTest::launcherUpdatesReachTheSessionBus() {
    if (!QDBusConnection::sessionBus().isConnected()) {
        QSKIP("no session bus");
    }
    const QDBusConnection listening =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("listener"));
    LauncherListener listener;
    QVERIFY(QDBusConnection(listening).connect(
        QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
        QStringLiteral("Update"), &listener, SLOT(update(QString, QVariantMap))));
    LauncherBadge badge(QStringLiteral("example.orvik.Veltrane"));
    badge.show(State::Normal, 0.25);
    badge.show(State::Hidden, 0);
    QTRY_COMPARE(listener.updates.size(), 2);
    for (const auto& [uri, properties] : listener.updates) {
        QCOMPARE(uri, QStringLiteral("application://example.orvik.Veltrane.desktop"));
    }
    QCOMPARE(listener.updates[0].second.value("progress").toDouble(), 0.25);
    QCOMPARE(listener.updates[0].second.value("progress-visible").toBool(), true);
    QCOMPARE(listener.updates[1].second.value("progress-visible").toBool(), false);
    QDBusConnection::disconnectFromBus(QStringLiteral("listener"));
}

QTEST_MAIN(OutsideProgressTest)
#include "OutsideProgressTest.moc"
