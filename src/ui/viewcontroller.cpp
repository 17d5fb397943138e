#include "ui/viewcontroller.h"

#include "ui/navigationcontroller.h"
#include "ui/navigationitem.h"
#include "ui/storyboard.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcViewController, "listoro.ui.viewcontroller")

ViewController::ViewController(QWidget *parent)
    : QWidget(parent)
    , m_navigationItem(new NavigationItem(this))
{
}

ViewController::~ViewController()
{
    if (m_navigationController)
        m_navigationController->forgetViewController(this);
}

void ViewController::loadViewIfNeeded()
{
    if (m_viewLoaded)
        return;
    m_viewLoaded = true;
    viewDidLoad();
}

void ViewController::setStoryboard(Storyboard *storyboard)
{
    m_storyboard = storyboard;
}

void ViewController::performSegue(const QString &identifier, QObject *sender)
{
    if (!m_storyboard) {
        qCWarning(lcViewController) << "no storyboard to perform segue" << identifier;
        return;
    }
    m_storyboard->performSegue(identifier, this, sender);
}

void ViewController::prepareForSegue(StoryboardSegue &segue, QObject *sender)
{
    Q_UNUSED(segue)
    Q_UNUSED(sender)
}

bool ViewController::isLandscape() const
{
    const QWidget *w = window();
    return w->width() > w->height();
}
