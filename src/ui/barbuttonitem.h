#pragma once

#include <QColor>
#include <QObject>
#include <QString>

// One button of a navigation bar. The bar draws it and calls trigger() when it is clicked;
// screens connect to triggered(). A system item shows its symbol, and its title beside it when
// it has one.
class BarButtonItem final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BarButtonItem)

public:
    enum class Style { Plain, Bordered };
    Q_ENUM(Style)
    enum class SystemItem { None, Action };
    Q_ENUM(SystemItem)

    explicit BarButtonItem(QObject *parent = nullptr);
    BarButtonItem(const QString &title, Style style, QObject *parent = nullptr);
    explicit BarButtonItem(SystemItem systemItem, QObject *parent = nullptr);

    QString title() const { return m_title; }
    void setTitle(const QString &title);
    Style style() const { return m_style; }
    void setStyle(Style style);
    SystemItem systemItem() const { return m_systemItem; }
    // An invalid colour means the bar's own text colour.
    QColor tintColor() const { return m_tintColor; }
    void setTintColor(const QColor &color);
    // Shown over the item's button; names its key where it has one.
    QString toolTip() const { return m_toolTip; }
    void setToolTip(const QString &toolTip);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    int tag() const;
    void setTag(int tag);

    // Emits triggered() when the item is enabled.
    void trigger();

signals:
    void triggered(BarButtonItem *item);
    // Any of title, style, tint, tool tip, enabled or tag changed.
    void changed();

private:
    QString m_title;
    Style m_style = Style::Plain;
    SystemItem m_systemItem = SystemItem::None;
    QColor m_tintColor;
    QString m_toolTip;
    bool m_enabled = true;
};
