#pragma once
// The DX panel beside the viewer's map: the working list, the call and UTC
// boxes, the blinking marker on the map, and the menu items that choose the
// list and the separator. It tells the window what to show in the read-outs
// and which bearing was chosen; the window places it and its menu items.
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "dx/dx_row.h"
#include "geo/geo.h"
#include "languages/languages.h"
#include "settings/settings.h"
#include "widgets/image_widget.h"

class QLabel;
class QLineEdit;

namespace korvalen::dx {

/// What a choice is computed from, read afresh at each choice.
struct BeamBasis {
    geo::LatLong centre;
    geo::Real unitFactor = geo::KilometreFactor;
    QString azimuthCaption;
    QString rangeCaption;
};

class DxPanelWidget : public QWidget {
    Q_OBJECT
public:
    /// @p basis gives the map's centre, the unit and the captions.
    explicit DxPanelWidget(std::function<BeamBasis()> basis);
    ~DxPanelWidget() override;

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

    /// The two markers go onto @p mapLayer, the widget the map's pixels
    /// place them on, so that they scroll with the map.
    void PutMarkersOn(QWidget* mapLayer);
    /// The operator's own entries of a list, in table order; they follow the
    /// built-in rows in the working list. None until this is set.
    void SetUserEntries(std::function<std::vector<DxRecord>(DxList)> entries);

    /// The list and separator read at start: the separator is current at
    /// once, the list from the first showing.
    void ApplyStartSettings(const settings::Settings& values);
    void StoreSettings(settings::Settings& values) const;
    /// The menu items' texts in @p language.
    void ApplyLanguage(languages::Language language);

    /// The current separator (what the menu shows).
    Separator CurrentSeparator() const { return separator_; }
    /// The working list's rows, as the list box shows them.
    const std::vector<std::string>& WorkingList() const { return rows_; }

    /// Rebuilds the working list from the current list and separator.
    void FillDxList();
    /// The list last chosen (the settings' at start) again, at a showing.
    void ChooseChosenList() { ChooseList(chosenList_); }
    /// The current separator again, at an activation.
    void ChooseCurrentSeparator() { ChooseSeparator(separator_); }
    /// Chooses the selected row of the working list; @p fromLookup leaves
    /// the call box as the operator typed it.
    void ListBoxDXWClick(bool fromLookup = false);
    void EditCallChange();
    void TimerDXTimer();
    void HideMarker();
    /// Back to the generator: no row, no call, no marker, no kept read-out.
    void Clear();
    /// A DX editor's OK: the working list rebuilt with the operator's
    /// entries, hidden meanwhile so that it is not repainted row by row, and
    /// the call box looked up again so that the chosen row follows.
    void UserListChanged();

signals:
    /// The read-outs are to show these texts.
    void ReadoutsChanged(const QString& shortPath, const QString& longPath);
    /// A row was chosen: its short-path bearing, for the rotator.
    void AzimuthChosen(const QString& azimuth);
    /// The pointer moved over the marker, at this map pixel.
    void MapPointerMoved(int x, int y);
    /// "Manage my DX": the editor of @p list is wanted.
    void ManageDxRequested(DxList list);
    /// @p list was chosen (by the menu, or again at a showing).
    void DxListChosen(DxList list);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ChooseList(DxList list);
    void ChooseSeparator(Separator separator);
    void CheckSeparatorItem();
    void ImageDXMouseMove(int x, int y);
    void ImageDX45MouseMove();
    void ListBoxDXWMouseMove();
    /// The kept read-outs back, and the marker blinking again if there is one.
    void RestoreKeptReadouts(bool needsCall);
    /// Writes @p text into the call box without starting a lookup.
    void SetCallQuietly(const QString& text);
    /// Selects @p row (none when negative) without it counting as a choice.
    void SelectQuietly(int row);
    void ClearReadouts();

    const std::function<BeamBasis()> basis_;
    std::function<std::vector<DxRecord>(DxList)> userEntries_;
    // The list last chosen (the settings' at start) comes back at every
    // showing; the separator at every activation.
    DxList list_ = DxList::Ham;
    DxList chosenList_ = DxList::Ham;
    Separator separator_ = Separator::Default;
    std::vector<std::string> rows_;
    QString keptAzimuthReadout_;
    QString keptLongPathReadout_;
    bool callWrittenByChoice_ = false;
    bool selectingQuietly_ = false;
    bool listButtonDown_ = false;
};

}  // namespace korvalen::dx
