#pragma once

class QObject;
class QWidget;

// Small integer tags on widgets and other objects. Alerts, buttons and subviews carry bits of
// interface state in them, and a view is found again by its tag. An untagged object reads 0.
void setViewTag(QObject *object, int tag);
int viewTag(const QObject *object);

// The first widget carrying tag: root itself first, then its descendants depth first, children
// in their order. Null when none does.
QWidget *viewWithTag(QWidget *root, int tag);
