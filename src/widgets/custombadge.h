#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class QFont;
class QPaintDevice;
class QPainter;
class QPainterPath;

// A self-sizing badge: a filled capsule with a drop shadow, an optional glossy top, an optional
// rim and a short centred text, usually a count. It draws itself on a transparent background.
// Changing a property neither resizes nor redraws it; autoBadgeSizeWithString() does both.
class CustomBadge final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CustomBadge)

public:
    // White text on red with a white rim, corner roundness 0.4.
    CustomBadge(const QString &badgeString, float scale, bool shining, QWidget *parent = nullptr);
    CustomBadge(const QString &badgeString, const QColor &stringColor, const QColor &insetColor,
                bool badgeFrameYesNo, const QColor &frameColor, float scale, bool shining,
                QWidget *parent = nullptr);

    // Scale 1.0, shining.
    static CustomBadge *customBadgeWithString(const QString &badgeString,
                                              QWidget *parent = nullptr);
    static CustomBadge *customBadgeWithString(const QString &badgeString, const QColor &stringColor,
                                              const QColor &insetColor, bool badgeFrameYesNo,
                                              const QColor &frameColor, float scale, bool shining,
                                              QWidget *parent = nullptr);

    QString badgeText() const { return m_badgeText; }
    void setBadgeText(const QString &text) { m_badgeText = text; }
    QColor badgeTextColor() const { return m_badgeTextColor; }
    void setBadgeTextColor(const QColor &color) { m_badgeTextColor = color; }
    QColor badgeInsetColor() const { return m_badgeInsetColor; }
    void setBadgeInsetColor(const QColor &color) { m_badgeInsetColor = color; }
    bool badgeFrame() const { return m_badgeFrame; }
    void setBadgeFrame(bool frame) { m_badgeFrame = frame; }
    QColor badgeFrameColor() const { return m_badgeFrameColor; }
    void setBadgeFrameColor(const QColor &color) { m_badgeFrameColor = color; }
    bool badgeShining() const { return m_badgeShining; }
    void setBadgeShining(bool shining) { m_badgeShining = shining; }
    // Corner radius as a fraction of the badge's height.
    float badgeCornerRoundness() const { return m_badgeCornerRoundness; }
    void setBadgeCornerRoundness(float roundness) { m_badgeCornerRoundness = roundness; }
    // Scales the size, the font and the rim.
    float badgeScaleFactor() const { return m_badgeScaleFactor; }
    void setBadgeScaleFactor(float scale) { m_badgeScaleFactor = scale; }

    // Pixels per point of the offscreen shadow: the screen's device pixel ratio.
    qreal contentScaleFactor() const { return m_contentScaleFactor; }
    void setContentScaleFactor(qreal scale) { m_contentScaleFactor = scale; }

    // Sets the text and a size that fits it (keeping the position), and schedules a redraw.
    void autoBadgeSizeWithString(const QString &badgeString);

    // The drawing steps, each into the painter for the given badge rectangle.
    void drawRoundedRectWithContext(QPainter &context, const QRectF &rect) const;
    void drawShineWithContext(QPainter &context, const QRectF &rect) const;
    void drawFrameWithContext(QPainter &context, const QRectF &rect) const;

    // The single-line size of text in font, rounded up to whole pixels; a null text is 0 by 0.
    static QSizeF sizeWithFont(const QString &text, const QFont &font, const QPaintDevice *device);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPainterPath capsulePath(const QRectF &rect) const;
    void drawText(QPainter &context, const QRectF &rect) const;

    QString m_badgeText;
    QColor m_badgeTextColor;
    QColor m_badgeInsetColor;
    bool m_badgeFrame = true;
    QColor m_badgeFrameColor;
    bool m_badgeShining = true;
    float m_badgeCornerRoundness = 0.4f;
    float m_badgeScaleFactor = 1.0f;
    qreal m_contentScaleFactor = 1.0;
};
