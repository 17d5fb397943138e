#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QWebEngineView;

// Teach mode's side in the page, through the page's JavaScript: a script (:/teach/teach.js)
// catches the user's clicks before the page sees them, so no link is followed, and outlines
// the elements an XPath query selects. The clicks are taken from the page a few times a second.
class TeachPageBridge final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TeachPageBridge)

public:
    struct Click
    {
        QString tag;
        // The element's own text, and that of the link it is in (empty outside links).
        QString text;
        QString linkText;
        QString href;
        // Of the image clicked, or of the first image inside the element clicked.
        QString src;
        // It lies in an outlined element.
        bool highlighted = false;
    };

    explicit TeachPageBridge(QWebEngineView *view, QObject *parent = nullptr);
    ~TeachPageBridge() override;

    void start();
    void stop();
    bool isRunning() const { return m_poll.isActive(); }

    // Outlines what xpath selects ("match", "chosen" or "excluded"); counted gets how many
    // elements that is.
    void mark(const QString &xpath, const QString &kind, std::function<void(int)> counted = {});
    void clear();

signals:
    void clicked(const TeachPageBridge::Click &click);

private:
    void take();

    QPointer<QWebEngineView> m_view;
    QTimer m_poll;
};
