#include "viewer/form_azimut.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QMenuBar>
#include "app/messages.h"
#include <QScrollBar>

#include "app/forms.h"
#include "generator/named.h"
#include "data/resources.h"
#include "dx/dx_forms.h"
#include "generator/form_carte.h"
#include "korvalen_version.h"
#include "languages/languages.h"
#include "rotator/azimuth_link.h"
#include "viewer/clock_text.h"
#include "viewer/form_save.h"
#include "viewer/map_file.h"
#include "viewer/map_surface.h"
#include "viewer/readout.h"

namespace korvalen {

namespace {

constexpr int kMapSize = 600;
constexpr int kReadoutTop = kMapSize + 4;

QString Utf8(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TFormAzimut::TFormAzimut()
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
      Now([] { return QDateTime::currentDateTime(); }) {
    setObjectName("TFormAzimut");
    setWindowTitle(QStringLiteral("KORVALEN V" KORVALEN_VERSION));
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
    content->setFixedSize(kMapSize, kReadoutTop + 24);
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
    surface_ = std::make_unique<viewer::MapSurface>(&ImageAzimut->image());

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
    connect(ImageAzimut, &ImageWidget::clicked, this, [this](Qt::MouseButton, int, int) { ImageAzimutClick(); });
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

void TFormAzimut::ApplyStartGeometry() {
    // Top, left, height and width as read at start; the window returns to
    // them whenever it is shown.
    move(StartLeft, StartTop);
    resize(StartWidth, StartHeight);
}

void TFormAzimut::FormCreate() {
    FormAzimut = this;
    ApplyStartGeometry();
    // The working DX list and the language hand-over are bound here once
    // those parts exist; the generator already finds the images through us.
    if (!SavedMapFile.isEmpty() && !FormCarte->LocatorPending) {
        const viewer::KeptMap kept = viewer::CheckKeptMap(SavedMapFile);
        if (kept.status != viewer::KeptMapStatus::Ok) {
            ShowMessage(this, kept.status == viewer::KeptMapStatus::BitmapError ? MessageKind::Plain : MessageKind::Error, kept.message);
            return;  // the rest of the preparation is skipped
        }
        ImageAzimut->image() = kept.image;
        MapImageChanged();
        SavedMapLoaded = true;
    }
    dx::FillDxList();
    StartClock();
}

void TFormAzimut::FormShow() {
    ApplyStartGeometry();
    ScrollBoxAzimut->horizontalScrollBar()->setValue(StartHorizontalScroll);
    languages::ApplyViewerLanguage(*this);
    if (StartUtc)
        MenuTimeUTCClick();
    else
        MenuTimeLocalClick();
    if (!TimerSeconde->isActive()) TimerSeconde->start();
    setWindowTitle(QStringLiteral("KORVALEN V" KORVALEN_VERSION));
    if (UnitFactor != 1) MenuUnitmileClick();
    DrawCentreLabel();
}

void TFormAzimut::FormActivate() {
    languages::ApplyViewerLanguage(*this);
    if (UnitFactor != 1) MenuUnitmileClick();
    DrawCentreLabel();
}

void TFormAzimut::DrawCentreLabel() {
    surface_->DrawCentreLabel(FormCarte ? FormCarte->CentreText : QString());
    MapImageChanged();
}

void TFormAzimut::ImageAzimutMouseMove(int x, int y) {
    const viewer::Readout r = viewer::ComputeReadout(x, y, UnitFactor);
    PendingAzimuth = r.inside ? QString::number(r.azimuth) : QString();
    const viewer::ReadoutTexts t =
        viewer::FormatReadout(r, UnitFactor, AzimuthCaption.toStdString(), RangeCaption.toStdString());
    StaticTextAzim->setText(Utf8(t.shortPath));
    StaticTextLP->setText(Utf8(t.longPath));
}

void TFormAzimut::ImageAzimutClick() {
    if (!PendingAzimuth.isEmpty()) rotator::PublishAzimuth(PendingAzimuth);
}

void TFormAzimut::MenuUnitKMClick() {
    MenuUnitKM->setChecked(true);
    MenuUnitmile->setChecked(false);
    UnitFactor = 1;
}

void TFormAzimut::MenuUnitmileClick() {
    MenuUnitmile->setChecked(true);
    MenuUnitKM->setChecked(false);
    UnitFactor = 1.609344;
}

void TFormAzimut::MenugenerateurClick() {
    StopClock();
    StaticTextAzim->clear();
    StaticTextLP->clear();
    if (FormListeDXCC) FormListeDXCC->hide();
    FormCarte->show();
    hide();
    FormCarte->ProgressBarCalcul->setValue(0);
    FormCarte->EditQRA->clear();
}

void TFormAzimut::MenuEnregistrerClick() {
    FormSave->show();
    FormSave->raise();
    FormSave->activateWindow();
}

void TFormAzimut::MenuQuitterClick() { close(); }

void TFormAzimut::MenuAxesClick() {
    surface_->DrawAxes();
    MapImageChanged();
    languages::ApplyViewerLanguage(*this);
}

void TFormAzimut::MenuDistancesClick() {
    surface_->DrawCircles();
    MapImageChanged();
    languages::ApplyViewerLanguage(*this);
}

void TFormAzimut::SetClockMode(bool utc) {
    MenuTimeLocal->setChecked(!utc);
    MenuTimeUTC->setChecked(utc);
    for (QLabel* l : {StaticTextDate, StaticTextTime}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, viewer::ClockColour(utc));
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
    const viewer::ClockTexts t = viewer::MakeClockTexts(Now(), MenuTimeUTC->isChecked(), QLocale());
    StaticTextTime->setText(t.time);
    StaticTextDate->setText(t.date);
}

void TFormAzimut::StartClock() {
    // The first texts are local whatever the mode; the next tick applies it.
    const viewer::ClockTexts t = viewer::MakeClockTexts(Now(), false, QLocale());
    StaticTextTime->setText(t.time);
    StaticTextDate->setText(t.date);
    TimerSeconde->start();
}

void TFormAzimut::StopClock() { TimerSeconde->stop(); }

void TFormAzimut::closeEvent(QCloseEvent* event) {
    // The request never closes the window: the program goes on or ends.
    event->ignore();
    if (rotator::ClientConnected()) {
        ShowMessage(this, MessageKind::Warning, languages::ConnectedMessage);
        return;
    }
    if (FormCarte->MapUnsaved) {
        const auto answer = ShowMessage(this, MessageKind::Question, languages::SaveQuestion);
        if (answer == QMessageBox::Yes) {
            FormCarte->hide();
            FormSave->QuitAfterSave = true;
            MenuEnregistrerClick();
            return;
        }
    }
    SaveSettings();
    EndProgram();
}

bool TFormAzimut::event(QEvent* e) {
    if (e->type() == QEvent::Show) FormShow();
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QMainWindow::event(e);
}

}  // namespace korvalen
