#pragma once

class AlertViewDelegate;
class QWidget;

// The question asked before a favorite is removed, from a tile or from the detail screen:
// "Yes" (0) removes it, "No" (1) keeps it.
namespace RemoveFavoriteAlert {

void show(int tag, AlertViewDelegate *delegate, QWidget *parent);

} // namespace RemoveFavoriteAlert
