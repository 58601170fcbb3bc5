#include "dx/dx_panel_widget.h"

#include <QActionGroup>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>

#include "data/resources.h"
#include "dx/call_lookup.h"
#include "dx/dx_panel.h"
#include "languages/tables.h"
#include "widgets/locale.h"
#include "widgets/messages.h"
#include "widgets/named.h"

namespace korvalen::dx {

using languages::Before;
using languages::kViewer;
using languages::kViewerFixed;
using widgets::ImageWidget;
using widgets::Named;
using widgets::NamedAction;

namespace {

// The list, then the call and UTC boxes under it.
constexpr int kPanelWidth = 240;
constexpr int kListHeight = 556;
constexpr int kCallTop = kListHeight + 6;
constexpr int kUtcTop = kCallTop + 26;
constexpr int kBoxHeight = 22;
constexpr int kLabelWidth = 50;
constexpr int kMarkerInterval = 400;

QString Utf8(const std::string& s) { return QString::fromStdString(s); }

// A marker picture with its white made transparent, so the map shows
// between the arrowheads.
QImage MarkerImage(const char* path) { return widgets::PictureWithout(path, qRgb(255, 255, 255)); }

}  // namespace

DxPanelWidget::DxPanelWidget(std::function<BeamBasis()> basis)
    : ListBoxDXW(Named(new QListWidget(this), "ListBoxDXW")),
      LabelCall(Named(new QLabel(kViewerFixed.call, this), "LabelCall")),
      EditCall(Named(new QLineEdit(this), "EditCall")),
      LabelUTC(Named(new QLabel(kViewerFixed.utc, this), "LabelUTC")),
      EditUTC(Named(new QLineEdit(this), "EditUTC")),
      ImageDX(Named(new ImageWidget(this), "ImageDX")),
      ImageDX45(Named(new ImageWidget(this), "ImageDX45")),
      TimerDX(Named(new QTimer(this), "TimerDX")),
      MenuListeDXCC(NamedAction("MenuListeDXCC", Before(kViewer.MenuListeDXCC), this)),
      MenuChoixListe(Named(new QMenu(Before(kViewer.MenuChoixListe), this), "MenuChoixListe")),
      MenuDXCCOM(NamedAction("MenuDXCCOM", Before(kViewer.MenuDXCCOM), this)),
      MenuDXCCCB(NamedAction("MenuDXCCCB", Before(kViewer.MenuDXCCCB), this)),
      MenuSeparator(Named(new QMenu(Before(kViewer.MenuSeparator), this), "MenuSeparator")),
      SepDefault(NamedAction("SepDefault", Before(kViewer.SepDefault), this)),
      SepUnderscore(NamedAction("SepUnderscore", kViewerFixed.SepUnderscore, this)),
      SepSlash(NamedAction("SepSlash", Before(kViewer.SepSlash), this)),
      SepEqual(NamedAction("SepEqual", Before(kViewer.SepEqual), this)),
      basis_(std::move(basis)) {
    setObjectName("PanelDX");
    setFixedSize(kPanelWidth, kUtcTop + kBoxHeight);

    auto* lists = new QActionGroup(this);
    for (QAction* a : {MenuDXCCOM, MenuDXCCCB}) {
        a->setCheckable(true);
        lists->addAction(a);
        MenuChoixListe->addAction(a);
    }
    MenuDXCCOM->setChecked(true);
    auto* separators = new QActionGroup(this);
    for (QAction* a : {SepDefault, SepUnderscore, SepSlash, SepEqual}) {
        a->setCheckable(true);
        separators->addAction(a);
        MenuSeparator->addAction(a);
    }
    SepDefault->setChecked(true);

    ListBoxDXW->setGeometry(0, 0, kPanelWidth, kListHeight);
    ListBoxDXW->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBoxDXW->setUniformItemSizes(true);
    ListBoxDXW->viewport()->setMouseTracking(true);
    ListBoxDXW->viewport()->installEventFilter(this);
    LabelCall->setGeometry(0, kCallTop, kLabelWidth, kBoxHeight);
    EditCall->setGeometry(kLabelWidth, kCallTop, kPanelWidth - kLabelWidth, kBoxHeight);
    LabelUTC->setGeometry(0, kUtcTop, kLabelWidth, kBoxHeight);
    EditUTC->setGeometry(kLabelWidth, kUtcTop, kPanelWidth - kLabelWidth, kBoxHeight);
    EditUTC->setReadOnly(true);
    for (QLabel* l : {LabelCall, LabelUTC}) l->setTextFormat(Qt::PlainText);

    ImageDX->setImage(MarkerImage(data::kDxMarkerPath));
    ImageDX45->setImage(MarkerImage(data::kDxMarker45Path));
    for (ImageWidget* marker : {ImageDX, ImageDX45}) {
        marker->resize(marker->image().size());
        marker->hide();
    }
    TimerDX->setInterval(kMarkerInterval);

    connect(MenuDXCCOM, &QAction::triggered, this, [this] { ChooseList(DxList::Ham); });
    connect(MenuDXCCCB, &QAction::triggered, this, [this] { ChooseList(DxList::ElevenMetre); });
    connect(SepDefault, &QAction::triggered, this, [this] { ChooseSeparator(Separator::Default); });
    connect(SepUnderscore, &QAction::triggered, this, [this] { ChooseSeparator(Separator::Underscore); });
    connect(SepSlash, &QAction::triggered, this, [this] { ChooseSeparator(Separator::Slash); });
    connect(SepEqual, &QAction::triggered, this, [this] { ChooseSeparator(Separator::Equal); });
    connect(MenuListeDXCC, &QAction::triggered, this, [this] { emit ManageDxRequested(list_); });
    connect(EditCall, &QLineEdit::textChanged, this, &DxPanelWidget::EditCallChange);
    connect(TimerDX, &QTimer::timeout, this, &DxPanelWidget::TimerDXTimer);
    connect(ImageDX, &ImageWidget::pointerMoved, this, &DxPanelWidget::ImageDXMouseMove);
    connect(ImageDX45, &ImageWidget::pointerMoved, this, &DxPanelWidget::ImageDX45MouseMove);
    // A row is chosen once per click, when the button comes up (the press
    // already makes it current); the keyboard chooses every row it moves to.
    connect(ListBoxDXW, &QListWidget::itemClicked, this, [this] { ListBoxDXWClick(); });
    connect(ListBoxDXW, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && !selectingQuietly_ && !listButtonDown_) ListBoxDXWClick();
    });
}

DxPanelWidget::~DxPanelWidget() = default;

void DxPanelWidget::PutMarkersOn(QWidget* mapLayer) {
    for (ImageWidget* marker : {ImageDX, ImageDX45}) {
        marker->setParent(mapLayer);
        marker->hide();
    }
}

void DxPanelWidget::SetUserEntries(std::function<std::vector<DxRecord>(DxList)> entries) {
    userEntries_ = std::move(entries);
}

void DxPanelWidget::ApplyStartSettings(const settings::Settings& values) {
    chosenList_ = values.list;
    separator_ = values.separator;
    CheckSeparatorItem();
}

void DxPanelWidget::StoreSettings(settings::Settings& values) const {
    values.list = chosenList_;
    values.separator = separator_;
}

void DxPanelWidget::ApplyLanguage(languages::Language language) {
    using languages::Text;
    MenuListeDXCC->setText(Text(kViewer.MenuListeDXCC, language));
    MenuChoixListe->setTitle(Text(kViewer.MenuChoixListe, language));
    MenuDXCCOM->setText(Text(kViewer.MenuDXCCOM, language));
    MenuDXCCCB->setText(Text(kViewer.MenuDXCCCB, language));
    MenuSeparator->setTitle(Text(kViewer.MenuSeparator, language));
    SepDefault->setText(Text(kViewer.SepDefault, language));
    SepEqual->setText(Text(kViewer.SepEqual, language));
    SepSlash->setText(Text(kViewer.SepSlash, language));
}

void DxPanelWidget::FillDxList() {
    const std::vector<DxRecord> user = userEntries_ ? userEntries_(list_) : std::vector<DxRecord>();
    rows_ = dx::FillDxList(list_, separator_, user, widgets::DecimalSeparator());
    QStringList items;
    items.reserve(static_cast<int>(rows_.size()));
    for (const std::string& row : rows_) items << Utf8(row);
    // Rebuilt whole and painted once, never row by row.
    ListBoxDXW->setUpdatesEnabled(false);
    selectingQuietly_ = true;
    ListBoxDXW->clear();
    ListBoxDXW->addItems(items);
    selectingQuietly_ = false;
    ListBoxDXW->setUpdatesEnabled(true);
}

void DxPanelWidget::ClearReadouts() { emit ReadoutsChanged(QString(), QString()); }

void DxPanelWidget::ChooseList(DxList list) {
    MenuDXCCOM->setChecked(list == DxList::Ham);
    MenuDXCCCB->setChecked(list == DxList::ElevenMetre);
    list_ = chosenList_ = list;
    TimerDX->stop();
    ClearReadouts();
    EditUTC->clear();
    SetCallQuietly(QString());
    ListBoxDXW->setToolTip(QString());
    FillDxList();
    emit DxListChosen(list);
}

void DxPanelWidget::CheckSeparatorItem() {
    SepDefault->setChecked(separator_ == Separator::Default);
    SepUnderscore->setChecked(separator_ == Separator::Underscore);
    SepSlash->setChecked(separator_ == Separator::Slash);
    SepEqual->setChecked(separator_ == Separator::Equal);
}

void DxPanelWidget::ChooseSeparator(Separator separator) {
    separator_ = separator;
    CheckSeparatorItem();
    FillDxList();
}

void DxPanelWidget::ListBoxDXWClick(bool fromLookup) {
    const int row = ListBoxDXW->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size() || !ListBoxDXW->item(row)->isSelected()) return;
    const BeamBasis basis = basis_();
    const RowChoice choice =
        ChooseRow(rows_[static_cast<std::size_t>(row)], SeparatorText(separator_), widgets::DecimalSeparator(),
                  basis.centre, basis.unitFactor, basis.azimuthCaption.toStdString(), basis.rangeCaption.toStdString());
    ListBoxDXW->setToolTip(Utf8(choice.hint));
    if (choice.key && !fromLookup) SetCallQuietly(Utf8(*choice.key));
    if (choice.utc) EditUTC->setText(Utf8(*choice.utc));
    if (!choice.beam) {
        widgets::Beep();
        return;
    }
    const DxBeam& beam = *choice.beam;
    keptAzimuthReadout_ = Utf8(beam.readouts.shortPath);
    keptLongPathReadout_ = Utf8(beam.readouts.longPath);
    emit ReadoutsChanged(keptAzimuthReadout_, keptLongPathReadout_);
    // The DX is the marker picture's centre pixel.
    for (ImageWidget* marker : {ImageDX, ImageDX45}) {
        marker->move(beam.marker.x - marker->width() / 2, beam.marker.y - marker->height() / 2);
        marker->raise();
    }
    ImageDX->show();
    ImageDX45->hide();
    TimerDX->start();
    emit AzimuthChosen(QString::number(beam.azimuth));
}

void DxPanelWidget::EditCallChange() {
    if (callWrittenByChoice_) return;
    const CallLookup found = LookupCall(rows_, EditCall->text().toStdString(), list_, SeparatorText(separator_));
    switch (found.outcome) {
        case CallLookup::Outcome::Nothing: return;
        case CallLookup::Outcome::Beep: widgets::Beep(); return;
        case CallLookup::Outcome::Row: break;
    }
    const int row = static_cast<int>(found.row);
    if (row >= ListBoxDXW->count()) return;
    ListBoxDXW->scrollToItem(ListBoxDXW->item(row), QAbstractItemView::PositionAtTop);
    SelectQuietly(row);
    ListBoxDXWClick(true);
}

void DxPanelWidget::TimerDXTimer() {
    TimerDX->stop();
    if (ImageDX->isVisible()) {
        ImageDX->hide();
        ImageDX45->show();
    } else {
        ImageDX45->hide();
        ImageDX->show();
    }
    TimerDX->start();
}

void DxPanelWidget::ImageDXMouseMove(int x, int y) { emit MapPointerMoved(ImageDX->x() + x, ImageDX->y() + y); }

void DxPanelWidget::RestoreKeptReadouts(bool needsCall) {
    emit ReadoutsChanged(keptAzimuthReadout_, keptLongPathReadout_);
    if (!keptAzimuthReadout_.isEmpty() && (!needsCall || !EditCall->text().isEmpty())) {
        ImageDX->show();
        TimerDX->start();
    }
}

void DxPanelWidget::ImageDX45MouseMove() { RestoreKeptReadouts(false); }

void DxPanelWidget::ListBoxDXWMouseMove() {
    if (!TimerDX->isActive()) RestoreKeptReadouts(true);
}

void DxPanelWidget::SetCallQuietly(const QString& text) {
    callWrittenByChoice_ = true;
    EditCall->setText(text);
    callWrittenByChoice_ = false;
}

void DxPanelWidget::SelectQuietly(int row) {
    selectingQuietly_ = true;
    if (row < 0) {
        ListBoxDXW->clearSelection();
        ListBoxDXW->setCurrentRow(-1);
    } else {
        ListBoxDXW->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
    selectingQuietly_ = false;
}

void DxPanelWidget::HideMarker() {
    ImageDX->hide();
    ImageDX45->hide();
    TimerDX->stop();
}

void DxPanelWidget::Clear() {
    SelectQuietly(-1);
    ClearReadouts();
    SetCallQuietly(QString());
    keptAzimuthReadout_.clear();
    keptLongPathReadout_.clear();
    ListBoxDXW->setToolTip(QString());
    // The next map may have another centre: a marker left on it would point
    // at the wrong place.
    HideMarker();
}

void DxPanelWidget::UserListChanged() {
    ListBoxDXW->hide();
    FillDxList();
    ListBoxDXW->show();
    if (!EditCall->text().isEmpty()) EditCallChange();
}

bool DxPanelWidget::eventFilter(QObject* watched, QEvent* e) {
    if (watched == ListBoxDXW->viewport()) {
        switch (e->type()) {
            case QEvent::MouseButtonPress:
                listButtonDown_ = true;
                break;
            case QEvent::MouseButtonRelease:
                listButtonDown_ = false;
                break;
            case QEvent::MouseMove:
                ListBoxDXWMouseMove();
                break;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace korvalen::dx
