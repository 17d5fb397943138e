#pragma once

#include <QWidget>

// The white card behind a listing tile's header and photos: rounded corners that let the
// grid's background show between tiles, a faintly tinted header band closed by a hairline, and a
// slightly darker bottom edge, so stacked tiles read as separate cards.
class TileCard final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TileCard)

public:
    static constexpr qreal cornerRadius = 6;

    explicit TileCard(QWidget *parent = nullptr);
    ~TileCard() override;

    // Where the header band ends; 0: no band.
    int headerHeight() const { return m_headerHeight; }
    void setHeaderHeight(int height);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_headerHeight = 0;
};
