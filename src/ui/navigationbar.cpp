#include "ui/navigationbar.h"

#include "ui/barbuttonitem.h"
#include "ui/navigationitem.h"
#include "ui/theme.h"
#include "ui/untrustedtext.h"

#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int sideMargin = 8;
constexpr int itemSpacing = 6;
constexpr int buttonHeight = 30;
constexpr int iconSize = 16;

// Icons are drawn at twice their size so they stay sharp on high-density screens.
QPixmap iconCanvas()
{
    QPixmap pixmap(iconSize * 2, iconSize * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap chevronPixmap(const QColor &color)
{
    QPixmap pixmap = iconCanvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({ { 10.5, 2.5 }, { 4.5, 8.0 }, { 10.5, 13.5 } }));
    return pixmap;
}

// The share symbol: an open tray with an arrow rising out of it.
QPixmap actionPixmap(const QColor &color)
{
    QPixmap pixmap = iconCanvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({ { 5.5, 6.5 },
                               { 3.0, 6.5 },
                               { 3.0, 15.0 },
                               { 13.0, 15.0 },
                               { 13.0, 6.5 },
                               { 10.5, 6.5 } }));
    p.drawLine(QPointF(8.0, 1.5), QPointF(8.0, 10.5));
    p.drawPolyline(QPolygonF({ { 5.0, 4.5 }, { 8.0, 1.5 }, { 11.0, 4.5 } }));
    return pixmap;
}

QIcon twoStateIcon(QPixmap (*draw)(const QColor &), const QColor &color)
{
    QIcon icon;
    icon.addPixmap(draw(color), QIcon::Normal);
    icon.addPixmap(draw(Theme::colour(Theme::Colour::NavigationDisabled)), QIcon::Disabled);
    return icon;
}

// The look of an item's button comes from the theme's style sheet; its text takes the item's tint.
void styleButton(QToolButton *button, const QColor &tint, bool bordered)
{
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, tint);
    button->setPalette(palette);
    if (button->property("bordered").toBool() != bordered) {
        button->setProperty("bordered", bordered);
        button->style()->unpolish(button);
        button->style()->polish(button);
    }
}

} // namespace

NavigationBar::NavigationBar(QWidget *parent)
    : QWidget(parent)
    , m_backButton(createButton())
    , m_titleLabel(new QLabel(this))
{
    setFixedHeight(barHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    setObjectName(QStringLiteral("navigationBar"));
    const QColor text = Theme::colour(Theme::Colour::NavigationText);
    styleButton(m_backButton, text, true);
    m_backButton->setIcon(twoStateIcon(chevronPixmap, text));
    m_backButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_backButton->hide();
    connect(m_backButton, &QToolButton::clicked, this, &NavigationBar::backRequested);

    QFont titleFont = font();
    titleFont.setPixelSize(17);
    titleFont.setBold(true);
    m_titleLabel->setFont(titleFont);
    UntrustedText::makePlain(m_titleLabel);
    m_titleLabel->setAlignment(Qt::AlignCenter);
    m_titleLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette palette = m_titleLabel->palette();
    palette.setColor(QPalette::WindowText, Theme::colour(Theme::Colour::NavigationTitle));
    m_titleLabel->setPalette(palette);
}

void NavigationBar::setItems(NavigationItem *topItem, NavigationItem *backItem)
{
    if (m_topItem)
        disconnect(m_topItem, nullptr, this, nullptr);
    if (m_backItem)
        disconnect(m_backItem, nullptr, this, nullptr);
    m_topItem = topItem;
    m_backItem = backItem;
    if (topItem)
        connect(topItem, &NavigationItem::changed, this, &NavigationBar::refresh);
    if (backItem)
        connect(backItem, &NavigationItem::changed, this, &NavigationBar::refresh);
    refresh();
}

QString NavigationBar::backTitle(const NavigationItem *previous)
{
    if (previous) {
        const BarButtonItem *back = previous->backBarButtonItem();
        if (back && !back->title().isEmpty())
            return back->title();
        if (!previous->title().isEmpty())
            return previous->title();
    }
    return QStringLiteral("Back");
}

QAbstractButton *NavigationBar::backButton() const
{
    return m_backButton;
}

QAbstractButton *NavigationBar::buttonForItem(const BarButtonItem *item) const
{
    for (const ItemButton &entry : m_rightButtons) {
        if (entry.item == item)
            return entry.button;
    }
    return nullptr;
}

QString NavigationBar::title() const
{
    return m_title;
}

void NavigationBar::refresh()
{
    m_title = m_topItem ? m_topItem->title() : QString();
    m_backButton->setVisible(!m_backItem.isNull());
    if (m_backItem)
        m_backTitle = backTitle(m_backItem);
    syncRightButtons();
    layoutBar();
    update();
}

void NavigationBar::syncRightButtons()
{
    const QList<BarButtonItem *> items
        = m_topItem ? m_topItem->rightBarButtonItems() : QList<BarButtonItem *>();
    QList<ItemButton> buttons;
    for (BarButtonItem *item : items) {
        auto existing
            = std::find_if(m_rightButtons.begin(), m_rightButtons.end(),
                           [item](const ItemButton &entry) { return entry.item == item; });
        if (existing != m_rightButtons.end()) {
            buttons.append(*existing);
            m_rightButtons.erase(existing);
            continue;
        }
        QToolButton *button = createButton();
        connect(button, &QToolButton::clicked, item, &BarButtonItem::trigger);
        connect(item, &BarButtonItem::changed, button, [this, button, item] {
            updateButton(button, item);
            layoutBar();
        });
        updateButton(button, item);
        button->show();
        buttons.append({ item, button });
    }
    // The click being handled may come from one of these buttons, so they go after the event.
    for (const ItemButton &gone : std::as_const(m_rightButtons)) {
        gone.button->hide();
        gone.button->disconnect();
        if (gone.item)
            disconnect(gone.item, nullptr, gone.button, nullptr);
        gone.button->deleteLater();
    }
    m_rightButtons = buttons;
}

QToolButton *NavigationBar::createButton()
{
    auto button = new QToolButton(this);
    // Reached by Tab and pressed by Space; a click leaves the keyboard where it was.
    button->setFocusPolicy(Qt::TabFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setIconSize(QSize(iconSize, iconSize));
    button->setAutoRaise(false);
    return button;
}

void NavigationBar::updateButton(QToolButton *button, const BarButtonItem *item)
{
    const QColor color = item->tintColor().isValid() ? item->tintColor()
                                                     : Theme::colour(Theme::Colour::NavigationText);
    // On a navigation bar plain items get a bezel too, as on the tablet, only a lighter one.
    const bool bordered = item->style() == BarButtonItem::Style::Bordered
        || item->systemItem() != BarButtonItem::SystemItem::None;
    styleButton(button, color, bordered);
    button->setText(UntrustedText::buttonText(item->title()));
    button->setToolTip(item->toolTip());
    if (item->systemItem() == BarButtonItem::SystemItem::Action) {
        button->setIcon(twoStateIcon(actionPixmap, color));
        button->setToolButtonStyle(item->title().isEmpty() ? Qt::ToolButtonIconOnly
                                                           : Qt::ToolButtonTextBesideIcon);
    } else {
        button->setIcon(QIcon());
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    button->setEnabled(item->isEnabled());
}

void NavigationBar::layoutBar()
{
    const int y = (height() - buttonHeight) / 2;
    int left = sideMargin;
    if (m_backButton->isVisibleTo(this)) {
        // A long back title is elided to a third of the bar.
        m_backButton->setText(UntrustedText::buttonText(m_backTitle));
        const int natural = m_backButton->sizeHint().width();
        const int w = std::min(natural, std::max(width() / 3, 60));
        if (w < natural) {
            const QFontMetrics buttonMetrics(m_backButton->font());
            const int room = w - (natural - buttonMetrics.horizontalAdvance(m_backTitle));
            m_backButton->setText(UntrustedText::buttonText(
                buttonMetrics.elidedText(m_backTitle, Qt::ElideRight, room)));
        }
        m_backButton->setGeometry(left, y, w, buttonHeight);
        left += w + itemSpacing;
    }
    int right = width() - sideMargin;
    for (const ItemButton &entry : std::as_const(m_rightButtons)) {
        const int w = entry.button->sizeHint().width();
        right -= w;
        entry.button->setGeometry(right, y, w, buttonHeight);
        right -= itemSpacing;
    }

    // Centred on the bar when the title fits between the buttons, else pushed aside and elided.
    const QFontMetrics metrics(m_titleLabel->font());
    const int room = std::max(0, right - left);
    const int textWidth = std::min(metrics.horizontalAdvance(m_title) + 4, room);
    const int x = std::clamp((width() - textWidth) / 2, left, std::max(left, right - textWidth));
    m_titleLabel->setText(metrics.elidedText(m_title, Qt::ElideRight, textWidth));
    m_titleLabel->setGeometry(x, 0, textWidth, height());
}

void NavigationBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0.0, Theme::colour(Theme::Colour::NavigationTop));
    gradient.setColorAt(1.0, Theme::colour(Theme::Colour::NavigationBottom));
    p.fillRect(rect(), gradient);
    p.setPen(QColor(255, 255, 255, 200));
    p.drawLine(0, 0, width(), 0);
    p.setPen(Theme::colour(Theme::Colour::NavigationEdge));
    p.drawLine(0, height() - 1, width(), height() - 1);
}

void NavigationBar::resizeEvent(QResizeEvent *)
{
    layoutBar();
}

void NavigationBar::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        layoutBar();
}
