#pragma once

#include <QRect>
#include <QWidget>

// The heading strip of a home-screen panel. It holds whatever the home screen puts in it and
// has no behaviour of its own.
class HomeHeader final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HomeHeader)

public:
    explicit HomeHeader(const QRect &frame = QRect(), QWidget *parent = nullptr);
};
