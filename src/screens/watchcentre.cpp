#include "screens/watchcentre.h"

#include "platform/defaultskeys.h"
#include "platform/userdefaults.h"
#include "saved/watchedbookmarks.h"
#include "watch/bookmarkwatcher.h"
#include "watch/desktopnotifier.h"
#include "watch/watchnotices.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QWidget>

namespace {

WatchCentre *current = nullptr;

// The application's icon with the count of new listings in a red disc at its corner.
QIcon countedIcon(int count)
{
    const QIcon icon = QApplication::windowIcon();
    if (count <= 0)
        return icon;
    QPixmap pixmap = icon.pixmap(64, 64);
    if (pixmap.isNull()) {
        pixmap = QPixmap(64, 64);
        pixmap.fill(Qt::transparent);
    }
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(28, 0, 36, 36);
    painter.setPen(QPen(Qt::white, 3));
    painter.setBrush(QColor(0xd3, 0x2f, 0x2f));
    painter.drawEllipse(disc);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(count > 99 ? 14 : 20);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(disc, Qt::AlignCenter,
                     count > 99 ? QStringLiteral("99+") : QString::number(count));
    return QIcon(pixmap);
}

} // namespace

WatchCentre::WatchCentre(QObject *parent)
    : QObject(parent)
    , m_watcher(new BookmarkWatcher(this))
    , m_notifier(new DesktopNotifier(this))
    , m_notices(new WatchNotices(m_watcher, m_notifier, this))
    , m_tray(new QSystemTrayIcon(this))
    , m_menu(new QMenu)
{
    current = this;
    auto *open = m_menu->addAction(tr("Open Listoro"));
    connect(open, &QAction::triggered, this, &WatchCentre::showWindow);
    m_pause = m_menu->addAction(tr("Pause all watches"));
    connect(m_pause, &QAction::triggered, this, [this] {
        m_watcher->setPaused(!m_watcher->isPaused());
        updateTray();
    });
    m_menu->addSeparator();
    connect(m_menu->addAction(tr("Quit Listoro")), &QAction::triggered, qApp, &QApplication::quit,
            Qt::QueuedConnection);
    m_tray->setContextMenu(m_menu);
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick)
                    showWindow();
            });
    m_notifier->setTray(m_tray);
    connect(m_notifier, &DesktopNotifier::opened, this, [this](const QString &address) {
        showWindow();
        emit openRequested(address);
    });
    connect(m_notices, &WatchNotices::unseenCountChanged, this, &WatchCentre::updateTray);
    connect(m_watcher, &BookmarkWatcher::stateChanged, this, &WatchCentre::changed);
    m_watcher->sync();
    updateTray();
}

WatchCentre::~WatchCentre()
{
    if (current == this)
        current = nullptr;
    delete m_menu;
}

void WatchCentre::setWindow(QWidget *window)
{
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = window;
    if (m_window)
        m_window->installEventFilter(this);
}

WatchCentre *WatchCentre::instance()
{
    return current;
}

void WatchCentre::setWatched(const QString &address, bool watched)
{
    WatchedBookmarks::setWatched(address, watched, WatchedBookmarks::defaultMinutes);
    m_watcher->sync();
    updateTray();
    emit changed();
}

QString WatchCentre::note(const QString &address) const
{
    if (!WatchedBookmarks::isWatched(address))
        return {};
    const BookmarkWatcher::State state = m_watcher->state(address);
    if (m_watcher->isPaused())
        return tr("Watch paused");
    if (state.pausedBySite)
        return tr("Watch paused by the site: it is limiting requests");
    if (!state.problem.isNull())
        return tr("Last check failed");
    return {};
}

bool WatchCentre::eventFilter(QObject *watched, QEvent *event)
{
    // With watches on, closing the window keeps Listoro in the tray, unless told to quit.
    if (watched == m_window && event->type() == QEvent::Close && m_watcher->watchCount() > 0
        && m_tray->isVisible() && !UserDefaults::standard().boolForKey(DefaultsKeys::quitOnClose)) {
        event->ignore();
        m_window->hide();
        if (!UserDefaults::standard().boolForKey(DefaultsKeys::toldKeptInTray)) {
            UserDefaults::standard().setBool(true, DefaultsKeys::toldKeptInTray);
            m_tray->showMessage(tr("Listoro keeps watching"),
                                tr("Your watched searches are checked while Listoro is in the "
                                   "tray. Quit it from the tray's menu, or make closing the "
                                   "window quit in Preferences."));
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void WatchCentre::showWindow()
{
    m_notices->markSeen();
    if (!m_window)
        return;
    m_window->show();
    m_window->setWindowState((m_window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    m_window->raise();
    m_window->activateWindow();
}

void WatchCentre::updateTray()
{
    const int count = m_notices->unseenCount();
    m_tray->setIcon(countedIcon(count));
    QString tip = count == 0 ? tr("Listoro: no new listings")
        : count == 1         ? tr("Listoro: 1 new listing")
                             : tr("Listoro: %1 new listings").arg(count);
    if (m_watcher->isPaused())
        tip += tr(" (watches paused)");
    m_tray->setToolTip(tip);
    m_pause->setText(m_watcher->isPaused() ? tr("Resume watches") : tr("Pause all watches"));
    m_tray->setVisible(m_watcher->watchCount() > 0 && QSystemTrayIcon::isSystemTrayAvailable());
}
