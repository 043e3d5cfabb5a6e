// The zoom grid of the preview: 25 % steps placed so that the zoom label (zoom + 7, whole
// part) reads 50 %, 75 %, 100 % ... 250 %.
#pragma once

#include <cmath>
#include <string>

namespace qor::preview {

// Grid values run 25 k - 6.25: 43.75 ("50 %"), 68.75, 93.75 ("100 %"), ... 243.75 ("250 %").
inline constexpr double kZoomGridOffset = 6.25;
inline constexpr double kZoomStep = 25.0;
inline constexpr double kZoomInLimit = 240.0;    // zoom in allowed below this zoom
inline constexpr double kZoomOutLimit = 56.0;    // zoom out allowed above this zoom
inline constexpr double kZoomOutToWholePage = 50.0;  // at or below it, zoom out shows the page
// A zoom just off 100 %: setting it and then 100 % again makes the view re-centre the page.
inline constexpr double kZoomNudge = 95.0;

// Rounds half to even, as the runtime's CLng does.
inline long long RoundHalfEven(double value) {
    const double r = std::nearbyint(value);   // default rounding mode: to nearest, ties to even
    return static_cast<long long>(r);
}

// The grid index k of `zoom`: (zoom + 6.25 rounded half to even) integer-divided by 25.
inline long long ZoomGridIndex(double zoom) {
    return RoundHalfEven(zoom + kZoomGridOffset) / static_cast<long long>(kZoomStep);
}

// The zoom one step up from `zoom` on the grid (37.17 -> 43.75, 93.75 -> 118.75).
inline double ZoomInStep(double zoom) {
    return kZoomStep * static_cast<double>(ZoomGridIndex(zoom)) - kZoomGridOffset + kZoomStep;
}

// The zoom one step down from `zoom` on the grid (93.75 -> 68.75, 68.75 -> 43.75).
inline double ZoomOutStep(double zoom) {
    return kZoomStep * static_cast<double>(ZoomGridIndex(zoom)) - kZoomGridOffset - kZoomStep;
}

// Text of the zoom label for a percentage view: the whole part of zoom + 7 and " %".
inline std::string ZoomLabel(double zoom) {
    return std::to_string(static_cast<long long>(std::floor(zoom + 7.0))) + " %";
}

}  // namespace qor::preview
