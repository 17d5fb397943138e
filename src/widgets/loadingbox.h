#pragma once

class ActivityIndicatorView;
class QWidget;
class RoundedRectView;

// The "Loading" box: a dark translucent square with rounded corners, the word "Loading" above a
// large white spinner. The big activity indicator shows one on black, the browser screen over the
// page that is loading.
namespace LoadingBox {

inline constexpr int size = 120;

// A spinning box of size by size points at (0, 0) in parent. spinner, when given, becomes its
// spinner; otherwise a new one is made.
RoundedRectView *create(QWidget *parent, ActivityIndicatorView *spinner = nullptr);

} // namespace LoadingBox
