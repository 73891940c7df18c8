#pragma once

#include "capture/CaptureMode.h"
#include "imaging/BitmapTypes.h"

// Where the selection overlay puts things: the information panel's corner and rectangles, the fixed
// rectangle, the size label. Pure arithmetic, shared by the overlay and its tests.
namespace OverlayLayout {

constexpr int kPanelWidth = 190;
constexpr int kPanelHeight = 320;
constexpr int kPickPanelHeight = 130;
constexpr int kMagnifierRadius = 15;
constexpr int kMagnifierSource = 2 * kMagnifierRadius + 1;
constexpr int kMagnifierSize = 160;

// The panel's corner after the pointer reached (x, y): bottom-right when the pointer nears the top-left
// corner, top-left again when it nears the bottom-right one (that test wins). Window picking has a
// shorter panel, so its vertical threshold is its height.
bool PanelAtBottomRight(bool current, OverlayMode mode, int x, int y, int screenWidth, int screenHeight);

ImageRect PanelRect(OverlayMode mode, bool bottomRight, int screenWidth, int screenHeight);
ImageRect MagnifierRect(bool bottomRight, int screenWidth, int screenHeight);

// The rectangle of both corners, left <= right and top <= bottom.
ImageRect Normalised(int x1, int y1, int x2, int y2);

// The fixed-size rectangle centred on (x, y) without clamping: what the focus rectangle shows.
ImageRect CentredRect(int x, int y, int width, int height);
// The same, cut at the screen's edges (it shrinks there, it does not shift): what is captured.
ImageRect ClampedFixedRect(int x, int y, int width, int height, int screenWidth, int screenHeight);

struct LabelPlace {
    int x = 0;
    int y = 0;
};
// The size label centred in the selection, or just above and to the left of it when it does not fit.
LabelPlace SizeLabelPlace(const ImageRect& selection, int textWidth, int textHeight);

} // namespace OverlayLayout
