#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QWebEngineView;

// Teach mode's side in the page: a script (:/teach/teach.js) catches the user's clicks before
// the page sees them, so no link is followed, and outlines the elements an XPath query selects.
// It runs in a JavaScript world apart from the page's scripts, which can neither call it nor
// click for the user: only clicks the browser marks as the user's count. The clicks are taken
// from it a few times a second.
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
        // Where the element clicked, its link and its image are in the page
        // (/html[1]/body[1]/div[2]/a[1]); empty when there is no such element.
        QString path;
        QString linkPath;
        QString imagePath;
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
