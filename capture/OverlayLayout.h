#pragma once

#include "capture/CaptureMode.h"
#include "imaging/BitmapTypes.h"

// Where the selection overlay puts things: the information panel's corner and rectangles, the fixed
// rectangle, the size label. Pure arithmetic, shared by the overlay and its tests. Every rectangle is in
// device pixels of the desktop; the panel belongs to the monitor under the pointer and is as large as the
// desktop's scale makes its 190 x 320 units.
namespace OverlayLayout {

constexpr int kPanelWidth = 190;
constexpr int kPanelHeight = 320;
constexpr int kPickPanelHeight = 130;
constexpr int kMagnifierRadius = 15;
constexpr int kMagnifierSource = 2 * kMagnifierRadius + 1;
constexpr int kMagnifierInset = 15;
constexpr int kMagnifierSize = 160;

// A length of the panel's layout in device pixels at the given scale.
int Scaled(int units, double scale);

// The panel's corner of the monitor after the pointer reached (x, y): bottom-right when the pointer
// nears the top-left corner, top-left again when it nears the bottom-right one (that test wins). Window
// picking has a shorter panel, so its vertical threshold is its height.
bool PanelAtBottomRight(bool current, OverlayMode mode, int x, int y, const ImageRect& monitor, double scale = 1);

ImageRect PanelRect(OverlayMode mode, bool bottomRight, const ImageRect& monitor, double scale = 1);
ImageRect MagnifierRect(bool bottomRight, const ImageRect& monitor, double scale = 1);

// The rectangle of both corners, left <= right and top <= bottom.
ImageRect Normalised(int x1, int y1, int x2, int y2);

// The fixed-size rectangle centred on (x, y) without clamping: what the focus rectangle shows.
ImageRect CentredRect(int x, int y, int width, int height);
// The same, cut at the monitor's edges (it shrinks there, it does not shift): what is captured.
ImageRect ClampedFixedRect(int x, int y, int width, int height, const ImageRect& monitor);

// The part two rectangles share; empty (all zero) when they do not meet.
ImageRect Intersection(const ImageRect& a, const ImageRect& b);

struct LabelPlace {
    int x = 0;
    int y = 0;
};
// The size label centred in the selection, or just above and to the left of it when it does not fit.
LabelPlace SizeLabelPlace(const ImageRect& selection, int textWidth, int textHeight);

} // namespace OverlayLayout
