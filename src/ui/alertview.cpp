#include "ui/alertview.h"

#include "ui/alertcard.h"
#include "ui/alertviewdelegate.h"
#include "ui/navigationcontroller.h"
#include "ui/theme.h"
#include "ui/untrustedtext.h"
#include "ui/viewtag.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include <algorithm>

Q_LOGGING_CATEGORY(lcAlertView, "listoro.ui.alertview")

namespace {

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
    m_card = new AlertCard(this);
    connect(m_card, &AlertCard::buttonPressed, this, &AlertView::pressButton);
    connect(m_card, &AlertCard::contentChanged, this, &AlertView::relayout);
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
    m_card->setTextFieldShown(style == AlertViewStyle::PlainTextInput);
}

QLineEdit *AlertView::textFieldAtIndex(int index) const
{
    if (index != 0 || m_style != AlertViewStyle::PlainTextInput) {
        qCWarning(lcAlertView) << "no text field at index" << index;
        return nullptr;
    }
    return m_card->textField();
}

int AlertView::addButtonWithTitle(const QString &title)
{
    return m_card->addButton(title);
}

int AlertView::numberOfButtons() const
{
    return m_card->buttonCount();
}

int AlertView::cancelButtonIndex() const
{
    return m_card->cancelButtonIndex();
}

QString AlertView::buttonTitleAtIndex(int index) const
{
    return m_card->buttonTitle(index);
}

QAbstractButton *AlertView::buttonAtIndex(int index) const
{
    return m_card->button(index);
}

void AlertView::setCancelButtonIndex(int index)
{
    m_card->setCancelButtonIndex(index);
}

void AlertView::addSubview(QWidget *view)
{
    if (view)
        m_card->addSubview(view);
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
    if (m_dismissed || m_answered || index < 0 || index >= m_card->buttonCount())
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
    // An alert raised from another one (its answer asks something more) gives the keyboard
    // back to where the first one took it from: the first one is about to go.
    for (const AlertView *other : std::as_const(shownAlerts())) {
        if (m_previousFocus && (other == m_previousFocus || other->isAncestorOf(m_previousFocus))) {
            m_previousFocus = other->m_previousFocus;
            break;
        }
    }
    m_host = NavigationController::current();
    if (m_host) {
        setParent(m_host);
        m_host->installEventFilter(this);
    } else {
        // No window to cover: the alert becomes a small window of its own.
        setParent(nullptr, Qt::Dialog);
        Theme::apply(this);
        setAttribute(Qt::WA_QuitOnClose, false);
        setWindowTitle(UntrustedText::windowTitle(
            isBlank(m_title) ? QGuiApplication::applicationDisplayName() : m_title.trimmed()));
    }
    shownAlerts().append(this);
    relayout();
    QWidget::setVisible(true);
    raise();
    if (!m_host)
        activateWindow();
    if (m_style == AlertViewStyle::PlainTextInput)
        m_card->textField()->setFocus(Qt::PopupFocusReason);
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
                other->m_card->textField()->setFocus(Qt::PopupFocusReason);
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
    m_card->setTexts(m_title, m_message);
    if (!m_host && m_presented)
        setWindowTitle(UntrustedText::windowTitle(
            isBlank(m_title) ? QGuiApplication::applicationDisplayName() : m_title.trimmed()));
}

void AlertView::relayout()
{
    if (!m_presented || m_dismissed)
        return;
    QLayout *layout = m_card->layout();
    layout->activate();
    const int available = m_host ? m_host->width() - 2 * hostMargin : AlertCard::cardWidth;
    const int width = std::max(160, std::min(AlertCard::cardWidth, available));
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
    path.addRoundedRect(QRectF(m_card->geometry()), AlertCard::cornerRadius,
                        AlertCard::cornerRadius);
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
    for (const QPushButton *button : m_card->buttons()) {
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
        if (cancelButtonIndex() >= 0)
            pressButton(cancelButtonIndex());
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter answers only an alert whose answer is unambiguous: its only button, or in a text
        // prompt the first button that confirms (cancelling a prompt takes Escape).
        if (numberOfButtons() == 1) {
            pressButton(0);
        } else if (m_style == AlertViewStyle::PlainTextInput && numberOfButtons() > 0) {
            pressButton(cancelButtonIndex() == 0 ? 1 : 0);
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
    if (cancelButtonIndex() >= 0)
        pressButton(cancelButtonIndex());
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
