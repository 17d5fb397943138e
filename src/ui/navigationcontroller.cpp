#include "ui/navigationcontroller.h"

#include "platform/defaultskeys.h"
#include "platform/userdefaults.h"
#include "ui/navigationbar.h"
#include "ui/theme.h"
#include "ui/untrustedtext.h"
#include "ui/viewcontroller.h"

#include <QCloseEvent>
#include <QLoggingCategory>
#include <QPointer>
#include <QStackedLayout>
#include <QVBoxLayout>

#include <utility>

Q_LOGGING_CATEGORY(lcNavigation, "listoro.ui.navigationcontroller")

namespace {

constexpr QSize firstWindowSize(1024, 768);

// Navigation controllers in the order they were last shown, the newest at the end.
QList<NavigationController *> &shownControllers()
{
    static QList<NavigationController *> controllers;
    return controllers;
}

} // namespace

NavigationController::NavigationController(ViewController *rootViewController, QWidget *parent)
    : QWidget(parent)
    , m_navigationBar(new NavigationBar(this))
    , m_content(new QWidget(this))
    , m_stackLayout(new QStackedLayout(m_content))
{
    Theme::apply(this);
    auto layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_navigationBar);
    layout->addWidget(m_content, 1);
    m_stackLayout->setContentsMargins(0, 0, 0, 0);
    connect(m_navigationBar, &NavigationBar::backRequested, this,
            [this] { popViewControllerAnimated(true); });
    resize(firstWindowSize);
    if (rootViewController)
        pushViewController(rootViewController, false);
}

NavigationController::~NavigationController()
{
    shownControllers().removeAll(this);
    // The screens go with this widget; they must not call back into it on their way out.
    for (ViewController *viewController : std::exchange(m_stack, {}))
        viewController->m_navigationController = nullptr;
    m_navigationBar->setItems(nullptr, nullptr);
}

void NavigationController::pushViewController(ViewController *viewController, bool animated)
{
    if (!viewController || m_stack.contains(viewController)) {
        qCWarning(lcNavigation) << "refused to push" << viewController;
        return;
    }
    ViewController *previous = topViewController();
    m_stack.append(viewController);
    viewController->m_navigationController = this;
    m_stackLayout->addWidget(viewController);
    connect(viewController, &QWidget::windowTitleChanged, this, [this, viewController] {
        if (viewController == topViewController())
            updateWindowTitle();
    });
    QPointer<ViewController> guard(viewController);
    viewController->loadViewIfNeeded();
    if (guard)
        transition(previous, viewController, animated, {});
}

ViewController *NavigationController::popViewControllerAnimated(bool animated)
{
    if (m_stack.size() < 2)
        return nullptr;
    ViewController *popped = m_stack.takeLast();
    transition(popped, m_stack.last(), animated, { popped });
    return popped;
}

QList<ViewController *> NavigationController::popToRootViewController(bool animated)
{
    if (m_stack.size() < 2)
        return {};
    QList<ViewController *> popped = m_stack.mid(1);
    m_stack.resize(1);
    transition(popped.last(), m_stack.first(), animated, popped);
    return popped;
}

ViewController *NavigationController::topViewController() const
{
    return m_stack.isEmpty() ? nullptr : m_stack.last();
}

NavigationController *NavigationController::current()
{
    const QList<NavigationController *> &controllers = shownControllers();
    for (auto it = controllers.crbegin(); it != controllers.crend(); ++it) {
        if ((*it)->isVisible())
            return *it;
    }
    return nullptr;
}

void NavigationController::restoreWindowGeometry()
{
    const QByteArray geometry = UserDefaults::standard().dataForKey(DefaultsKeys::windowGeometry);
    if (geometry.isEmpty() || !restoreGeometry(geometry))
        resize(firstWindowSize);
}

void NavigationController::saveWindowGeometry() const
{
    UserDefaults::standard().setObject(saveGeometry(), DefaultsKeys::windowGeometry);
}

void NavigationController::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    QList<NavigationController *> &controllers = shownControllers();
    controllers.removeAll(this);
    controllers.append(this);
    if (m_onScreen)
        return;
    m_onScreen = true;
    QPointer<ViewController> top = topViewController();
    if (top)
        top->viewWillAppear(false);
    if (top)
        top->viewDidAppear(false);
}

void NavigationController::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous() || !m_onScreen)
        return;
    m_onScreen = false;
    QPointer<ViewController> top = topViewController();
    if (top)
        top->viewWillDisappear(false);
    if (top)
        top->viewDidDisappear(false);
}

void NavigationController::closeEvent(QCloseEvent *event)
{
    saveWindowGeometry();
    QWidget::closeEvent(event);
}

void NavigationController::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const bool landscape = width() > height();
    const std::optional<bool> wasLandscape = std::exchange(m_landscape, landscape);
    emit resized();
    if (!wasLandscape || *wasLandscape == landscape)
        return;
    emit orientationChanged();
    if (ViewController *top = topViewController())
        top->didRotateFromInterfaceOrientation(*wasLandscape);
}

void NavigationController::forgetViewController(ViewController *viewController)
{
    const qsizetype index = m_stack.indexOf(viewController);
    if (index < 0)
        return;
    const bool wasTop = index == m_stack.size() - 1;
    m_stack.removeAt(index);
    if (wasTop && m_onScreen && !m_stack.isEmpty())
        transition(nullptr, m_stack.last(), false, {});
    else
        showTopViewController();
}

void NavigationController::showTopViewController()
{
    ViewController *top = topViewController();
    if (top)
        m_stackLayout->setCurrentWidget(top);
    NavigationItem *backItem
        = m_stack.size() > 1 ? m_stack.at(m_stack.size() - 2)->navigationItem() : nullptr;
    m_navigationBar->setItems(top ? top->navigationItem() : nullptr, backItem);
    updateWindowTitle();
}

void NavigationController::setApplicationTitle(const QString &title)
{
    m_applicationTitle = title;
    updateWindowTitle();
}

void NavigationController::updateWindowTitle()
{
    // The top screen's own window title says where the user is.
    const ViewController *top = topViewController();
    const QString place = top ? top->windowTitle() : QString();
    setWindowTitle(UntrustedText::windowTitle(place.isEmpty() ? m_applicationTitle
                                                              : place + QStringLiteral(" \u2014 ")
                                                      + m_applicationTitle));
}

void NavigationController::transition(ViewController *leaving, ViewController *arriving,
                                      bool animated, const QList<ViewController *> &removed)
{
    // A screen may push, pop or delete screens from its own callbacks.
    QPointer<ViewController> out(leaving);
    QPointer<ViewController> in(arriving);
    QList<QPointer<ViewController>> discarded(removed.cbegin(), removed.cend());
    const bool onScreen = m_onScreen;
    if (onScreen && out)
        out->viewWillDisappear(animated);
    if (onScreen && in)
        in->viewWillAppear(animated);
    showTopViewController();
    if (onScreen && out)
        out->viewDidDisappear(animated);
    if (onScreen && in)
        in->viewDidAppear(animated);
    for (const QPointer<ViewController> &viewController : std::as_const(discarded)) {
        if (viewController)
            discard(viewController);
    }
}

void NavigationController::discard(ViewController *viewController)
{
    viewController->m_navigationController = nullptr;
    m_stackLayout->removeWidget(viewController);
    viewController->hide();
    viewController->deleteLater();
}
