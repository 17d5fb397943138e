#pragma once

#include <QLineEdit>

class QPushButton;
class QToolButton;

// The browser screen's address field, with the back and forward buttons at its two ends and a
// button that clears it beside the forward one, all inside the field's frame. The text runs
// between them.
class AddressField final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddressField)

public:
    explicit AddressField(QWidget *parent = nullptr);
    ~AddressField() override;

    QPushButton *backButton() const { return m_back; }
    QPushButton *forwardButton() const { return m_forward; }
    QToolButton *clearButton() const { return m_clear; }

    // Back at the field's left end, forward at its right end, clear just left of forward.
    void alignButtons();
    // Shows the address of the page now loaded, unless the user is typing one: an address they
    // have begun to edit stays, and one selected whole (Ctrl+L) stays selected, so that what they
    // type replaces it.
    void showAddress(const QString &address);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPushButton *m_back = nullptr;
    QPushButton *m_forward = nullptr;
    QToolButton *m_clear = nullptr;
};
