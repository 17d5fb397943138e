#pragma once

#include <QAbstractButton>

// The round add/remove button in a listing tile's header. It draws only its icon, at the
// screen's pixel density, and reacts to the pointer: lighter while hovered, darker while
// pressed, greyed when disabled (while the screen waits for the user to confirm a removal).
class FavoriteButton final : public QAbstractButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FavoriteButton)

public:
    explicit FavoriteButton(QWidget *parent = nullptr);
    ~FavoriteButton() override;

    bool isHovered() const { return m_hovered; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool m_hovered = false;
};
