#pragma once
// The viewer: the azimuthal map with the bearing and range of the point
// under the pointer, short and long path, the unit, the overlays, the clock,
// the return to the generator and the closing of the program, composed with
// the DX panel beside the map and the rotator program's path panel over it.
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

#include "dx/dx_panel_widget.h"
#include "generator/generator_state.h"
#include "generator/map_display.h"
#include "languages/languages.h"
#include "rotator/azimuth_link.h"
#include "rotator/tornavel_panel.h"
#include "settings/settings.h"
#include "viewer/map_file.h"
#include "viewer/viewer_state.h"
#include "widgets/image_widget.h"
#include "widgets/label_url.h"

namespace korvalen::viewer {

class MapSurface;

class TFormAzimut : public QMainWindow, public generator::MapDisplay {
    Q_OBJECT
public:
    /// The window with its components. It reads the generator's centre and
    /// flags, the rotator link and the language state, which must outlive it.
    TFormAzimut(const generator::GeneratorState& generator, const rotator::AzimuthLink& link,
                languages::LanguageState& language);
    ~TFormAzimut() override;

    QScrollArea* const ScrollBoxAzimut;
    widgets::ImageWidget* const ImageAzimut;
    widgets::ImageWidget* const ImageOriginale;  ///< the blank template, never shown
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
    // The DX panel beside the map and the rotator program's path panel over
    // it, with the menu items each brings; their components are reached
    // through them, under their own names.
    dx::DxPanelWidget* const PanelDX;
    rotator::TornavelPanel* const PanelTornavel;
    // The rotators driven directly (rotctld, PstRotator): their settings,
    // and their state in the status bar.
    QAction* const MenuRotators;
    QLabel* const StaticTextRotator;

    // The language menu, the help menu, and the hidden button behind which
    // the language routine is reached.
    QMenu* const MenuLangue;
    QAction* const MenuEnglish;
    QAction* const MenuFrancais;
    QAction* const MenuEspagnol;
    QMenu* const MenuHelp;
    QAction* const MenuAide;
    QAction* const menuInfo;
    QAction* const MenuInfoVersion;
    QPushButton* const ButtonLangue;

    /// The unit, the pending azimuth, the captions and the kept map's flag.
    const ViewerState& State() const { return state_; }

    /// The values read from the settings file at start: the geometry and
    /// clock mode applied at every showing, and the unit.
    void ApplyStartSettings(const settings::Settings& values);
    /// What the viewer gives the settings file at exit: its geometry, the
    /// unit, the clock mode, the DX list, the separator and the rotator
    /// program's path.
    void StoreSettings(settings::Settings& values) const;

    // The map as the generator uses it.
    QImage& MapImage() override { return ImageAzimut->image(); }
    const QImage& MapTemplate() const override { return ImageOriginale->image(); }
    void MapImageChanged() override;
    QWidget& Window() override { return *this; }
    bool TakeSavedMapLoaded() override;

    /// The drawing surface of ImageAzimut (overlays, centre label).
    MapSurface& Surface() { return *surface_; }

    /// The preparation when the window is made: puts up the kept map as
    /// CheckKeptMap found it at start (none when there was none to load or
    /// the command line carried a locator) and starts the clock; a kept map
    /// that could not be loaded skips the rest, as it was told at start.
    void FormCreate(const std::optional<KeptMap>& kept);
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

    /// The language routine: this window's texts, the shared messages it
    /// owns and the DX editors' captions follow the current language code.
    /// With no language chosen yet nothing changes.
    void ApplyViewerLanguage();
    void MenuEnglishClick();
    void MenuFrancaisClick();
    void MenuEspagnolClick();
    void MenuAideClick();

    /// The clock's time source (tests fix it).
    void SetClock(std::function<QDateTime()> now) { now_ = std::move(now); }

public slots:
    /// Shows the state of the directly driven rotators in the status bar.
    void ShowRotatorStatus(const QString& text);

signals:
    /// A bearing was picked on the map, for the rotator.
    void PublishAzimuth(const QString& azimuth);
    /// "Back to map generator": the generator is to come back for a new
    /// centre, and the DX editor is to be put away.
    void BackToGenerator();
    /// The save dialog is wanted (File menu).
    void SaveDialogRequested();
    /// The operator wants the new map kept before the program ends: the
    /// generator goes away and the save dialog ends the program when it
    /// closes.
    void SaveBeforeQuitting();
    /// The close was accepted: the settings are to be written and the
    /// program ended.
    void ProgramEndRequested();
    /// "Rotators": the settings of the directly driven rotators are wanted.
    void RotatorSettingsRequested();
    /// A language item was clicked here: the generator's item of
    /// @p language is to be clicked first, which brings the language to
    /// every window.
    void GeneratorLanguageRequested(korvalen::languages::Language language);
    /// The language routine ran: the DX editors' captions are to follow.
    void EditorLanguageRequested();
    /// "Info": the information window is wanted.
    void InfoRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void ApplyStartGeometry();
    void SetClockMode(bool utc);
    /// Shows the DX panel's read-outs.
    void ShowReadouts(const QString& shortPath, const QString& longPath);
    /// The language items' click: the generator's first, then this window.
    void LanguageItemClick(languages::Language language);

    const generator::GeneratorState& generator_;
    const rotator::AzimuthLink& link_;
    languages::LanguageState& language_;
    ViewerState state_;
    // Read from the settings at start, applied at every showing.
    int startTop_ = 0;
    int startLeft_ = 0;
    int startHeight_ = settings::DefaultViewerHeight;
    int startWidth_ = settings::DefaultViewerWidth;
    int startHorizontalScroll_ = 0;
    bool startUtc_ = false;
    std::unique_ptr<MapSurface> surface_;
    std::function<QDateTime()> now_;
};

}  // namespace korvalen::viewer
