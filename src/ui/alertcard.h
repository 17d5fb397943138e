#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// The white card of an alert: its title and message, custom content and the text field of a
// prompt, over its buttons, side by side when there are two and stacked otherwise (the cancel
// button at the bottom). The alert around it presents it and answers its buttons.
class AlertCard final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AlertCard)

public:
    static constexpr int cardWidth = 300;
    static constexpr int cornerRadius = 12;

    explicit AlertCard(QWidget *parent = nullptr);
    ~AlertCard() override;

    // Shown as plain text; blank ones take no room.
    void setTexts(const QString &title, const QString &message);
    void setTextFieldShown(bool shown);
    QLineEdit *textField() const { return m_textField; }

    int addButton(const QString &title);
    int buttonCount() const { return int(m_buttons.size()); }
    // Null for an index out of range.
    QString buttonTitle(int index) const;
    QPushButton *button(int index) const;
    const QList<QPushButton *> &buttons() const { return m_buttons; }
    // -1: none.
    int cancelButtonIndex() const { return m_cancelButtonIndex; }
    void setCancelButtonIndex(int index);

    // Laid out under the message, centred, at the size it was given (or its preferred size).
    void addSubview(QWidget *view);

signals:
    void buttonPressed(int index);
    // What the card holds changed: its size may too.
    void contentChanged();

private:
    void rebuildButtonArea();

    QLabel *m_titleLabel = nullptr;
    QLabel *m_messageLabel = nullptr;
    QWidget *m_customArea = nullptr;
    QVBoxLayout *m_customLayout = nullptr;
    QLineEdit *m_textField = nullptr;
    QWidget *m_buttonArea = nullptr;
    QStringList m_buttonTitles;
    QList<QPushButton *> m_buttons;
    int m_cancelButtonIndex = -1;
};
