#include "screens/browserpane.h"

#include "screens/addressfield.h"
#include "widgets/loadingbox.h"
#include "widgets/roundedrectview.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLoggingCategory>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineView>

Q_LOGGING_CATEGORY(lcBrowserPane, "listoro.screens.browserpane")

namespace {

constexpr int loadingBoxTop = 100;
constexpr int zestoMinimumWidth = 110;

} // namespace

BrowserPane::BrowserPane(QWidget *parent)
    : QWidget(parent)
    , m_controls(new QWidget(this))
    , m_navBar(new AddressField(m_controls))
    , m_btnZesto(new QPushButton(tr("Zesto!"), m_controls))
    , m_btnTeach(new QPushButton(tr("Teach"), m_controls))
    , m_webview(new QWebEngineView(this))
{
    setObjectName(QStringLiteral("browserPane"));
    m_controls->setObjectName(QStringLiteral("browserControlsView"));
    m_controls->setFixedHeight(controlsHeight);
    m_controls->setAutoFillBackground(true);
    QPalette fabric = m_controls->palette();
    fabric.setBrush(QPalette::Window, QBrush(QPixmap(QStringLiteral(":/nasty_fabric.png"))));
    m_controls->setPalette(fabric);

    m_btnZesto->setObjectName(QStringLiteral("btnZesto"));
    m_btnZesto->setToolTip(tr("Show the listings of this page as a grid (Ctrl+E)"));
    m_btnZesto->setAccessibleName(tr("Zesto: show the listings as a grid"));
    m_btnZesto->setCursor(Qt::PointingHandCursor);
    // Reached by Tab, left alone by a click, which keeps the keyboard where it was.
    m_btnZesto->setFocusPolicy(Qt::TabFocus);
    m_btnZesto->setFixedHeight(34);
    m_btnZesto->setMinimumWidth(zestoMinimumWidth);
    m_navBar->setFixedHeight(32);
    m_btnTeach->setObjectName(QStringLiteral("btnTeach"));
    m_btnTeach->setToolTip(tr("Teach Listoro this page by pointing at its parts (Ctrl+T)"));
    m_btnTeach->setAccessibleName(tr("Teach Listoro this page"));
    m_btnTeach->setCursor(Qt::PointingHandCursor);
    m_btnTeach->setFocusPolicy(Qt::TabFocus);
    m_btnTeach->setFixedHeight(34);
    m_btnTeach->setMinimumWidth(80);
    // Pressed in while teach mode is on.
    m_btnTeach->setCheckable(true);

    auto *bar = new QHBoxLayout(m_controls);
    bar->setContentsMargins(12, 0, 12, 0);
    bar->setSpacing(12);
    bar->addWidget(m_navBar, 1);
    bar->addWidget(m_btnTeach);
    bar->addWidget(m_btnZesto);

    m_webview->setObjectName(QStringLiteral("webview"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_controls);
    column->addWidget(m_webview, 1);
    // Tab goes through the toolbar before the page: address, Teach, Zesto.
    setTabOrder(m_navBar, m_btnTeach);
    setTabOrder(m_btnTeach, m_btnZesto);
    setTabOrder(m_btnZesto, m_webview);

    connect(m_navBar, &QLineEdit::returnPressed, this, &BrowserPane::addressEntered);
    connect(m_btnZesto, &QPushButton::clicked, this, &BrowserPane::zestoClicked);
    connect(m_btnTeach, &QPushButton::clicked, this, &BrowserPane::teachClicked);
    connect(btnBack(), &QPushButton::clicked, this, &BrowserPane::backClicked);
    connect(btnForward(), &QPushButton::clicked, this, &BrowserPane::forwardClicked);
    connect(m_webview, &QWebEngineView::loadStarted, this, &BrowserPane::loadStarted);
    connect(m_webview, &QWebEngineView::loadFinished, this, &BrowserPane::loadFinished);
}

BrowserPane::~BrowserPane() = default;

void BrowserPane::insertBar(QWidget *bar)
{
    if (auto *column = qobject_cast<QVBoxLayout *>(layout()))
        column->insertWidget(1, bar);
}

QPushButton *BrowserPane::btnBack() const
{
    return m_navBar->backButton();
}

QPushButton *BrowserPane::btnForward() const
{
    return m_navBar->forwardButton();
}

QToolButton *BrowserPane::btnClear() const
{
    return m_navBar->clearButton();
}

void BrowserPane::showPage()
{
    m_webview->show();
    m_controls->show();
}

void BrowserPane::hidePage()
{
    m_webview->hide();
    m_controls->hide();
    hideLoadingBox();
}

bool BrowserPane::isPageShown() const
{
    return !m_webview->isHidden();
}

bool BrowserPane::canOpen(const QString &address)
{
    // The browser would start a load for any scheme and then end it with nothing to show.
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

bool BrowserPane::load(const QString &address)
{
    if (!canOpen(address)) {
        qCDebug(lcBrowserPane) << "not an address:" << address;
        return false;
    }
    m_webview->load(QUrl(address, QUrl::StrictMode));
    return true;
}

void BrowserPane::beginPageLoad()
{
    // Every start of a load (sub-frames too) has a box of its own; only the newest shows.
    if (m_loadingBox) {
        m_loadingBox->hide();
        m_loadingBox->deleteLater();
    }
    m_loadingBox = LoadingBox::create(this);
    m_loadingBox->setObjectName(QStringLiteral("pageLoadingBox"));
    m_loadingBox->setAttribute(Qt::WA_TransparentForMouseEvents);
    placeLoadingBox();
    m_loadingBox->raise();
    disableButton(m_btnZesto);
}

void BrowserPane::endPageLoad(bool loaded)
{
    if (loaded) {
        m_navBar->showAddress(m_webview->url().toString(QUrl::FullyEncoded));
        enableButton(m_btnZesto);
    }
    hideLoadingBox();
    const QWebEngineHistory *history = m_webview->history();
    history->canGoBack() ? enableButton(btnBack()) : disableButton(btnBack());
    history->canGoForward() ? enableButton(btnForward()) : disableButton(btnForward());
}

void BrowserPane::hideLoadingBox()
{
    if (m_loadingBox)
        m_loadingBox->hide();
    m_loadingBox.clear();
}

void BrowserPane::setZestoEnabled(bool enabled)
{
    enabled ? enableButton(m_btnZesto) : disableButton(m_btnZesto);
}

void BrowserPane::enableButton(QPushButton *button)
{
    button->setEnabled(true);
    button->setGraphicsEffect(nullptr);
}

void BrowserPane::disableButton(QPushButton *button)
{
    button->setEnabled(false);
    auto *faded = new QGraphicsOpacityEffect(button);
    faded->setOpacity(0.1);
    button->setGraphicsEffect(faded);
}

void BrowserPane::placeLoadingBox()
{
    if (m_loadingBox)
        m_loadingBox->move((width() - LoadingBox::size) / 2, loadingBoxTop);
}

void BrowserPane::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeLoadingBox();
}
