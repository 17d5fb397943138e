#include "ui/viewtag.h"

#include <QVariant>
#include <QWidget>

namespace {

constexpr char tagProperty[] = "_listoro_viewTag";

} // namespace

void setViewTag(QObject *object, int tag)
{
    if (object)
        object->setProperty(tagProperty, tag);
}

int viewTag(const QObject *object)
{
    return object ? object->property(tagProperty).toInt() : 0;
}

QWidget *viewWithTag(QWidget *root, int tag)
{
    if (!root)
        return nullptr;
    if (viewTag(root) == tag)
        return root;
    for (QObject *child : root->children()) {
        if (!child->isWidgetType())
            continue;
        if (QWidget *found = viewWithTag(static_cast<QWidget *>(child), tag))
            return found;
    }
    return nullptr;
}
