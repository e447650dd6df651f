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

using State = ProgressBadge::State;
Q_DECLARE_METATYPE(std::vector<State>)

class OutsideProgressTest : public QObject {
    Q_OBJECT

private slots:
    void runShowsOnTheBadgeUntilItsNoticeCloses_data();
    void runShowsOnTheBadgeUntilItsNoticeCloses();
    void launcherUpdatesReachTheSessionBus();

public slots: // NOLINT(readability-redundant-access-specifiers)
    // What the launcher's listeners receive.
    void update(const QString& appUri, const QVariantMap& properties) {
        m_updates.append({appUri, properties});
    }

private: // NOLINT(readability-redundant-access-specifiers)
    QTemporaryDir m_dir;
    QList<QPair<QString, QVariantMap>> m_updates;
};

void OutsideProgressTest::runShowsOnTheBadgeUntilItsNoticeCloses_data() {
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<std::vector<State>>("states");
    QTest::addColumn<double>("lastDone");
    QTest::addColumn<QByteArray>("checksum");
    // A source of negative size is gone when the run reaches it: counted in the whole, never done.
    // Paused stands for a Stop at the first message.
    // A checksum beside the target has the run read it back, the share staying whole meanwhile.
    const QByteArray wrong = QByteArray(64, '0') + "  joined\n";
    QTest::newRow("complete") << QList<int>{3, 2} << std::vector{State::Normal, State::Hidden}
                              << 1.0 << QByteArray();
    QTest::newRow("failed") << QList<int>{2, -1, 1}
                            << std::vector{State::Normal, State::Error, State::Hidden} << 0.5
                            << QByteArray();
    QTest::newRow("stopped") << QList<int>{2, -1, 1}
                             << std::vector{State::Normal, State::Paused, State::Hidden} << 0.5
                             << QByteArray();
    QTest::newRow("mismatch") << QList<int>{3, 2}
                              << std::vector{State::Normal, State::Error, State::Hidden} << 1.0
                              << wrong;
}

// The badge's states in order and its share by the notice, the shares never going back.
void OutsideProgressTest::runShowsOnTheBadgeUntilItsNoticeCloses() {
    QFETCH(QList<int>, sizes);
    QFETCH(std::vector<State>, states);
    QFETCH(double, lastDone);
    QFETCH(QByteArray, checksum);
    FileBytes::write(m_dir.filePath("joined.sha256").toStdString(), checksum.toStdString());
    auto recording = std::make_unique<RecordingBadge>();
    const RecordingBadge& badge = *recording;
    CVeltraneDlg dlg(nullptr, std::move(recording));
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QStringList files;
    for (int size : sizes) {
        files << m_dir.filePath(QStringLiteral("%1-%2").arg(QTest::currentDataTag()).arg(size));
        FileBytes::write(files.last().toStdString(),
                         FileBytes::pattern(qAbs(size) * FileBytes::kMiB, 1));
    }
    connect(dlg.findChild<ClassicProgressBar*>("progress"), &ClassicProgressBar::rangeSet, &dlg,
            [&] { QFile::remove(files.value(sizes.indexOf(-1))); });
    dlg.AddFiles(files);
    for (int row = 0; row < files.size(); ++row) {
        WindowUser(dlg).clickCheckBox(row);
    }
    dlg.findChild<QLineEdit*>("targetPath")->setText(m_dir.filePath("joined"));
    QStringList seen;
    ModalCloser closer(
        [&](QWidget* box) {
            if (states[1] == State::Paused && seen.isEmpty()) {
                dlg.OnStop();
            }
            ModalCloser::recordAndClose(seen)(box);
        },
        static_cast<int>(states.size()) - 1);
    QTest::mouseClick(dlg.findChild<QPushButton*>("start"), Qt::LeftButton);
    QTRY_VERIFY(closer.finished() && g_busy == 0 && badge.states().size() == states.size());
    QVERIFY(badge.states() == states);
    QCOMPARE(qRound(badge.lastShare() * 1000), qRound(lastDone * 1000));
}

// Run under dbus-run-session: another connection hears each update with the entry's address,
// the share done and whether it shows.
void OutsideProgressTest::launcherUpdatesReachTheSessionBus() {
    if (!QDBusConnection::sessionBus().isConnected()) {
        QSKIP("no session bus");
    }
    QDBusConnection listening = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "ear");
    QVERIFY(listening.connect({}, {}, "com.canonical.Unity.LauncherEntry", "Update", this,
                              SLOT(update(QString, QVariantMap))));
    LauncherBadge badge(QStringLiteral("example.orvik.Veltrane"));
    badge.show(State::Normal, 0.25);
    badge.show(State::Hidden, 0);
    QTRY_COMPARE(m_updates.size(), 2);
    QCOMPARE(m_updates[0].first, "application://example.orvik.Veltrane.desktop");
    QCOMPARE(m_updates[0].second, (QVariantMap{{"progress", 0.25}, {"progress-visible", true}}));
    QCOMPARE(m_updates[1].second.value("progress-visible"), QVariant(false));
}

QTEST_MAIN(OutsideProgressTest)
#include "OutsideProgressTest.moc"
