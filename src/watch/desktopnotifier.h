#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QSystemTrayIcon;

// Tells the user of new listings with the desktop's notifications: through the freedesktop
// notification service on the session bus, with an "Open" action and the first new listing's
// photo, or as a message of the tray icon where no such service is there.
class DesktopNotifier final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DesktopNotifier)

public:
    static inline const QString service = QStringLiteral("org.freedesktop.Notifications");

    explicit DesktopNotifier(QObject *parent = nullptr);

    // The tray icon messages show on without the service; none: such notifications are lost.
    void setTray(QSystemTrayIcon *tray);
    // Whether the notification service answers on the session bus.
    static bool serviceAvailable();

    // address: what opened() hands back when the user asks to open it. imagePath: a cached
    // photo file, or empty.
    void notify(const QString &address, const QString &summary, const QString &body,
                const QString &imagePath);

Q_SIGNALS:
    void opened(const QString &address);

private Q_SLOTS:
    void actionInvoked(uint id, const QString &action);
    void closed(uint id, uint reason);

private:
    void send(const QString &address, const QString &summary, const QString &body,
              const QString &imagePath);
    void showOnTray(const QString &address, const QString &summary, const QString &body);

    QPointer<QSystemTrayIcon> m_tray;
    QHash<uint, QString> m_shown; // notification id -> address
    QString m_trayAddress; // what a click on the tray's last message opens
    bool m_connected = false;
    // The server reads markup in bodies; unknown before the first notification.
    std::optional<bool> m_markup;
};
