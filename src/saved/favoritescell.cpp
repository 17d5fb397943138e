#include "saved/favoritescell.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

FavoritesCell::FavoritesCell(QWidget *parent)
    : QWidget(parent)
    , button(new QPushButton(tr("Favorites"), this))
    , label(new QLabel(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 6, 14, 6);
    layout->addWidget(button);
    layout->addWidget(label, 1);
}
