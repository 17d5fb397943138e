#include "widgets/bigactivityindicator.h"

#include "widgets/roundedrectview.h"
#include "widgets/systemfont.h"

#include <QLabel>
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

    auto *box = new RoundedRectView(this);
    box->setGeometry(0, 0, 120, 120);
    box->setCornerRadius(15);
    box->setFillColor(QColor::fromRgbF(0, 0, 0, 0.6f));

    auto *label = new QLabel(QStringLiteral("Loading"), box);
    label->setGeometry(20, 25, 81, 22);
    label->setFont(SystemFont::boldSystemFontOfSize(18, label));
    QPalette labelPalette = label->palette();
    labelPalette.setColor(QPalette::WindowText, QColor::fromRgbF(1, 1, 1, 1));
    label->setPalette(labelPalette);
    label->setAutoFillBackground(false);

    m_indicator->setParent(box);
    m_indicator->setGeometry(42, 54, 37, 37);
    m_indicator->startAnimating();
    m_indicator->show();

    setAutoFillBackground(true);
    QPalette viewPalette = palette();
    viewPalette.setColor(QPalette::Window, Qt::black);
    setPalette(viewPalette);
    box->show();
    qCDebug(lcBigActivityIndicator) << "built in" << geometry();
}
