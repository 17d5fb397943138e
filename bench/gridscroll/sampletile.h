#pragma once

#include "ui/collectionviewcell.h"

// A stand-in for a listing tile: a white card with a title and grey photo blocks in two
// columns, painted in full at every paint event.
class SampleTile final : public CollectionViewCell
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SampleTile)

public:
    explicit SampleTile(QWidget *parent = nullptr);
    ~SampleTile() override;

    void setItem(int item);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_item = -1;
};
