#pragma once
// The window that shows the maps, as the generator sees it. The generator
// draws into that window's map image and hands the screen over to it; the
// program wires the viewer in through this, so that neither window knows
// the other's class.
#include <QImage>
#include <QWidget>

#include <functional>

namespace korvalen::generator {

class MapDisplay {
public:
    /// The map image the generation draws into (ImageAzimut).
    virtual QImage& MapImage() = 0;
    /// The blank map copied under every new map (ImageOriginale).
    virtual const QImage& MapTemplate() const = 0;
    /// Tells the display that MapImage() was changed from outside.
    virtual void MapImageChanged() = 0;
    /// The display's window, shown, hidden and activated by the generator.
    virtual QWidget& Window() = 0;
    /// Whether the map kept from the previous run was loaded at start;
    /// taking the answer clears it, so the kept map is brought up once.
    virtual bool TakeSavedMapLoaded() = 0;

protected:
    ~MapDisplay() = default;
};

/// How the generator reaches the display, which is made at its first use:
/// made when the generator needs it, looked at only if made otherwise (a
/// paint or an activation of the generator must not wait for it).
struct MapDisplaySource {
    std::function<MapDisplay&()> get;
    std::function<MapDisplay*()> ifMade;
};

}  // namespace korvalen::generator
