#pragma once

#include <QString>

class QLabel;
class QWidget;

// Text from web pages, rule documents and the user's stores is data. The widgets that would
// read it as something else (labels and tool tips take markup, buttons take '&' as a shortcut
// marker, window titles take "[*]" as a placeholder) are given it in a form they show literally,
// so a title can neither load a local file through an image tag nor change what is shown.
namespace UntrustedText {

// Makes label show its text as it is, tags and entities included.
void makePlain(QLabel *label);

// Tool tips longer than this are cut: the tip is drawn whole, word-wrapped, on hover.
constexpr int toolTipLimit = 1000;

// A tool tip that shows text literally. Qt guesses whether a tip is markup, so the text is
// escaped inside markup of our own. Empty text gives an empty tip (none is shown).
QString toolTip(const QString &text);
void setToolTip(QWidget *widget, const QString &text);

// Button text that shows every '&' rather than underlining the next letter.
QString buttonText(const QString &text);

// Window title text that shows "[*]" rather than the modified marker.
QString windowTitle(const QString &text);

} // namespace UntrustedText
