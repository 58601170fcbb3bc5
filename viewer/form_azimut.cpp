#include "viewer/form_azimut.h"

#include <QActionGroup>
#include <QFontMetrics>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>

#include "data/resources.h"
#include "geo/readout.h"
#include "korvalen_version.h"
#include "rotator/close_guard.h"
#include "viewer/clock_text.h"
#include "viewer/map_file.h"
#include "viewer/map_surface.h"
#include "viewer/window_geometry.h"
#include "languages/tables.h"
#include "widgets/messages.h"
#include "widgets/named.h"

namespace korvalen::viewer {

using widgets::ImageWidget;
using widgets::Named;
using widgets::NamedAction;
using languages::Before;
using languages::kViewer;
using languages::kViewerFixed;

namespace {

constexpr int kReadoutTop = geo::MapSize + 4;
// The two read-outs, with the path label between them, fill the map's width.
constexpr int kReadoutWidth = 212;
// The DX panel to the right of the map.
constexpr int kPanelLeft = geo::MapSize + 6;
// The rotator path panel lies over the upper middle of the map, clear of
// the clock boxes.
constexpr int kTornavelPanelLeft = 60;
constexpr int kTornavelPanelTop = 60;

QString Utf8(const std::string& s) { return QString::fromStdString(s); }

/// The read-outs' bold face, at 9 points unless the widest read-out any
/// language can write (the longest captions, five-digit ranges, miles) would
/// not fit in @p width pixels: the range must never be cut off.
QFont ReadoutFont(int width) {
    geo::Readout widest;
    widest.inside = true;
    widest.azimuth = widest.longAzimuth = 360;
    widest.distance = widest.longDistance = geo::CircumferenceKm;
    QStringList texts;
    for (languages::Language language :
         {languages::Language::English, languages::Language::French, languages::Language::Spanish}) {
        const std::string azimuth = languages::Text(languages::kMessages.AzimuthPrefix, language).toStdString();
        const std::string range = languages::Text(languages::kMessages.RangePrefix, language).toStdString();
        for (geo::Real unit : {geo::KilometreFactor, geo::StatuteMileFactor})
            texts << QString::fromStdString(geo::FormatReadout(widest, unit, azimuth, range).shortPath);
    }
    QFont font(QStringLiteral("DejaVu Sans"), 9, QFont::Bold);
    // The sunken frame and the label's margin take a few pixels.
    const int room = width - 6;
    for (;;) {
        const QFontMetrics metrics(font);
        int needed = 0;
        for (const QString& t : texts) needed = std::max(needed, metrics.horizontalAdvance(t));
        if (needed <= room || font.pointSizeF() <= 6) return font;
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
}

}  // namespace

TFormAzimut::TFormAzimut(const generator::GeneratorState& generator, const rotator::AzimuthLink& link,
                         languages::LanguageState& language)
    : QMainWindow(nullptr),
      ScrollBoxAzimut(Named(new QScrollArea, "ScrollBoxAzimut")),
      ImageAzimut(Named(new ImageWidget, "ImageAzimut")),
      ImageOriginale(Named(new ImageWidget, "ImageOriginale")),
      StaticTextAzim(Named(new QLabel, "StaticTextAzim")),
      LabelLP(Named(new QLabel, "LabelLP")),
      StaticTextLP(Named(new QLabel, "StaticTextLP")),
      StaticTextDate(Named(new QLabel, "StaticTextDate")),
      StaticTextTime(Named(new QLabel, "StaticTextTime")),
      TimerSeconde(Named(new QTimer(this), "TimerSeconde")),
      MenuFichier(Named(new QMenu(Before(kViewer.MenuFichier), this), "MenuFichier")),
      MenuEnregistrer(NamedAction("MenuEnregistrer", Before(kViewer.MenuEnregistrer), this)),
      Menugenerateur(NamedAction("Menugenerateur", Before(kViewer.Menugenerateur), this)),
      MenuQuitter(NamedAction("MenuQuitter", kViewerFixed.MenuQuitter, this)),
      MenuOptions(Named(new QMenu(Before(kViewer.MenuOptions), this), "MenuOptions")),
      MenuUnit(Named(new QMenu(Before(kViewer.MenuUnit), this), "MenuUnit")),
      MenuUnitKM(NamedAction("MenuUnitKM", kViewerFixed.MenuUnitKM, this)),
      MenuUnitmile(NamedAction("MenuUnitmile", kViewerFixed.MenuUnitmile, this)),
      MenuTime(Named(new QMenu(Before(kViewer.MenuTime), this), "MenuTime")),
      MenuTimeLocal(NamedAction("MenuTimeLocal", kViewerFixed.MenuTimeLocal, this)),
      MenuTimeUTC(NamedAction("MenuTimeUTC", kViewerFixed.MenuTimeUTC, this)),
      MenuAxes(NamedAction("MenuAxes", Before(kViewer.MenuAxes), this)),
      MenuDistances(NamedAction("MenuDistances", Before(kViewer.MenuDistances), this)),
      PanelDX(new dx::DxPanelWidget(
          [this] {
              return dx::BeamBasis{{generator_.CentreLatitude, generator_.CentreLongitude},
                                   state_.UnitFactor,
                                   state_.AzimuthCaption,
                                   state_.RangeCaption};
          })),
      PanelTornavel(new rotator::TornavelPanel(link, language)),
      MenuRotators(NamedAction("MenuRotators", "Rotators (rotctld, PstRotator)", this)),
      StaticTextRotator(Named(new QLabel, "StaticTextRotator")),
      MenuLangue(Named(new QMenu(Before(kViewer.MenuLangue), this), "MenuLangue")),
      MenuEnglish(NamedAction("MenuEnglish", QString::fromUtf8(kViewerFixed.MenuEnglish), this)),
      MenuFrancais(NamedAction("MenuFrancais", QString::fromUtf8(kViewerFixed.MenuFrancais), this)),
      MenuEspagnol(NamedAction("MenuEspagnol", QString::fromUtf8(kViewerFixed.MenuEspagnol), this)),
      MenuHelp(Named(new QMenu(kViewerFixed.MenuHelp, this), "MenuHelp")),
      MenuAide(NamedAction("MenuAide", Before(kViewer.MenuAide), this)),
      menuInfo(NamedAction("menuInfo", kViewerFixed.menuInfo, this)),
      MenuInfoVersion(NamedAction("MenuInfoVersion", Before(kViewer.MenuInfoVersion), this)),
      ButtonLangue(Named(new QPushButton, "ButtonLangue")),
      generator_(generator),
      link_(link),
      language_(language),
      now_([] { return QDateTime::currentDateTime(); }) {
    setObjectName("TFormAzimut");
    setWindowTitle(QStringLiteral(KORVALEN_CAPTION));
    setMaximumSize(950, 700);

    menuBar()->addMenu(MenuFichier);
    MenuFichier->addAction(MenuEnregistrer);
    MenuFichier->addAction(Menugenerateur);
    MenuFichier->addAction(PanelDX->MenuListeDXCC);
    MenuFichier->addAction(PanelTornavel->MenusetTornavel);
    MenuFichier->addAction(MenuRotators);
    MenuFichier->addSeparator();
    MenuFichier->addAction(MenuQuitter);
    menuBar()->addMenu(MenuOptions);
    MenuOptions->addMenu(MenuUnit);
    auto* units = new QActionGroup(this);
    for (QAction* a : {MenuUnitKM, MenuUnitmile}) {
        a->setCheckable(true);
        units->addAction(a);
        MenuUnit->addAction(a);
    }
    MenuUnitKM->setChecked(true);
    MenuOptions->addMenu(MenuTime);
    auto* times = new QActionGroup(this);
    for (QAction* a : {MenuTimeLocal, MenuTimeUTC}) {
        a->setCheckable(true);
        times->addAction(a);
        MenuTime->addAction(a);
    }
    MenuTimeLocal->setChecked(true);
    MenuOptions->addSeparator();
    MenuOptions->addAction(MenuAxes);
    MenuOptions->addAction(MenuDistances);
    MenuOptions->addSeparator();
    MenuOptions->addMenu(PanelDX->MenuChoixListe);
    MenuOptions->addMenu(PanelDX->MenuSeparator);
    menuBar()->addMenu(MenuLangue);
    auto* languageItems = new QActionGroup(this);
    for (QAction* a : {MenuEnglish, MenuFrancais, MenuEspagnol}) {
        a->setCheckable(true);
        languageItems->addAction(a);
        MenuLangue->addAction(a);
    }
    MenuEnglish->setChecked(true);
    menuBar()->addMenu(MenuHelp);
    MenuHelp->addAction(MenuAide);
    MenuHelp->addAction(menuInfo);
    MenuHelp->addSeparator();
    MenuHelp->addAction(MenuInfoVersion);
    MenuInfoVersion->setCheckable(true);
    menuBar()->addAction(PanelTornavel->MenuTornavel);
    // Never seen: the language routine's handle, clicked by the program.
    ButtonLangue->setParent(this);
    ButtonLangue->hide();

    // The map at the top-left of the client area, the read-outs under it;
    // the window scrolls when it is smaller than this.
    auto* content = new QWidget;
    content->setObjectName("ContentAzimut");
    content->setFixedSize(kPanelLeft + PanelDX->width() + 4, kReadoutTop + 24);
    ScrollBoxAzimut->setWidget(content);
    ScrollBoxAzimut->setWidgetResizable(false);
    ScrollBoxAzimut->setFrameShape(QFrame::NoFrame);
    ScrollBoxAzimut->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setCentralWidget(ScrollBoxAzimut);

    ImageOriginale->setParent(content);
    ImageOriginale->setImage(QImage(QString::fromLatin1(data::kTemplatePath)));
    ImageOriginale->hide();
    ImageAzimut->setParent(content);
    ImageAzimut->setImage(ImageOriginale->image().copy());
    ImageAzimut->move(0, 0);
    surface_ = std::make_unique<MapSurface>(&ImageAzimut->image());

    const QFont readoutFont = ReadoutFont(kReadoutWidth);
    for (QLabel* l : {StaticTextAzim, StaticTextLP}) {
        l->setParent(content);
        l->setFont(readoutFont);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setTextFormat(Qt::PlainText);
    }
    StaticTextAzim->setGeometry(0, kReadoutTop, kReadoutWidth, 20);
    LabelLP->setParent(content);
    LabelLP->setTextFormat(Qt::PlainText);
    LabelLP->setText("<=Direct       Long Pass =>");
    LabelLP->setGeometry(214, kReadoutTop, 172, 20);
    LabelLP->setAlignment(Qt::AlignCenter);
    StaticTextLP->setGeometry(geo::MapSize - kReadoutWidth, kReadoutTop, kReadoutWidth, 20);

    // The clock boxes lie over the top corners of the map.
    StaticTextDate->setParent(content);
    StaticTextDate->setGeometry(8, 8, 113, 17);
    StaticTextTime->setParent(content);
    StaticTextTime->setGeometry(480, 8, 112, 17);
    for (QLabel* l : {StaticTextDate, StaticTextTime}) {
        l->setAlignment(Qt::AlignCenter);
        l->setAutoFillBackground(true);
        QPalette p = l->palette();
        p.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xE1));
        p.setColor(QPalette::WindowText, Qt::black);
        l->setPalette(p);
        l->raise();
    }
    TimerSeconde->setInterval(1000);
    TimerSeconde->start();

    PanelDX->setParent(content);
    PanelDX->move(kPanelLeft, 0);
    PanelDX->PutMarkersOn(content);
    PanelTornavel->setParent(content);
    PanelTornavel->move(kTornavelPanelLeft, kTornavelPanelTop);
    PanelTornavel->hide();
    StaticTextRotator->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(StaticTextRotator, 1);

    connect(ImageAzimut, &ImageWidget::pointerMoved, this, &TFormAzimut::ImageAzimutMouseMove);
    // The map click is the left button's; the others do nothing here.
    connect(ImageAzimut, &ImageWidget::clicked, this, [this](Qt::MouseButton button, int, int) {
        if (button == Qt::LeftButton) ImageAzimutClick();
    });
    connect(MenuUnitKM, &QAction::triggered, this, &TFormAzimut::MenuUnitKMClick);
    connect(MenuUnitmile, &QAction::triggered, this, &TFormAzimut::MenuUnitmileClick);
    connect(Menugenerateur, &QAction::triggered, this, &TFormAzimut::MenugenerateurClick);
    connect(MenuEnregistrer, &QAction::triggered, this, &TFormAzimut::MenuEnregistrerClick);
    connect(MenuQuitter, &QAction::triggered, this, &TFormAzimut::MenuQuitterClick);
    connect(MenuAxes, &QAction::triggered, this, &TFormAzimut::MenuAxesClick);
    connect(MenuDistances, &QAction::triggered, this, &TFormAzimut::MenuDistancesClick);
    connect(MenuTimeLocal, &QAction::triggered, this, &TFormAzimut::MenuTimeLocalClick);
    connect(MenuTimeUTC, &QAction::triggered, this, &TFormAzimut::MenuTimeUTCClick);
    connect(TimerSeconde, &QTimer::timeout, this, &TFormAzimut::TimerSecondeTimer);

    connect(PanelDX, &dx::DxPanelWidget::ReadoutsChanged, this, &TFormAzimut::ShowReadouts);
    connect(PanelDX, &dx::DxPanelWidget::AzimuthChosen, this, &TFormAzimut::PublishAzimuth);
    connect(PanelDX, &dx::DxPanelWidget::MapPointerMoved, this, &TFormAzimut::ImageAzimutMouseMove);
    connect(PanelTornavel, &rotator::TornavelPanel::Shown, this, [this] {
        // A small window may be scrolled away from the panel's place.
        ScrollBoxAzimut->ensureWidgetVisible(PanelTornavel, 0, 0);
    });
    connect(MenuRotators, &QAction::triggered, this, &TFormAzimut::RotatorSettingsRequested);
    connect(MenuEnglish, &QAction::triggered, this, &TFormAzimut::MenuEnglishClick);
    connect(MenuFrancais, &QAction::triggered, this, &TFormAzimut::MenuFrancaisClick);
    connect(MenuEspagnol, &QAction::triggered, this, &TFormAzimut::MenuEspagnolClick);
    connect(MenuAide, &QAction::triggered, this, &TFormAzimut::MenuAideClick);
    connect(menuInfo, &QAction::triggered, this, &TFormAzimut::InfoRequested);
    connect(ButtonLangue, &QPushButton::clicked, this, &TFormAzimut::ApplyViewerLanguage);
}

TFormAzimut::~TFormAzimut() = default;

void TFormAzimut::ApplyViewerLanguage() {
    const std::optional<languages::Language> current = language_.Current();
    if (!current) return;
    const languages::Language language = *current;
    using languages::Text;
    MenuFichier->setTitle(Text(kViewer.MenuFichier, language));
    MenuEnregistrer->setText(Text(kViewer.MenuEnregistrer, language));
    Menugenerateur->setText(Text(kViewer.Menugenerateur, language));
    MenuOptions->setTitle(Text(kViewer.MenuOptions, language));
    MenuUnit->setTitle(Text(kViewer.MenuUnit, language));
    MenuTime->setTitle(Text(kViewer.MenuTime, language));
    MenuAxes->setText(Text(kViewer.MenuAxes, language));
    MenuDistances->setText(Text(kViewer.MenuDistances, language));
    MenuLangue->setTitle(Text(kViewer.MenuLangue, language));
    MenuAide->setText(Text(kViewer.MenuAide, language));
    MenuInfoVersion->setText(Text(kViewer.MenuInfoVersion, language));
    PanelDX->ApplyLanguage(language);
    PanelTornavel->ApplyLanguage(language);

    MenuEnglish->setChecked(language == languages::Language::English);
    MenuFrancais->setChecked(language == languages::Language::French);
    MenuEspagnol->setChecked(language == languages::Language::Spanish);

    using languages::kMessages;
    language_.SaveQuestion = Text(kMessages.SaveQuestion, language);
    state_.AzimuthCaption = Text(kMessages.AzimuthPrefix, language);
    state_.RangeCaption = Text(kMessages.RangePrefix, language);
    language_.ConnectedMessage = Text(kMessages.ConnectedMessage, language);
    language_.NewerReleaseText = languages::NewerReleaseText(language);
    language_.UpToDateText = Text(kMessages.UpToDate, language);
    language_.DxEmptyFieldText = Text(kMessages.DxEmptyField, language);
    language_.DxNorthSouthText = Text(kMessages.DxNorthSouth, language);
    language_.DxEastWestText = Text(kMessages.DxEastWest, language);
    language_.DxBadNumberText = Text(kMessages.DxBadNumber, language);
    emit EditorLanguageRequested();
}

void TFormAzimut::LanguageItemClick(languages::Language language) {
    emit GeneratorLanguageRequested(language);
    ApplyViewerLanguage();
}

void TFormAzimut::MenuEnglishClick() { LanguageItemClick(languages::Language::English); }
void TFormAzimut::MenuFrancaisClick() { LanguageItemClick(languages::Language::French); }
void TFormAzimut::MenuEspagnolClick() { LanguageItemClick(languages::Language::Spanish); }

void TFormAzimut::MenuAideClick() { widgets::OpenHelpPage(language_.HelpFileName); }

void TFormAzimut::MapImageChanged() { ImageAzimut->imageChanged(); }

bool TFormAzimut::TakeSavedMapLoaded() {
    const bool loaded = state_.SavedMapLoaded;
    state_.SavedMapLoaded = false;
    return loaded;
}

void TFormAzimut::ApplyStartSettings(const settings::Settings& values) {
    // The first screen listed is the primary one, where a window off every
    // screen is brought back.
    QList<QRect> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen()) screens << primary->availableGeometry();
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen()) screens << screen->availableGeometry();
    const QRect start = ReachableGeometry(
        QRect(values.viewerLeft, values.viewerTop, values.viewerWidth, values.viewerHeight), screens);
    startTop_ = start.top();
    startLeft_ = start.left();
    startHeight_ = start.height();
    startWidth_ = start.width();
    startHorizontalScroll_ = values.viewerScroll;
    startUtc_ = values.utc;
    PanelDX->ApplyStartSettings(values);
    state_.UnitFactor = values.unitFactor == geo::KilometreFactor ? geo::KilometreFactor : geo::StatuteMileFactor;
    PanelTornavel->SetPath(Utf8(values.rotatorProgramPath));
    // The clock mode read at start is ticked from the start, not only from
    // the first showing: a run that never shows the viewer writes it back
    // instead of silently turning "UTC=Y" into "UTC=N".
    if (startUtc_) MenuTimeUTCClick();
}

void TFormAzimut::StoreSettings(settings::Settings& values) const {
    values.unitFactor = state_.UnitFactor;
    values.viewerTop = pos().y();
    values.viewerLeft = pos().x();
    values.viewerHeight = height();
    values.viewerWidth = width();
    values.viewerScroll = ScrollBoxAzimut->horizontalScrollBar()->value();
    values.utc = MenuTimeUTC->isChecked();
    PanelDX->StoreSettings(values);
    values.rotatorProgramPath = PanelTornavel->State().TornavelPath.toStdString();
}

void TFormAzimut::ApplyStartGeometry() {
    // Top, left, height and width as read at start; the window returns to
    // them whenever it is shown.
    move(startLeft_, startTop_);
    resize(startWidth_, startHeight_);
}

void TFormAzimut::FormCreate(const std::optional<KeptMap>& kept) {
    ApplyStartGeometry();
    // The working list is bound to the ham list, checked in the menu from
    // the start; the stored list comes with the first showing.
    if (kept) {
        // Told at start, when it was checked.
        if (kept->status != KeptMapStatus::Ok) return;  // the rest of the preparation is skipped
        ImageAzimut->image() = kept->image;
        MapImageChanged();
        state_.SavedMapLoaded = true;
    }
    PanelDX->FillDxList();
    StartClock();
}

void TFormAzimut::FormShow() {
    ApplyStartGeometry();
    ScrollBoxAzimut->horizontalScrollBar()->setValue(startHorizontalScroll_);
    ApplyViewerLanguage();
    PanelDX->ListBoxDXW->setFocus();
    if (startUtc_)
        MenuTimeUTCClick();
    else
        MenuTimeLocalClick();
    if (!TimerSeconde->isActive()) TimerSeconde->start();
    setWindowTitle(QStringLiteral(KORVALEN_CAPTION));
    if (state_.UnitFactor != geo::KilometreFactor) MenuUnitmileClick();
    PanelDX->ChooseChosenList();
    DrawCentreLabel();
    PanelDX->ListBoxDXWClick();  // the row still selected, if any, is chosen again
}

void TFormAzimut::FormActivate() {
    ApplyViewerLanguage();
    PanelDX->ChooseCurrentSeparator();
    PanelTornavel->ShowPath();
    if (state_.UnitFactor != geo::KilometreFactor) MenuUnitmileClick();
    DrawCentreLabel();
}

void TFormAzimut::DrawCentreLabel() {
    surface_->DrawCentreLabel(generator_.CentreText);
    MapImageChanged();
}

void TFormAzimut::ImageAzimutMouseMove(int x, int y) {
    const geo::Readout r = geo::ComputeReadout(x, y, state_.UnitFactor);
    state_.PendingAzimuth = r.inside ? QString::number(r.azimuth) : QString();
    const geo::ReadoutTexts t = geo::FormatReadout(r, state_.UnitFactor, state_.AzimuthCaption.toStdString(),
                                                   state_.RangeCaption.toStdString());
    StaticTextAzim->setText(Utf8(t.shortPath));
    StaticTextLP->setText(Utf8(t.longPath));
    PanelDX->HideMarker();
}

void TFormAzimut::ImageAzimutClick() {
    if (!state_.PendingAzimuth.isEmpty()) emit PublishAzimuth(state_.PendingAzimuth);
}

void TFormAzimut::MenuUnitKMClick() {
    MenuUnitKM->setChecked(true);
    MenuUnitmile->setChecked(false);
    state_.UnitFactor = geo::KilometreFactor;
}

void TFormAzimut::MenuUnitmileClick() {
    MenuUnitmile->setChecked(true);
    MenuUnitKM->setChecked(false);
    state_.UnitFactor = geo::StatuteMileFactor;
}

void TFormAzimut::MenugenerateurClick() {
    StopClock();
    PanelDX->Clear();
    emit BackToGenerator();
    hide();
}

void TFormAzimut::MenuEnregistrerClick() { emit SaveDialogRequested(); }

void TFormAzimut::MenuQuitterClick() { close(); }

void TFormAzimut::MenuAxesClick() {
    surface_->DrawAxes();
    MapImageChanged();
    ApplyViewerLanguage();
}

void TFormAzimut::MenuDistancesClick() {
    surface_->DrawCircles();
    MapImageChanged();
    ApplyViewerLanguage();
}

void TFormAzimut::SetClockMode(bool utc) {
    MenuTimeLocal->setChecked(!utc);
    MenuTimeUTC->setChecked(utc);
    for (QLabel* l : {StaticTextDate, StaticTextTime}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, ClockColour(utc));
        l->setPalette(p);
    }
}

void TFormAzimut::MenuTimeLocalClick() {
    SetClockMode(false);
}

void TFormAzimut::MenuTimeUTCClick() {
    SetClockMode(true);
}

void TFormAzimut::TimerSecondeTimer() {
    const ClockTexts t = MakeClockTexts(now_(), MenuTimeUTC->isChecked(), QLocale());
    StaticTextTime->setText(t.time);
    StaticTextDate->setText(t.date);
}

void TFormAzimut::StartClock() {
    // The first texts are local whatever the mode; the next tick applies it.
    const ClockTexts t = MakeClockTexts(now_(), false, QLocale());
    StaticTextTime->setText(t.time);
    StaticTextDate->setText(t.date);
    TimerSeconde->start();
}

void TFormAzimut::StopClock() { TimerSeconde->stop(); }

void TFormAzimut::ShowReadouts(const QString& shortPath, const QString& longPath) {
    StaticTextAzim->setText(shortPath);
    StaticTextLP->setText(longPath);
}

void TFormAzimut::ShowRotatorStatus(const QString& text) { StaticTextRotator->setText(text); }

void TFormAzimut::closeEvent(QCloseEvent* event) {
    // The request never closes the window: the program goes on or ends.
    event->ignore();
    if (rotator::CloseRefused(this, link_, language_)) return;
    if (generator_.MapUnsaved &&
        widgets::ShowMessage(this, widgets::MessageKind::Question, language_.SaveQuestion) == QMessageBox::Yes) {
        emit SaveBeforeQuitting();
        return;
    }
    emit ProgramEndRequested();
}

bool TFormAzimut::event(QEvent* e) {
    // Only a show the program asks for is a showing: the window system's
    // own show events (the window restored from the task bar) must not
    // throw it back to the start geometry and clock mode.
    if (e->type() == QEvent::Show && !e->spontaneous()) FormShow();
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QMainWindow::event(e);
}

}  // namespace korvalen::viewer
