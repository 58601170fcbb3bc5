#pragma once
// What the viewer owns and the other windows read: the unit, the azimuth
// under the pointer, the read-out captions and the kept map's flag.
#include <QString>

#include "geo/geo.h"

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
};

}  // namespace korvalen::viewer
