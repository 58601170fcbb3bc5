#pragma once
// What the map generator owns and the other windows read: the centre of the
// current map and the generator's flags.
#include <QString>

#include "geo/geo.h"

namespace korvalen::generator {

struct GeneratorState {
    /// Centre of the current map, degrees; 0, 0 until a centre is chosen or
    /// the settings file restores the kept map's.
    geo::Real CentreLatitude = 0;
    geo::Real CentreLongitude = 0;
    /// The centre in text form (LatLongToText); empty until then.
    QString CentreText;
    /// A generation is running.
    bool GenerationBusy = false;
    /// The centre came from a locator (typed or on the command line): the
    /// next generation uses it instead of a click position.
    bool LocatorPending = false;
    /// A map was generated and not saved since.
    bool MapUnsaved = false;
};

}  // namespace korvalen::generator
