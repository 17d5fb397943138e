#pragma once

class QWidget;

// A view's alpha: how opaque the view and everything in it are drawn, from 0 to 1. Widgets have
// no alpha of their own, so anything below 1 is an opacity effect on the view.
void setViewAlpha(QWidget *view, double alpha);
double viewAlpha(const QWidget *view);
