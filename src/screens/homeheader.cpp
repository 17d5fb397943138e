#include "screens/homeheader.h"

HomeHeader::HomeHeader(const QRect &frame, QWidget *parent)
    : QWidget(parent)
{
    if (frame.isValid())
        setGeometry(frame);
}
