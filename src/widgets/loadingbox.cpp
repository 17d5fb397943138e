#include "widgets/loadingbox.h"

#include "ui/activityindicatorview.h"
#include "widgets/roundedrectview.h"
#include "widgets/systemfont.h"

#include <QLabel>
#include <QPalette>

namespace LoadingBox {

RoundedRectView *create(QWidget *parent, ActivityIndicatorView *spinner)
{
    auto *box = new RoundedRectView(parent);
    box->setGeometry(0, 0, size, size);
    box->setCornerRadius(15);
    box->setFillColor(QColor::fromRgbF(0, 0, 0, 0.6f));

    auto *label = new QLabel(QStringLiteral("Loading"), box);
    label->setGeometry(20, 25, 81, 22);
    label->setFont(SystemFont::boldSystemFontOfSize(18, label));
    QPalette labelPalette = label->palette();
    labelPalette.setColor(QPalette::WindowText, QColor::fromRgbF(1, 1, 1, 1));
    label->setPalette(labelPalette);
    label->setAutoFillBackground(false);

    if (!spinner)
        spinner = new ActivityIndicatorView(ActivityIndicatorView::Style::WhiteLarge);
    spinner->setParent(box);
    spinner->setGeometry(42, 54, 37, 37);
    spinner->startAnimating();
    spinner->show();
    box->show();
    return box;
}

} // namespace LoadingBox
