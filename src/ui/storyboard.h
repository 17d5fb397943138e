#pragma once

#include <QHash>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

class ViewController;

// The table of segues between screens. Every segue creates a new destination screen, lets the
// source prepare it, then pushes it on the source's navigation controller or presents it in a
// popover anchored over the source.
class Storyboard final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Storyboard)

public:
    enum class SegueKind { Push, Popover };
    Q_ENUM(SegueKind)

    using Factory = std::function<ViewController *()>;
    // Where a popover stands: the anchor in the source screen's coordinates, and its size.
    struct PopoverPlacement
    {
        QRect anchorRect;
        QSize contentSize;
    };
    using PlacementFunction = std::function<PopoverPlacement(ViewController *source)>;

    explicit Storyboard(QObject *parent = nullptr);

    void addPushSegue(const QString &identifier, Factory destination);
    void addPopoverSegue(const QString &identifier, Factory destination, const QRect &anchorRect,
                         const QSize &contentSize);
    // The placement is asked of the source screen at each segue.
    void addPopoverSegue(const QString &identifier, Factory destination,
                         PlacementFunction placement);
    bool hasSegue(const QString &identifier) const { return m_segues.contains(identifier); }

    void setInitialViewController(Factory factory);
    // A new first screen, with this storyboard; null when none was set.
    ViewController *instantiateInitialViewController();

    // Unknown identifiers, and push segues from a screen on no navigation controller, are
    // logged and ignored.
    void performSegue(const QString &identifier, ViewController *source, QObject *sender);

private:
    struct Segue
    {
        SegueKind kind = SegueKind::Push;
        Factory destination;
        PlacementFunction placement;
    };

    ViewController *instantiate(const Factory &factory);

    QHash<QString, Segue> m_segues;
    Factory m_initial;
};
