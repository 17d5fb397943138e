#include "ui/barbuttonitem.h"

#include "ui/viewtag.h"

BarButtonItem::BarButtonItem(QObject *parent)
    : QObject(parent)
{
}

BarButtonItem::BarButtonItem(const QString &title, Style style, QObject *parent)
    : QObject(parent)
    , m_title(title)
    , m_style(style)
{
}

BarButtonItem::BarButtonItem(SystemItem systemItem, QObject *parent)
    : QObject(parent)
    , m_style(Style::Bordered)
    , m_systemItem(systemItem)
{
}

void BarButtonItem::setTitle(const QString &title)
{
    if (title == m_title && title.isNull() == m_title.isNull())
        return;
    m_title = title;
    emit changed();
}

void BarButtonItem::setToolTip(const QString &toolTip)
{
    if (toolTip == m_toolTip)
        return;
    m_toolTip = toolTip;
    emit changed();
}

void BarButtonItem::setStyle(Style style)
{
    if (style == m_style)
        return;
    m_style = style;
    emit changed();
}

void BarButtonItem::setTintColor(const QColor &color)
{
    if (color == m_tintColor)
        return;
    m_tintColor = color;
    emit changed();
}

void BarButtonItem::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    emit changed();
}

int BarButtonItem::tag() const
{
    return viewTag(this);
}

void BarButtonItem::setTag(int tag)
{
    if (tag == viewTag(this))
        return;
    setViewTag(this, tag);
    emit changed();
}

void BarButtonItem::trigger()
{
    if (m_enabled)
        emit triggered(this);
}
