#pragma once
// What the viewer owns and the other windows read: the unit, the azimuth
// under the pointer, the read-out captions, the kept map's flag and the
// rotator program's path.
#include <QString>

#include "geo/geo.h"
#include "rotator/launcher.h"

namespace korvalen::viewer {

struct ViewerState {
    /// Kilometres per displayed unit: exactly KilometreFactor or
    /// StatuteMileFactor.
    geo::Real UnitFactor = geo::KilometreFactor;
    /// The short-path bearing under the pointer, whole degrees as plain
    /// digits; empty outside the disc and before the first move over it.
    QString PendingAzimuth;
    /// The captions inside the read-outs; empty until a language is applied.
    QString AzimuthCaption;
    QString RangeCaption;
    /// The map kept from the previous run was loaded at start and not yet
    /// brought up.
    bool SavedMapLoaded = false;
    /// The rotator program's path (from the settings at start, back to them
    /// at exit) and whether a start of it waits for the path panel.
    rotator::LaunchState Tornavel;
};

}  // namespace korvalen::viewer
