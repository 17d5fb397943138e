#pragma once

#include "ui/dropshadow.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class AlertCard;
class AlertViewDelegate;
class QAbstractButton;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// A non-modal alert: a card with a title, a message, optional custom content or a text field,
// and buttons by index, over a dimming layer that covers the current navigation controller (or
// in a window of its own when there is none). It never runs an event loop of its own. A button
// press tells the delegate once and then dismisses the alert; a dismissed alert deletes itself
// after the current event.
class AlertView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AlertView)

public:
    enum class AlertViewStyle { Default, PlainTextInput };
    Q_ENUM(AlertViewStyle)

    explicit AlertView(QWidget *parent = nullptr);
    // A null cancelButtonTitle means no cancel button; otherwise it is button 0 and the other
    // buttons follow it.
    AlertView(const QString &title, const QString &message, AlertViewDelegate *delegate,
              const QString &cancelButtonTitle, const QStringList &otherButtonTitles,
              QWidget *parent = nullptr);
    ~AlertView() override;

    // A question answered "Yes" (button 0) or "No" (button 1, which Escape presses), with its
    // answer told to delegate under tag. Not shown yet.
    static AlertView *confirmation(const QString &title, const QString &message, int tag,
                                   AlertViewDelegate *delegate, QWidget *parent);

    int tag() const;
    void setTag(int tag);
    QString title() const { return m_title; }
    void setTitle(const QString &title);
    QString message() const { return m_message; }
    void setMessage(const QString &message);
    // Null once a delegate that is a QObject has been destroyed.
    AlertViewDelegate *delegate() const;
    void setDelegate(AlertViewDelegate *delegate);

    AlertViewStyle alertViewStyle() const { return m_style; }
    void setAlertViewStyle(AlertViewStyle style);
    // The text field of the plain-text-input style (index 0), else null.
    QLineEdit *textFieldAtIndex(int index) const;

    int addButtonWithTitle(const QString &title);
    int numberOfButtons() const;
    // Null for an index out of range.
    QString buttonTitleAtIndex(int index) const;
    QAbstractButton *buttonAtIndex(int index) const;
    // -1 when there is no cancel button.
    int cancelButtonIndex() const;
    void setCancelButtonIndex(int index);

    // Custom content, laid out under the message in the order added, centred, at the size it
    // was given (or its preferred size). The alert takes the widget.
    void addSubview(QWidget *view);
    QWidget *viewWithTag(int tag);

    // show() presents the alert once; after a dismissal it does nothing.
    void setVisible(bool visible) override;
    // Dismisses the alert without telling the delegate.
    void dismissWithClickedButtonIndex(int buttonIndex, bool animated);

    // Alerts shown and not yet dismissed, the newest last.
    static QList<AlertView *> visibleAlerts();

signals:
    void clickedButtonAtIndex(int buttonIndex);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void buildCard();
    void pressButton(int index);
    void present();
    void dismiss();
    void restoreFocus();
    void updateLabels();
    void relayout();
    bool dimsHost() const;
    QPainterPath cardShape() const;

    QString m_title;
    QString m_message;
    AlertViewDelegate *m_delegate = nullptr;
    QPointer<QObject> m_delegateObject;
    bool m_delegateTracked = false;
    AlertViewStyle m_style = AlertViewStyle::Default;
    AlertCard *m_card = nullptr;

    QPointer<QWidget> m_host;
    QPointer<QWidget> m_previousFocus;
    bool m_presented = false;
    bool m_answered = false;
    bool m_dismissed = false;
    DropShadow m_shadow;
};
