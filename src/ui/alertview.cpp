#include "ui/alertview.h"

#include "ui/alertviewdelegate.h"
#include "ui/navigationcontroller.h"
#include "ui/theme.h"
#include "ui/viewtag.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

Q_LOGGING_CATEGORY(lcAlertView, "listoro.ui.alertview")

namespace {

constexpr int cardWidth = 300;
constexpr int cardRadius = 12;
constexpr int bodyMargin = 20;
constexpr int hostMargin = 20;

QList<AlertView *> &shownAlerts()
{
    static QList<AlertView *> alerts;
    return alerts;
}

bool isBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}

// A button's place in the alert, for the style sheet: the cancel button reads bolder when there
// are others, and the buttons along the card's bottom edge follow its rounded corners.
void styleButton(QPushButton *button, bool cancel, const char *corners)
{
    button->setProperty("cancel", cancel);
    button->setProperty("corners", QLatin1StringView(corners));
    button->style()->unpolish(button);
    button->style()->polish(button);
}

} // namespace

AlertView::AlertView(QWidget *parent)
    : QWidget(parent)
    , m_shadow(14, Theme::colour(Theme::Colour::Shadow), QPoint(0, 6))
{
    buildCard();
}

AlertView::AlertView(const QString &title, const QString &message, AlertViewDelegate *delegate,
                     const QString &cancelButtonTitle, const QStringList &otherButtonTitles,
                     QWidget *parent)
    : AlertView(parent)
{
    setTitle(title);
    setMessage(message);
    setDelegate(delegate);
    if (!cancelButtonTitle.isNull())
        setCancelButtonIndex(addButtonWithTitle(cancelButtonTitle));
    for (const QString &other : otherButtonTitles)
        addButtonWithTitle(other);
}

AlertView *AlertView::confirmation(const QString &title, const QString &message, int tag,
                                   AlertViewDelegate *delegate, QWidget *parent)
{
    auto *alert = new AlertView(parent);
    alert->setTag(tag);
    alert->setTitle(title);
    alert->setMessage(message);
    alert->setDelegate(delegate);
    alert->addButtonWithTitle(tr("Yes"));
    alert->addButtonWithTitle(tr("No"));
    alert->setCancelButtonIndex(1);
    return alert;
}

AlertView::~AlertView()
{
    shownAlerts().removeAll(this);
}

void AlertView::buildCard()
{
    setFocusPolicy(Qt::StrongFocus);
    // Hidden explicitly, so that showing a parent never presents the alert by the way.
    QWidget::setVisible(false);

    m_card = new QWidget(this);
    m_card->setObjectName(QStringLiteral("alertCard"));
    auto cardLayout = new QVBoxLayout(m_card);
    cardLayout->setContentsMargins(0, 0, 0, 0);
    cardLayout->setSpacing(0);

    auto body = new QWidget(m_card);
    auto bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(bodyMargin, bodyMargin, bodyMargin, bodyMargin - 2);
    bodyLayout->setSpacing(8);
    cardLayout->addWidget(body);

    // Titles and messages may carry text the user typed; it is never read as markup.
    m_titleLabel = new QLabel(body);
    m_titleLabel->setObjectName(QStringLiteral("alertTitle"));
    m_messageLabel = new QLabel(body);
    m_messageLabel->setObjectName(QStringLiteral("alertMessage"));
    for (QLabel *label : { m_titleLabel, m_messageLabel }) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->hide();
        bodyLayout->addWidget(label);
    }

    m_customArea = new QWidget(body);
    m_customLayout = new QVBoxLayout(m_customArea);
    m_customLayout->setContentsMargins(0, 4, 0, 4);
    m_customLayout->setSpacing(8);
    m_customArea->hide();
    bodyLayout->addWidget(m_customArea);

    m_textField = new QLineEdit(body);
    m_textField->hide();
    bodyLayout->addWidget(m_textField);

    m_buttonArea = new QWidget(m_card);
    m_buttonArea->hide();
    cardLayout->addWidget(m_buttonArea);
}

int AlertView::tag() const
{
    return viewTag(this);
}

void AlertView::setTag(int tag)
{
    setViewTag(this, tag);
}

void AlertView::setTitle(const QString &title)
{
    m_title = title;
    updateLabels();
}

void AlertView::setMessage(const QString &message)
{
    m_message = message;
    updateLabels();
}

AlertViewDelegate *AlertView::delegate() const
{
    return m_delegateTracked && !m_delegateObject ? nullptr : m_delegate;
}

void AlertView::setDelegate(AlertViewDelegate *delegate)
{
    m_delegate = delegate;
    // A screen that goes away while its alert is up must not be called back.
    m_delegateObject = dynamic_cast<QObject *>(delegate);
    m_delegateTracked = !m_delegateObject.isNull();
}

void AlertView::setAlertViewStyle(AlertViewStyle style)
{
    m_style = style;
    m_textField->setVisible(style == AlertViewStyle::PlainTextInput);
    relayout();
}

QLineEdit *AlertView::textFieldAtIndex(int index) const
{
    if (index != 0 || m_style != AlertViewStyle::PlainTextInput) {
        qCWarning(lcAlertView) << "no text field at index" << index;
        return nullptr;
    }
    return m_textField;
}

int AlertView::addButtonWithTitle(const QString &title)
{
    const int index = int(m_buttons.size());
    QString shown = title;
    auto button = new QPushButton(shown.replace(u'&', QStringLiteral("&&")), m_buttonArea);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    connect(button, &QPushButton::clicked, this, [this, index] { pressButton(index); });
    m_buttonTitles.append(title);
    m_buttons.append(button);
    rebuildButtonArea();
    return index;
}

QString AlertView::buttonTitleAtIndex(int index) const
{
    return index >= 0 && index < m_buttonTitles.size() ? m_buttonTitles.at(index) : QString();
}

QAbstractButton *AlertView::buttonAtIndex(int index) const
{
    return index >= 0 && index < m_buttons.size() ? m_buttons.at(index) : nullptr;
}

void AlertView::setCancelButtonIndex(int index)
{
    m_cancelButtonIndex = index >= 0 && index < m_buttons.size() ? index : -1;
    rebuildButtonArea();
}

void AlertView::addSubview(QWidget *view)
{
    if (!view)
        return;
    // A widget that was given a size keeps it; others take their preferred size.
    QSize size = view->testAttribute(Qt::WA_Resized) ? view->size() : view->sizeHint();
    size.setWidth(std::min(size.width(), cardWidth - 2 * bodyMargin));
    view->setParent(m_customArea);
    view->setFixedSize(size.expandedTo(QSize(1, 1)));
    m_customLayout->addWidget(view, 0, Qt::AlignHCenter);
    view->show();
    m_customArea->show();
    relayout();
}

QWidget *AlertView::viewWithTag(int tag)
{
    return ::viewWithTag(this, tag);
}

void AlertView::setVisible(bool visible)
{
    if (visible && m_dismissed)
        return;
    if (visible && !m_presented) {
        present();
        return;
    }
    QWidget::setVisible(visible);
}

void AlertView::dismissWithClickedButtonIndex(int buttonIndex, bool animated)
{
    Q_UNUSED(buttonIndex)
    Q_UNUSED(animated)
    dismiss();
}

QList<AlertView *> AlertView::visibleAlerts()
{
    return shownAlerts();
}

void AlertView::pressButton(int index)
{
    if (m_dismissed || m_answered || index < 0 || index >= m_buttons.size())
        return;
    m_answered = true;
    QPointer<AlertView> guard(this);
    if (AlertViewDelegate *receiver = delegate())
        receiver->alertViewClickedButtonAtIndex(this, index);
    if (!guard)
        return;
    emit clickedButtonAtIndex(index);
    if (guard)
        dismiss();
}

void AlertView::present()
{
    m_presented = true;
    m_previousFocus = QApplication::focusWidget();
    m_host = NavigationController::current();
    if (m_host) {
        setParent(m_host);
        m_host->installEventFilter(this);
    } else {
        // No window to cover: the alert becomes a small window of its own.
        setParent(nullptr, Qt::Dialog);
        Theme::apply(this);
        setAttribute(Qt::WA_QuitOnClose, false);
        setWindowTitle(isBlank(m_title) ? QGuiApplication::applicationDisplayName()
                                        : m_title.trimmed());
    }
    shownAlerts().append(this);
    relayout();
    QWidget::setVisible(true);
    raise();
    if (!m_host)
        activateWindow();
    if (m_style == AlertViewStyle::PlainTextInput)
        m_textField->setFocus(Qt::PopupFocusReason);
    else
        setFocus(Qt::PopupFocusReason);
}

void AlertView::dismiss()
{
    if (m_dismissed)
        return;
    m_dismissed = true;
    shownAlerts().removeAll(this);
    if (m_host)
        m_host->removeEventFilter(this);
    const bool hadFocus = isAncestorOf(QApplication::focusWidget()) || hasFocus();
    QWidget::setVisible(false);
    if (hadFocus || !QApplication::focusWidget())
        restoreFocus();
    deleteLater();
}

void AlertView::restoreFocus()
{
    const QList<AlertView *> &alerts = shownAlerts();
    for (auto it = alerts.crbegin(); it != alerts.crend(); ++it) {
        AlertView *other = *it;
        if (other->m_host == m_host && other->isVisible()) {
            if (other->m_style == AlertViewStyle::PlainTextInput)
                other->m_textField->setFocus(Qt::PopupFocusReason);
            else
                other->setFocus(Qt::PopupFocusReason);
            return;
        }
    }
    if (m_previousFocus && m_previousFocus->isVisible())
        m_previousFocus->setFocus(Qt::PopupFocusReason);
}

void AlertView::updateLabels()
{
    m_titleLabel->setText(m_title);
    m_titleLabel->setVisible(!isBlank(m_title));
    m_messageLabel->setText(m_message);
    m_messageLabel->setVisible(!isBlank(m_message));
    if (!m_host && m_presented)
        setWindowTitle(isBlank(m_title) ? QGuiApplication::applicationDisplayName()
                                        : m_title.trimmed());
    relayout();
}

void AlertView::rebuildButtonArea()
{
    delete m_buttonArea->layout();
    auto grid = new QGridLayout(m_buttonArea);
    // The one-pixel gaps show the separator lines painted under the buttons.
    grid->setContentsMargins(0, 1, 0, 0);
    grid->setSpacing(1);
    const int count = int(m_buttons.size());
    if (count == 2) {
        for (int i = 0; i < 2; ++i) {
            styleButton(m_buttons.at(i), i == m_cancelButtonIndex, i == 0 ? "left" : "right");
            grid->addWidget(m_buttons.at(i), 0, i);
        }
    } else {
        // Stacked, with the cancel button at the bottom as the tablet shows it.
        QList<int> order;
        for (int i = 0; i < count; ++i) {
            if (i != m_cancelButtonIndex)
                order.append(i);
        }
        if (m_cancelButtonIndex >= 0)
            order.append(m_cancelButtonIndex);
        for (int row = 0; row < order.size(); ++row) {
            const int i = order.at(row);
            const bool last = row == order.size() - 1;
            styleButton(m_buttons.at(i), i == m_cancelButtonIndex && count > 1,
                        last ? "both" : "none");
            grid->addWidget(m_buttons.at(i), row, 0);
        }
    }
    m_buttonArea->setVisible(count > 0);
    relayout();
}

void AlertView::relayout()
{
    if (!m_presented || m_dismissed)
        return;
    QLayout *layout = m_card->layout();
    layout->activate();
    const int available = m_host ? m_host->width() - 2 * hostMargin : cardWidth;
    const int width = std::max(160, std::min(cardWidth, available));
    int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                             : layout->totalSizeHint().height();
    height = std::max(height, layout->totalMinimumSize().height());
    if (m_host) {
        setGeometry(m_host->rect());
        height = std::min(height, std::max(80, m_host->height() - 2 * hostMargin));
        // A little above the centre, where the eye expects a dialog.
        const int y = std::max(hostMargin / 2, (this->height() - height) / 2 - this->height() / 25);
        m_card->setGeometry((this->width() - width) / 2, y, width, height);
    } else {
        m_card->setGeometry(0, 0, width, height);
        setFixedSize(width, height);
    }
    update();
}

bool AlertView::dimsHost() const
{
    if (!m_host)
        return false;
    for (const AlertView *alert : shownAlerts()) {
        if (alert == this)
            return true;
        if (alert->m_host == m_host && alert->isVisible())
            return false;
    }
    return true;
}

QPainterPath AlertView::cardShape() const
{
    QPainterPath path;
    path.addRoundedRect(QRectF(m_card->geometry()), cardRadius, cardRadius);
    return path;
}

void AlertView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    if (m_host) {
        // Stacked alerts share one dimming, the lowest one's.
        if (dimsHost())
            p.fillRect(rect(), Theme::colour(Theme::Colour::AlertDim));
        shape = cardShape();
        m_shadow.paint(&p, shape);
    } else {
        shape.addRect(QRectF(rect()));
    }
    p.fillPath(shape, Qt::white);

    p.setClipPath(shape);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const QPushButton *button : std::as_const(m_buttons)) {
        const QRect r(button->mapTo(this, QPoint(0, 0)), button->size());
        p.fillRect(QRect(r.left() - 1, r.top() - 1, r.width() + 1, 1),
                   Theme::colour(Theme::Colour::AlertSeparator));
        if (r.left() > m_card->geometry().left() + 1)
            p.fillRect(QRect(r.left() - 1, r.top() - 1, 1, r.height() + 1),
                       Theme::colour(Theme::Colour::AlertSeparator));
    }
}

void AlertView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        if (m_cancelButtonIndex >= 0)
            pressButton(m_cancelButtonIndex);
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter answers only an alert whose answer is unambiguous: its only button, or in a text
        // prompt the first button that confirms (cancelling a prompt takes Escape).
        if (m_buttons.size() == 1) {
            pressButton(0);
        } else if (m_style == AlertViewStyle::PlainTextInput && !m_buttons.isEmpty()) {
            pressButton(m_cancelButtonIndex == 0 ? 1 : 0);
        }
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

// The dimming layer keeps the mouse away from the screen under it.
void AlertView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void AlertView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void AlertView::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}

void AlertView::wheelEvent(QWheelEvent *event)
{
    event->accept();
}

void AlertView::closeEvent(QCloseEvent *event)
{
    if (m_dismissed) {
        event->accept();
        return;
    }
    // Closing the alert's own window counts as its cancel button; without one it stays.
    event->ignore();
    if (m_cancelButtonIndex >= 0)
        pressButton(m_cancelButtonIndex);
}

bool AlertView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_host && event->type() == QEvent::Resize)
        relayout();
    return QWidget::eventFilter(watched, event);
}

bool AlertView::focusNextPrevChild(bool next)
{
    // Tab cycles through the alert's own controls only.
    QList<QWidget *> chain;
    for (QWidget *w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (isAncestorOf(w) && w->isVisibleTo(this) && w->isEnabled()
            && (w->focusPolicy() & Qt::TabFocus))
            chain.append(w);
    }
    if (chain.isEmpty())
        return true;
    const qsizetype at = chain.indexOf(QApplication::focusWidget());
    qsizetype target = 0;
    if (at >= 0)
        target = (at + (next ? 1 : chain.size() - 1)) % chain.size();
    else if (!next)
        target = chain.size() - 1;
    chain.at(target)->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}
