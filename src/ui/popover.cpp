#include "ui/popover.h"

#include "ui/popoverdelegate.h"
#include "ui/popoveroverlay.h"
#include "ui/viewcontroller.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPopover, "listoro.ui.popover")

namespace {

constexpr QSize fallbackContentSize(320, 480);

} // namespace

Popover::Popover(ViewController *contentViewController, QObject *parent)
    : QObject(parent)
    , m_content(contentViewController)
{
    if (m_content && m_content->parentWidget())
        m_content->setParent(nullptr);
}

Popover::~Popover()
{
    delete m_overlay;
    delete m_content;
}

void Popover::setContentSize(const QSize &size)
{
    m_contentSize = size;
}

PopoverDelegate *Popover::delegate() const
{
    return m_delegateTracked && !m_delegateObject ? nullptr : m_delegate;
}

void Popover::setDelegate(PopoverDelegate *delegate)
{
    m_delegate = delegate;
    m_delegateObject = dynamic_cast<QObject *>(delegate);
    m_delegateTracked = !m_delegateObject.isNull();
}

void Popover::presentFromRect(const QRect &rect, QWidget *inView, bool animated)
{
    if (!inView || !m_content) {
        qCWarning(lcPopover) << "cannot present a popover without a view and content";
        return;
    }
    QWidget *window = inView->window();
    if (!m_overlay) {
        m_overlay = new PopoverOverlay(window);
        connect(m_overlay, &PopoverOverlay::dismissRequested, this, &Popover::dismissedByUser);
    } else {
        m_overlay->attach(window);
    }
    m_overlay->setContent(m_content);
    m_overlay->setAnchor(inView, rect, effectiveContentSize());
    if (isPopoverVisible()) {
        m_overlay->raise();
        return;
    }

    QPointer<ViewController> content = m_content;
    content->loadViewIfNeeded();
    if (content)
        content->viewWillAppear(animated);
    if (!m_overlay || !content)
        return;
    m_visible = true;
    m_overlay->show();
    m_overlay->raise();
    m_overlay->setFocus(Qt::PopupFocusReason);
    content->viewDidAppear(animated);
}

void Popover::dismissPopoverAnimated(bool animated)
{
    if (!isPopoverVisible())
        return;
    m_visible = false;
    QPointer<ViewController> content = m_content;
    if (content)
        content->viewWillDisappear(animated);
    if (m_overlay)
        m_overlay->hide();
    if (content)
        content->viewDidDisappear(animated);
}

bool Popover::isPopoverVisible() const
{
    return m_visible && m_overlay;
}

void Popover::dismissedByUser()
{
    if (!isPopoverVisible())
        return;
    QPointer<Popover> guard(this);
    dismissPopoverAnimated(true);
    if (!guard)
        return;
    if (PopoverDelegate *receiver = delegate())
        receiver->popoverControllerDidDismissPopover(this);
}

QSize Popover::effectiveContentSize() const
{
    if (m_contentSize.isValid() && !m_contentSize.isEmpty())
        return m_contentSize;
    const QSize hint = m_content ? m_content->sizeHint() : QSize();
    return hint.isValid() && !hint.isEmpty() ? hint : fallbackContentSize;
}
