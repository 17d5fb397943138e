#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// A row that shows the number of favorites beside a button that opens them.
class FavoritesCell final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FavoritesCell)

public:
    explicit FavoritesCell(QWidget *parent = nullptr);

    QPushButton *btnFavorites() const { return button; }
    QLabel *lblFavoritesNumber() const { return label; }

private:
    QPushButton *button = nullptr;
    QLabel *label = nullptr;
};
