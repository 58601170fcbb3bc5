#include "viewer/window_geometry.h"

#include <algorithm>

namespace korvalen::viewer {

namespace {

// How much of the top edge must lie on a screen for the window to be taken
// with the pointer: a good handful of pixels of its title bar.
constexpr int kGraspableWidth = 100;
constexpr int kTopEdgeHeight = 20;

bool TopEdgeOnAScreen(const QRect& window, const QList<QRect>& screens) {
    const QRect edge(window.left(), window.top(), window.width(), kTopEdgeHeight);
    const int needed = std::min(kGraspableWidth, window.width());
    for (const QRect& screen : screens) {
        const QRect on = edge.intersected(screen);
        if (on.width() >= needed && on.top() == window.top()) return true;
    }
    return false;
}

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

}  // namespace

QRect ReachableGeometry(const QRect& requested, const QList<QRect>& screens) {
    if (screens.isEmpty()) return requested;
    QRect window = requested;
    if (window.width() < kSmallestUsableViewer.width()) window.setWidth(kSmallestUsableViewer.width());
    if (window.height() < kSmallestUsableViewer.height()) window.setHeight(kSmallestUsableViewer.height());
    if (TopEdgeOnAScreen(window, screens)) return window;

    const QRect& screen = screens.front();
    window.setWidth(std::min(window.width(), screen.width()));
    window.setHeight(std::min(window.height(), screen.height()));
    window.moveTo(Clamp(window.left(), screen.left(), screen.right() - window.width() + 1),
                  Clamp(window.top(), screen.top(), screen.bottom() - window.height() + 1));
    return window;
}

}  // namespace korvalen::viewer
