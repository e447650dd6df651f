#include "LauncherBadge.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace {
// Listeners match the interface and the signal; the path is the program's own choice.
const QString kPath = QStringLiteral("/com/canonical/unity/launcherentry/veltrane");
const QString kInterface = QStringLiteral("com.canonical.Unity.LauncherEntry");
} // namespace

LauncherBadge::LauncherBadge(const QString& desktopEntry)
    : m_appUri(QStringLiteral("application://%1.desktop").arg(desktopEntry)) {}

// The launcher knows no pause or error: it shows how far the run got while the notice is up.
void LauncherBadge::show(State state, double done) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage update = QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("Update"));
    update << m_appUri
           << QVariantMap{{QStringLiteral("progress"), done},
                          {QStringLiteral("progress-visible"), state != State::Hidden}};
    bus.send(update);
}
