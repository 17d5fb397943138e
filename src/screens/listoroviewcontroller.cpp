#include "screens/listoroviewcontroller.h"

#include "screens/siteaddresses.h"
#include "ui/navigationitem.h"

#include <QVBoxLayout>
#include <QWebEngineView>

ListoroViewController::ListoroViewController(QWidget *parent)
    : ViewController(parent)
{}

ListoroViewController::~ListoroViewController() = default;

void ListoroViewController::viewDidLoad()
{
    webview = new QWebEngineView(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(webview);
    const QString address = m_currentUrl.isNull() ? SiteAddresses::defaultStartPage() : m_currentUrl;
    navigationItem()->setTitle(QStringLiteral("Listoro"));
    webview->load(QUrl(address));
}
