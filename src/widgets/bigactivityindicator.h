#pragma once

#include "ui/activityindicatorview.h"

#include <QPointer>
#include <QWidget>

// A "Loading" box: a dark rounded square with the word "Loading" above a large white spinner,
// in the top left corner of a black view. Only the constructor that takes a frame builds the
// box; a default-constructed indicator is an empty black view until initCode() runs.
class BigActivityIndicator final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BigActivityIndicator)

public:
    explicit BigActivityIndicator(QWidget *parent = nullptr);
    explicit BigActivityIndicator(const QRect &frame, QWidget *parent = nullptr);

    // Builds the box, its label and its spinner (creating the spinner unless one was set), and
    // starts the spinner.
    void initCode();

    ActivityIndicatorView *indicator() const { return m_indicator; }
    // An indicator without a parent becomes a child of this view, which then owns it.
    void setIndicator(ActivityIndicatorView *indicator);

private:
    QPointer<ActivityIndicatorView> m_indicator;
};
