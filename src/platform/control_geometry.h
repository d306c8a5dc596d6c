#pragma once
// Where a control of a window description starts, in pixels: the same rule for both backends.

#include "platform/gui.h"
#include "platform/window_description.h"

namespace korvane {

// The control's rectangle relative to its parent. `inner` is the window's client size in pixels.
// Quantities measured from an edge are computed in double precision and rounded once.
inline Rect InitialRect(const ControlDescription& control, Scale scale, Size inner) {
  if ((control.style & kStyleUnscaled) != 0) scale = Scale{};
  auto horizontal = [&](int units, bool fromRight) {
    return fromRight ? Scale::Round(inner.width + units * scale.x) : scale.ScaledX(units);
  };
  auto vertical = [&](int units, bool fromBottom) {
    return fromBottom ? Scale::Round(inner.height + units * scale.y) : scale.ScaledY(units);
  };
  return {horizontal(control.x, (control.style & kStyleXFromRight) != 0),
          vertical(control.y, (control.style & kStyleYFromBottom) != 0),
          horizontal(control.width, (control.style & kStyleWidthFromRight) != 0),
          vertical(control.height, (control.style & kStyleHeightFromBottom) != 0)};
}

}  // namespace korvane
