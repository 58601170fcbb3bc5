#pragma once
// The map generator window: the built-in world map under the pointer, the
// choice of the map centre by click, typed locator or command line, and the
// generation of the azimuthal map that the viewer then shows.
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <memory>

#include "generator/generator_state.h"
#include "generator/map_display.h"
#include "generator/projection.h"
#include "languages/languages.h"
#include "rotator/azimuth_link.h"
#include "widgets/image_widget.h"

namespace korvalen::generator {

class TFormCarte : public QMainWindow {
    Q_OBJECT
public:
    /// The window with its components. @p link is read by the close guard;
    /// @p language is the program's language state, which this window's
    /// language routine sets. Both must outlive the window.
    TFormCarte(const rotator::AzimuthLink& link, languages::LanguageState& language);

    // Components, by the names the rest of the program and the tests use.
    widgets::ImageWidget* const ImageMercator;
    widgets::ImageWidget* const ImageORLAK;
    QLabel* const StaticText1;
    QLabel* const Label2;
    QLineEdit* const EditQRA;
    QPushButton* const BitBtn1;
    QLabel* const StaticTextPos;
    QProgressBar* const ProgressBarCalcul;
    QTimer* const TimerFinImage;
    QAction* const Menuquitter;
    QAction* const MenuVoir;
    QMenu* const MenuLangue;
    QAction* const MenuEnglish;
    QAction* const MenuFrancais;
    QAction* const MenuEspagnol;
    QAction* const MenuInfo;
    QAction* const MenuAide;

    /// The centre and the flags, read by the other windows.
    const GeneratorState& State() const { return state_; }

    /// The window that shows the maps; set once, before the first event.
    void SetMapDisplay(MapDisplaySource display) { display_ = std::move(display); }

    /// The centre of the kept map, as the settings file gives it at start.
    void RestoreCentre(const QString& centreText, const geo::LatLong& centre);
    /// The command-line locator (@p arguments without the program name):
    /// when the first argument is a locator, it becomes the pending centre.
    void CheckCommandLineLocator(const QStringList& arguments);

    /// Back from the viewer for a new centre: this window shown with the
    /// bar at 0 and the locator box empty.
    void ReturnFromViewer();
    /// The current map was saved: closing need not ask about it.
    void MapSaved() { state_.MapUnsaved = false; }

    /// The generation, as a click with @p button at world pixel (x, y) asks.
    void GenerateAzimuthalMap(Qt::MouseButton button, int x, int y);
    /// The language routine behind the language menu: @p language becomes
    /// the program's language and this window's texts follow.
    /// The viewer follows too, unless @p fromSettingsFile: the language read
    /// at start comes before the viewer exists.
    void ApplyGeneratorLanguage(languages::Language language, bool fromSettingsFile = false);
    /// The language whose item carries the check mark (English from the
    /// start): what the settings file records.
    languages::Language TickedLanguage() const;
    /// The language menu's item of @p language.
    QAction* LanguageItem(languages::Language language) const;

    // Event handlers.
    void ImageMercatorMouseMove(int x, int y);
    void ImageORLAKMouseMove(int x, int y);
    void ImageMercatorMouseUp(Qt::MouseButton button, int x, int y);
    void BitBtn1Click();
    void MenuVoirClick();
    void MenuquitterClick();
    void MenuAideClick();
    void MenuEnglishClick();
    void MenuFrancaisClick();
    void MenuEspagnolClick();
    void FormActivate();
    void TimerFinImageTimer();

    /// How many generations ran in this window's life.
    int GenerationCount() const { return generationCount_; }

signals:
    /// Info menu: the information window is wanted.
    void InfoRequested();
    /// A language was chosen here; the viewer takes it too.
    void ViewerLanguageRequested();
    /// The close was accepted: the settings are to be written and the
    /// program ended.
    void ProgramEndRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormPaint();
    /// Brings up the map kept from the previous run, loaded at start.
    void ShowKeptMap();
    /// Shows the viewer and leaves the screen to it.
    void HandOverToViewer();
    /// The centre chosen from a locator; the next generation uses it.
    void SetLocatorCentre(const geo::LatLong& centre);

    const rotator::AzimuthLink& link_;
    languages::LanguageState& language_;
    MapDisplaySource display_;
    GeneratorState state_;
    /// The viewer was brought up at start; the next activation of this
    /// window hands the focus to it.
    bool returnToViewer_ = false;
    /// Made at the first generation: its buffers are large, and the window
    /// must come up without waiting for them.
    std::unique_ptr<AzimuthalProjector> projector_;
    int generationCount_ = 0;
};

}  // namespace korvalen::generator
