#pragma once

#include <QPointer>
#include <QWidget>

class ParsedLink;

namespace SeenVeil {

// Dims tile with a white veil while its listing is among those the user has opened, and lifts
// the veil when it is not (forgotten, or another listing). veil holds the veil while it is up.
void follow(QWidget *tile, QPointer<QWidget> &veil, const ParsedLink *listing, qreal radius);

} // namespace SeenVeil
