#pragma once

#include "ui/viewcontroller.h"

#include <QString>

class QWebEngineView;

// The browser screen: one site in an embedded browser under an address bar, and the Zesto
// button that turns a results page into the grid of listing tiles.
class ListoroViewController final : public ViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListoroViewController)

public:
    explicit ListoroViewController(QWidget *parent = nullptr);
    ~ListoroViewController() override;

    QString currentUrl() const { return m_currentUrl; }
    void setCurrentUrl(const QString &url) { m_currentUrl = url; }
    bool autozesto() const { return m_autozesto; }
    void setAutozesto(bool autozesto) { m_autozesto = autozesto; }

    void viewDidLoad() override;

private:
    QString m_currentUrl;
    bool m_autozesto = false;
    QWebEngineView *webview = nullptr;
};
