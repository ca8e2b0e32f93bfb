// Where a window goes on the screen beside another.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

// The top-left corner for a window of `size` (frame included) next to `owner` (its frame),
// within `available`: right of the owner where that fits, else left of it, top edges level
// as far as the screen allows; nothing where it fits on neither side.
std::optional<QPoint> PlaceBeside(const QRect& owner, const QSize& size, const QRect& available);
