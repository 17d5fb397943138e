#pragma once

#include <QPointer>
#include <QWidget>

class AddressField;
class QPushButton;
class QToolButton;
class QWebEngineView;

// The browsing face of the browser screen: a bar with the address field (back and forward at its
// ends), the Teach and Zesto buttons over the embedded browser, and a "Loading" box over the page
// while it loads. The bar and the page are laid out one above the other; the box keeps its place,
// centred 100 points from the top.
class BrowserPane final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserPane)

public:
    static constexpr int controlsHeight = 52;

    explicit BrowserPane(QWidget *parent = nullptr);
    ~BrowserPane() override;

    AddressField *navBar() const { return m_navBar; }
    QWebEngineView *webview() const { return m_webview; }
    QPushButton *btnBack() const;
    QPushButton *btnForward() const;
    QToolButton *btnClear() const;
    QPushButton *btnZesto() const { return m_btnZesto; }
    QPushButton *btnTeach() const { return m_btnTeach; }
    // A strip between the bar and the page (teach mode's).
    void insertBar(QWidget *bar);
    QWidget *browserControlsView() const { return m_controls; }
    // The "Loading" box over the page, while one is shown.
    QWidget *activityIndicator() const { return m_loadingBox; }

    // The page and its bar, shown or hidden together (the grid takes their place).
    void showPage();
    void hidePage();
    bool isPageShown() const;

    // Loads address into the browser; an address that is no web page's loads nothing (false).
    bool load(const QString &address);
    static bool canOpen(const QString &address);

    // A page began to load: a new "Loading" box, and no Zesto until the load ends.
    void beginPageLoad();
    // The load ended, loaded or failed: the box goes, back and forward follow the history, and a
    // loaded page's address is shown.
    void endPageLoad(bool loaded);
    void hideLoadingBox();

    void setZestoEnabled(bool enabled);
    // An enabled button is drawn fully opaque, a disabled one at a tenth.
    static void enableButton(QPushButton *button);
    static void disableButton(QPushButton *button);

signals:
    void addressEntered();
    void zestoClicked();
    void teachClicked();
    void backClicked();
    void forwardClicked();
    void loadStarted();
    void loadFinished(bool loaded);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeLoadingBox();

    QWidget *m_controls = nullptr;
    AddressField *m_navBar = nullptr;
    QPushButton *m_btnZesto = nullptr;
    QPushButton *m_btnTeach = nullptr;
    QWebEngineView *m_webview = nullptr;
    QPointer<QWidget> m_loadingBox;
};
