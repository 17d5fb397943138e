#include "widgets/bigactivityindicator.h"

#include "widgets/loadingbox.h"
#include "widgets/roundedrectview.h"

#include <QLoggingCategory>
#include <QPalette>

Q_LOGGING_CATEGORY(lcBigActivityIndicator, "listoro.widgets.bigactivityindicator", QtInfoMsg)

BigActivityIndicator::BigActivityIndicator(QWidget *parent)
    : QWidget(parent)
{
}

BigActivityIndicator::BigActivityIndicator(const QRect &frame, QWidget *parent)
    : QWidget(parent)
{
    setGeometry(frame);
    initCode();
}

void BigActivityIndicator::setIndicator(ActivityIndicatorView *indicator)
{
    if (indicator && !indicator->parent())
        indicator->setParent(this);
    m_indicator = indicator;
}

void BigActivityIndicator::initCode()
{
    if (!m_indicator)
        m_indicator = new ActivityIndicatorView(ActivityIndicatorView::Style::WhiteLarge, this);
    const RoundedRectView *box = LoadingBox::create(this, m_indicator);

    setAutoFillBackground(true);
    QPalette viewPalette = palette();
    viewPalette.setColor(QPalette::Window, Qt::black);
    setPalette(viewPalette);
    qCDebug(lcBigActivityIndicator)
        << "built in" << geometry() << "with its box at" << box->geometry();
}
