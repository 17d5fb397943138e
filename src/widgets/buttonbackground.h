#pragma once

#include "widgets/stretchableimage.h"

#include <QObject>

class QAbstractButton;

// Gives a button a background image in place of its style's panel, as a custom-drawn button
// has: the image is stretched over the whole button (darkened while the button is held
// down) and the button's own title and icon are drawn on top by its style. The helper lives as a
// child of the button and paints from an event filter, so any QAbstractButton can carry one.
class ButtonBackground final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ButtonBackground)

public:
    static void setBackgroundImage(QAbstractButton *button, const StretchableImage &image);
    // Back to the style's own look.
    static void clearBackgroundImage(QAbstractButton *button);
    // The image set on the button, null when it has none.
    static StretchableImage backgroundImage(const QAbstractButton *button);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit ButtonBackground(QAbstractButton *button);
    static ButtonBackground *find(const QAbstractButton *button);
    void paint(QAbstractButton *button) const;

    StretchableImage m_image;
};
