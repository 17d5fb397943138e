#pragma once

class PanelView;
class QWidget;

// How the panels on paper are drawn: the card of the home screen's panels, a white inset panel
// with a soft shadow inside a view, and a gradient with dark top and bottom edges behind a view's
// children.
namespace PanelStyling {

// The tag of the inset panel addInnerShadow() puts inside a view.
inline constexpr int innerShadowTag = 975436;

// Corner radius 12, a rim of black at a tenth, a light gray shadow all around.
void styleCard(PanelView *panel);
// The inset panel is made once, then restyled and placed distance points inside view.
void addInnerShadow(QWidget *view, int distance, int cornerRadius);
void addGradientLayer(QWidget *view);

} // namespace PanelStyling
