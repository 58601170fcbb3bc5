#pragma once
// The viewer: the azimuthal map with the bearing and range of the point
// under the pointer, short and long path, the unit, the overlays, the clock,
// the return to the generator and the closing of the program.
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QScrollArea>
#include <QTimer>

#include <QDateTime>

#include <functional>
#include <memory>

#include "generator/image_widget.h"

namespace korvalen {

namespace viewer {
class MapSurface;
}

class TFormAzimut : public QMainWindow {
    Q_OBJECT
public:
    TFormAzimut();
    ~TFormAzimut() override;

    QScrollArea* const ScrollBoxAzimut;
    ImageWidget* const ImageAzimut;
    ImageWidget* const ImageOriginale;  ///< the blank template, never shown
    QLabel* const StaticTextAzim;
    QLabel* const LabelLP;
    QLabel* const StaticTextLP;
    QLabel* const StaticTextDate;
    QLabel* const StaticTextTime;
    QTimer* const TimerSeconde;
    QMenu* const MenuFichier;
    QAction* const MenuEnregistrer;
    QAction* const Menugenerateur;
    QAction* const MenuQuitter;
    QMenu* const MenuOptions;
    QMenu* const MenuUnit;
    QAction* const MenuUnitKM;
    QAction* const MenuUnitmile;
    QMenu* const MenuTime;
    QAction* const MenuTimeLocal;
    QAction* const MenuTimeUTC;
    QAction* const MenuAxes;
    QAction* const MenuDistances;

    // State owned here.
    double UnitFactor = 1;  ///< km per displayed unit: exactly 1 or 1.609344
    QString PendingAzimuth;
    QString AzimuthCaption;
    QString RangeCaption;
    bool SavedMapLoaded = false;
    // Values read from the settings at start, applied at every showing.
    int StartTop = 0;
    int StartLeft = 0;
    int StartHeight = 683;
    int StartWidth = 860;
    int StartHorizontalScroll = 0;
    bool StartUtc = false;

    /// The drawing surface of ImageAzimut (overlays, centre label).
    viewer::MapSurface& Surface() { return *surface_; }
    /// To be called after the map image was changed from outside.
    void MapImageChanged();

    /// Start-up preparation that needs the settings (geometry, kept map).
    void FormCreate();
    void FormShow();
    void FormActivate();
    void ImageAzimutMouseMove(int x, int y);
    void ImageAzimutClick();
    void MenuUnitKMClick();
    void MenuUnitmileClick();
    void MenugenerateurClick();
    void MenuEnregistrerClick();
    void MenuQuitterClick();
    void MenuAxesClick();
    void MenuDistancesClick();
    void MenuTimeLocalClick();
    void MenuTimeUTCClick();
    void TimerSecondeTimer();
    void StartClock();
    void StopClock();
    void DrawCentreLabel();

    /// The time source of the clock (tests fix it).
    std::function<QDateTime()> Now;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void ApplyStartGeometry();
    void SetClockMode(bool utc);

    std::unique_ptr<viewer::MapSurface> surface_;
};

}  // namespace korvalen
