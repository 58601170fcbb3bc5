#pragma once
// The viewer: the azimuthal map with the bearing and range of the point
// under the pointer, short and long path, the unit, the overlays, the clock,
// the return to the generator and the closing of the program; the start of
// the rotator program with its path panel.
#include <QDateTime>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dx/dx_row.h"
#include "generator/generator_state.h"
#include "generator/map_display.h"
#include "languages/languages.h"
#include "rotator/azimuth_link.h"
#include "settings/settings.h"
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
    // The DX panel: the working list, the call box, the UTC box and the
    // blinking marker, with the menus that choose the list and separator.
    QListWidget* const ListBoxDXW;
    QLabel* const LabelCall;
    QLineEdit* const EditCall;
    QLabel* const LabelUTC;
    QLineEdit* const EditUTC;
    widgets::ImageWidget* const ImageDX;
    widgets::ImageWidget* const ImageDX45;
    QTimer* const TimerDX;
    QAction* const MenuListeDXCC;
    QMenu* const MenuChoixListe;
    QAction* const MenuDXCCOM;
    QAction* const MenuDXCCCB;
    QMenu* const MenuSeparator;
    QAction* const SepDefault;
    QAction* const SepUnderscore;
    QAction* const SepSlash;
    QAction* const SepEqual;
    // The rotator program: its start (top of the menu bar), the path panel
    // over the map where the operator gives its executable, and the link to
    // the maker's download page.
    QAction* const MenuTornavel;
    QAction* const MenusetTornavel;
    QFrame* const PanelTornavel;
    QLabel* const LabelTornavelpath;
    QLineEdit* const EditTornavelpath;
    QPushButton* const ButtonParcourirTornavel;
    QPushButton* const ButtonOKTornavel;
    QPushButton* const ButtonAnnuler;
    QFrame* const PanelTRN;
    QLabel* const LabelTRN;
    widgets::TLabelUrl* const LabelUrlRLK;
    /// Made at the first Browse: most runs never browse, and a file dialog
    /// is costly to build. Null until then.
    QFileDialog* OpenDialogTornavel = nullptr;
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

    /// The unit, the pending azimuth, the captions, the kept map's flag and
    /// the rotator program's path.
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

    /// Start-up preparation: loads the kept map @p savedMapFile (unless the
    /// command line carried a locator) and starts the clock.
    void FormCreate(const QString& savedMapFile);
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

    // The DX panel.
    /// Rebuilds the working list from the current list and separator.
    void FillDxList();
    void MenuDXCCOMClick();
    void MenuDXCCCBClick();
    void SepDefaultClick();
    void SepUnderscoreClick();
    void SepSlashClick();
    void SepEqualClick();
    void MenuListeDXCCClick();
    /// Chooses the selected row of the working list; @p fromLookup leaves
    /// the call box as the operator typed it.
    void ListBoxDXWClick(bool fromLookup = false);
    void EditCallChange();
    void TimerDXTimer();
    void ImageDXMouseMove(int x, int y);
    void ImageDX45MouseMove();
    void ListBoxDXWMouseMove();

    // The rotator program.
    /// The menu item "Tornavel": starts the program, or asks for its path
    /// first (and starts it when the path panel's OK gives it).
    void LaunchTornavel();
    void MenusetTornavelClick();
    void ButtonParcourirTornavelClick();
    void ButtonOKTornavelClick();
    void ButtonAnnulerClick();
    /// The current list and separator (what the menus show).
    dx::DxList CurrentDxList() const { return list_; }
    dx::Separator CurrentSeparator() const { return separator_; }
    /// The working list's rows, as the list box shows them.
    const std::vector<std::string>& WorkingList() const { return rows_; }
    /// The language routine: this window's texts, the shared messages it
    /// owns and the DX editors' captions follow the current language code.
    /// With no language chosen yet nothing changes.
    void ApplyViewerLanguage();
    void MenuEnglishClick();
    void MenuFrancaisClick();
    void MenuEspagnolClick();
    void MenuAideClick();

    /// The time source of the clock (tests fix it).
    std::function<QDateTime()> Now;
    /// The operator's own entries of a list, in table order; they follow the
    /// built-in rows in the working list. None until this is set.
    std::function<std::vector<dx::DxRecord>(dx::DxList)> UserDxEntries;
    /// Whether the rotator program runs, and its start (tests count or fix
    /// them).
    rotator::LaunchActions TornavelActions;
    /// Runs OpenDialogTornavel and gives the file picked, or an empty text
    /// when the operator cancels (tests pick without a modal dialog).
    std::function<QString(QFileDialog&)> RunOpenDialog;

public slots:
    /// Shows the state of the directly driven rotators in the status bar.
    void ShowRotatorStatus(const QString& text);
    /// A DX editor's OK: the working list rebuilt with the operator's
    /// entries, hidden meanwhile so that it is not repainted row by row, and
    /// the call box looked up again so that the chosen row follows.
    void UserListChanged();

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
    /// "Manage my DX": the editor of @p list is to be shown, the other one
    /// hidden.
    void ManageDxRequested(dx::DxList list);
    /// "Rotators": the settings of the directly driven rotators are wanted.
    void RotatorSettingsRequested();
    /// A language item was clicked here: the generator's item of @p code is
    /// to be clicked first, which brings the language to every window.
    void GeneratorLanguageRequested(const QString& code);
    /// The language routine ran: the DX editors' captions are to follow.
    void EditorLanguageRequested();
    /// @p list was chosen (by the menu, or again at a showing): its
    /// editor's grid headers are to be written in the current language.
    void DxListChosen(dx::DxList list);
    /// "Info": the information window is wanted.
    void InfoRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyStartGeometry();
    void SetClockMode(bool utc);
    void ChooseList(dx::DxList list);
    void ChooseSeparator(dx::Separator separator);
    void CheckSeparatorItem();
    /// Writes @p text into the call box without starting a lookup.
    void SetCallQuietly(const QString& text);
    /// Selects @p row (none when negative) without it counting as a choice.
    void SelectQuietly(int row);
    void HideMarker();
    void BuildTornavelPanel(QWidget* content);
    void ShowTornavelPanel();
    /// An error box with @p text; nothing when the text is empty.
    void ShowTornavelError(const QString& text);
    /// The language items' click: the generator's first, then this window.
    void LanguageItemClick(const QString& code);

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
    // The DX panel's state. The list last chosen (the settings' at start)
    // comes back at every showing; the separator at every activation.
    dx::DxList list_ = dx::DxList::Ham;
    dx::DxList chosenList_ = dx::DxList::Ham;
    dx::Separator separator_ = dx::Separator::Default;
    std::vector<std::string> rows_;
    QString keptAzimuthReadout_;
    QString keptLongPathReadout_;
    bool callWrittenByChoice_ = false;
    bool selectingQuietly_ = false;
    bool listButtonDown_ = false;
};

}  // namespace korvalen::viewer
