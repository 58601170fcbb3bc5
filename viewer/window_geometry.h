#pragma once
// Where the viewer comes up. The settings file gives its top, left, height
// and width; a file from another machine (a larger screen, a second screen
// since unplugged) or edited by hand can put the window where no one can
// reach it, and since the geometry is written back at exit it would stay
// there for good.
#include <QList>
#include <QRect>
#include <QSize>

namespace korvalen::viewer {

/// The smallest viewer that still shows its menu and part of the map.
inline constexpr QSize kSmallestUsableViewer{320, 240};

/// @p requested as it is when it is usable: at least kSmallestUsableViewer
/// and its top edge (where it is taken with the pointer) at least partly on
/// one of @p screens (their available areas). Otherwise the smallest change
/// that makes it so: a too small size is raised to the smallest usable one
/// (no larger than the screen), and a window off every screen is moved into
/// the first screen's area. With no screen known, @p requested is returned.
QRect ReachableGeometry(const QRect& requested, const QList<QRect>& screens);

}  // namespace korvalen::viewer
