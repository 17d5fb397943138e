#include "watch/desktopnotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>
#include <QSystemTrayIcon>
#include <QUrl>

Q_LOGGING_CATEGORY(lcNotifier, "listoro.watch.notifier", QtWarningMsg)

namespace {

const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString openAction = QStringLiteral("default");
// A notification that could not be shown is logged once, not at every check.
bool warned = false;

} // namespace

DesktopNotifier::DesktopNotifier(QObject *parent)
    : QObject(parent)
{
}

void DesktopNotifier::setTray(QSystemTrayIcon *tray)
{
    if (m_tray)
        disconnect(m_tray, nullptr, this, nullptr);
    m_tray = tray;
    if (m_tray) {
        connect(m_tray, &QSystemTrayIcon::messageClicked, this, [this] {
            if (!m_trayAddress.isEmpty())
                emit opened(m_trayAddress);
        });
    }
}

bool DesktopNotifier::serviceAvailable()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    return bus.interface()->isServiceRegistered(service).value()
        || bus.interface()->activatableServiceNames().value().contains(service);
}

void DesktopNotifier::notify(const QString &address, const QString &summary, const QString &body,
                             const QString &imagePath)
{
    if (!serviceAvailable()) {
        showOnTray(address, summary, body);
        return;
    }
    if (m_markup) {
        send(address, summary, body, imagePath);
        return;
    }
    // Whether the server reads markup in bodies decides how the seller's words are sent: asked
    // once, before the first notification.
    QDBusMessage ask
        = QDBusMessage::createMethodCall(service, path, service, QStringLiteral("GetCapabilities"));
    auto *pending
        = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(ask, 10000), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, pending, address, summary, body, imagePath] {
                pending->deleteLater();
                const QDBusPendingReply<QStringList> reply = *pending;
                m_markup
                    = !reply.isError() && reply.value().contains(QStringLiteral("body-markup"));
                send(address, summary, body, imagePath);
            });
}

void DesktopNotifier::send(const QString &address, const QString &summary, const QString &body,
                           const QString &imagePath)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!m_connected) {
        bus.connect(service, path, service, QStringLiteral("ActionInvoked"), this,
                    SLOT(actionInvoked(uint, QString)));
        bus.connect(service, path, service, QStringLiteral("NotificationClosed"), this,
                    SLOT(closed(uint, uint)));
        m_connected = true;
    }
    QVariantMap hints{ { QStringLiteral("desktop-entry"), QStringLiteral("listoro") },
                       { QStringLiteral("category"), QStringLiteral("transfer") } };
    if (!imagePath.isEmpty())
        hints.insert(QStringLiteral("image-path"), QUrl::fromLocalFile(imagePath).toString());
    QDBusMessage call
        = QDBusMessage::createMethodCall(service, path, service, QStringLiteral("Notify"));
    // A server that reads markup would take a seller's tags and entities as its own.
    call << QStringLiteral("Listoro") << uint(0) << QStringLiteral("listoro") << summary
         << (m_markup.value_or(true) ? body.toHtmlEscaped() : body)
         << QStringList{ openAction, tr("Open") } << hints << -1;
    // Never waited for on the GUI thread: the answer comes back as an event.
    auto *pending = new QDBusPendingCallWatcher(bus.asyncCall(call, 10000), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, pending, address, summary, body] {
                pending->deleteLater();
                const QDBusPendingReply<uint> reply = *pending;
                if (!reply.isError()) {
                    m_shown.insert(reply.value(), address);
                    return;
                }
                if (!std::exchange(warned, true)) {
                    qCWarning(lcNotifier)
                        << "the notification service failed:" << reply.error().message();
                }
                showOnTray(address, summary, body);
            });
}

void DesktopNotifier::showOnTray(const QString &address, const QString &summary,
                                 const QString &body)
{
    if (!m_tray || !QSystemTrayIcon::supportsMessages())
        return;
    m_trayAddress = address;
    m_tray->showMessage(summary, body, QSystemTrayIcon::Information);
}

void DesktopNotifier::actionInvoked(uint id, const QString &action)
{
    // Servers send the default action for a click on the notification itself.
    const auto it = m_shown.constFind(id);
    if (it == m_shown.cend() || action != openAction)
        return;
    const QString address = *it;
    m_shown.erase(it);
    emit opened(address);
}

void DesktopNotifier::closed(uint id, uint reason)
{
    Q_UNUSED(reason)
    m_shown.remove(id);
}
