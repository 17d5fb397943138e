#include "ui/storyboard.h"

#include "ui/navigationcontroller.h"
#include "ui/popover.h"
#include "ui/storyboardsegue.h"
#include "ui/viewcontroller.h"

#include <QLoggingCategory>
#include <QPointer>

Q_LOGGING_CATEGORY(lcStoryboard, "listoro.ui.storyboard")

Storyboard::Storyboard(QObject *parent)
    : QObject(parent)
{
}

void Storyboard::addPushSegue(const QString &identifier, Factory destination)
{
    m_segues.insert(identifier, { SegueKind::Push, std::move(destination), {} });
}

void Storyboard::addPopoverSegue(const QString &identifier, Factory destination,
                                 const QRect &anchorRect, const QSize &contentSize)
{
    addPopoverSegue(identifier, std::move(destination),
                    [anchorRect, contentSize](ViewController *) {
                        return PopoverPlacement{ anchorRect, contentSize };
                    });
}

void Storyboard::addPopoverSegue(const QString &identifier, Factory destination,
                                 PlacementFunction placement)
{
    m_segues.insert(identifier,
                    { SegueKind::Popover, std::move(destination), std::move(placement) });
}

void Storyboard::setInitialViewController(Factory factory)
{
    m_initial = std::move(factory);
}

ViewController *Storyboard::instantiateInitialViewController()
{
    return m_initial ? instantiate(m_initial) : nullptr;
}

ViewController *Storyboard::instantiate(const Factory &factory)
{
    ViewController *viewController = factory ? factory() : nullptr;
    if (viewController)
        viewController->setStoryboard(this);
    return viewController;
}

void Storyboard::performSegue(const QString &identifier, ViewController *source, QObject *sender)
{
    const auto found = m_segues.constFind(identifier);
    if (found == m_segues.cend()) {
        qCWarning(lcStoryboard) << "unknown segue" << identifier;
        return;
    }
    if (!source) {
        qCWarning(lcStoryboard) << "segue" << identifier << "without a source";
        return;
    }
    const Segue &segue = *found;
    if (segue.kind == SegueKind::Push && !source->navigationController()) {
        qCWarning(lcStoryboard) << "segue" << identifier
                                << "from a screen on no navigation controller";
        return;
    }
    ViewController *destination = instantiate(segue.destination);
    if (!destination) {
        qCWarning(lcStoryboard) << "segue" << identifier << "created no screen";
        return;
    }

    StoryboardSegue performed{ identifier, source, destination, nullptr };
    PopoverPlacement placement;
    QPointer<Popover> popover;
    if (segue.kind == SegueKind::Popover) {
        placement = segue.placement ? segue.placement(source) : PopoverPlacement{};
        popover = new Popover(destination, source);
        popover->setContentSize(placement.contentSize);
        performed.popoverController = popover;
    }

    QPointer<ViewController> guardSource(source);
    QPointer<ViewController> guardDestination(destination);
    source->prepareForSegue(performed, sender);
    if (!guardSource || !guardDestination) {
        qCWarning(lcStoryboard) << "segue" << identifier << "lost its screens while preparing";
        if (guardDestination && !popover)
            guardDestination->deleteLater();
        return;
    }

    if (segue.kind == SegueKind::Popover) {
        if (popover)
            popover->presentFromRect(placement.anchorRect, source);
        return;
    }
    if (NavigationController *navigation = source->navigationController())
        navigation->pushViewController(destination, true);
    else
        destination->deleteLater();
}
