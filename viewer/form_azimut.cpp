#include "viewer/form_azimut.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>

#include "data/resources.h"
#include "geo/readout.h"
#include "korvalen_version.h"
#include "rotator/close_guard.h"
#include "viewer/clock_text.h"
#include "viewer/map_file.h"
#include "viewer/map_surface.h"
#include "viewer/window_geometry.h"
#include "widgets/messages.h"
#include "widgets/named.h"

namespace korvalen::viewer {

using widgets::ImageWidget;
using widgets::Named;
using widgets::NamedAction;

namespace {

constexpr int kReadoutTop = geo::MapSize + 4;

QString Utf8(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TFormAzimut::TFormAzimut(const generator::GeneratorState& generator, const rotator::AzimuthLink& link,
                         const languages::LanguageState& language)
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
      MenuFichier(Named(new QMenu("File", this), "MenuFichier")),
      MenuEnregistrer(NamedAction("MenuEnregistrer", "Save the azimuthal map", this)),
      Menugenerateur(NamedAction("Menugenerateur", "Back to map generator", this)),
      MenuQuitter(NamedAction("MenuQuitter", "Quit", this)),
      MenuOptions(Named(new QMenu("Options", this), "MenuOptions")),
      MenuUnit(Named(new QMenu("Unit", this), "MenuUnit")),
      MenuUnitKM(NamedAction("MenuUnitKM", "Km", this)),
      MenuUnitmile(NamedAction("MenuUnitmile", "Mile", this)),
      MenuTime(Named(new QMenu("Time", this), "MenuTime")),
      MenuTimeLocal(NamedAction("MenuTimeLocal", "Local", this)),
      MenuTimeUTC(NamedAction("MenuTimeUTC", "UTC (Z)", this)),
      MenuAxes(NamedAction("MenuAxes", "Add or remove axis", this)),
      MenuDistances(NamedAction("MenuDistances", "Add or remove equidistant circles", this)),
      Now([] { return QDateTime::currentDateTime(); }),
      generator_(generator),
      link_(link),
      language_(language) {
    setObjectName("TFormAzimut");
    setWindowTitle(QStringLiteral(KORVALEN_CAPTION));
    setMaximumSize(950, 700);

    menuBar()->addMenu(MenuFichier);
    MenuFichier->addAction(MenuEnregistrer);
    MenuFichier->addAction(Menugenerateur);
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

    // The map at the top-left of the client area, the read-outs under it;
    // the window scrolls when it is smaller than this.
    auto* content = new QWidget;
    content->setObjectName("ContentAzimut");
    content->setFixedSize(geo::MapSize, kReadoutTop + 24);
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

    const QFont readoutFont("DejaVu Sans", 9, QFont::Bold);
    for (QLabel* l : {StaticTextAzim, StaticTextLP}) {
        l->setParent(content);
        l->setFont(readoutFont);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setTextFormat(Qt::PlainText);
    }
    StaticTextAzim->setGeometry(0, kReadoutTop, 212, 20);
    LabelLP->setParent(content);
    LabelLP->setTextFormat(Qt::PlainText);
    LabelLP->setText("<=Direct       Long Pass =>");
    LabelLP->setGeometry(214, kReadoutTop, 172, 20);
    LabelLP->setAlignment(Qt::AlignCenter);
    StaticTextLP->setGeometry(388, kReadoutTop, 212, 20);

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
}

TFormAzimut::~TFormAzimut() = default;

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
    state_.UnitFactor = values.unitFactor == geo::KilometreFactor ? geo::KilometreFactor : geo::StatuteMileFactor;
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
}

void TFormAzimut::ApplyStartGeometry() {
    // Top, left, height and width as read at start; the window returns to
    // them whenever it is shown.
    move(startLeft_, startTop_);
    resize(startWidth_, startHeight_);
}

void TFormAzimut::FormCreate(const QString& savedMapFile) {
    ApplyStartGeometry();
    // The working DX list and the language hand-over are bound here once
    // those parts exist; the generator already finds the images through us.
    if (!savedMapFile.isEmpty() && !generator_.LocatorPending) {
        const KeptMap kept = CheckKeptMap(savedMapFile);
        if (kept.status != KeptMapStatus::Ok) {
            widgets::ShowMessage(this,
                                 kept.status == KeptMapStatus::BitmapError ? widgets::MessageKind::Plain
                                                                           : widgets::MessageKind::Error,
                                 kept.message);
            return;  // the rest of the preparation is skipped
        }
        ImageAzimut->image() = kept.image;
        MapImageChanged();
        state_.SavedMapLoaded = true;
    }
    StartClock();
}

void TFormAzimut::FormShow() {
    ApplyStartGeometry();
    ScrollBoxAzimut->horizontalScrollBar()->setValue(startHorizontalScroll_);
    ApplyViewerLanguage();
    if (startUtc_)
        MenuTimeUTCClick();
    else
        MenuTimeLocalClick();
    if (!TimerSeconde->isActive()) TimerSeconde->start();
    setWindowTitle(QStringLiteral(KORVALEN_CAPTION));
    if (state_.UnitFactor != geo::KilometreFactor) MenuUnitmileClick();
    DrawCentreLabel();
}

void TFormAzimut::FormActivate() {
    ApplyViewerLanguage();
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
    StaticTextAzim->clear();
    StaticTextLP->clear();
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
    const ClockTexts t = MakeClockTexts(Now(), MenuTimeUTC->isChecked(), QLocale());
    StaticTextTime->setText(t.time);
    StaticTextDate->setText(t.date);
}

void TFormAzimut::StartClock() {
    // The first texts are local whatever the mode; the next tick applies it.
    const ClockTexts t = MakeClockTexts(Now(), false, QLocale());
    StaticTextTime->setText(t.time);
    StaticTextDate->setText(t.date);
    TimerSeconde->start();
}

void TFormAzimut::StopClock() { TimerSeconde->stop(); }

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
