#include "viewer/form_azimut.h"

#include <QActionGroup>
#include <QFontMetrics>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "data/resources.h"
#include "dx/call_lookup.h"
#include "dx/dx_panel.h"
#include "geo/readout.h"
#include "korvalen_version.h"
#include "rotator/close_guard.h"
#include "rotator/launcher.h"
#include "viewer/clock_text.h"
#include "viewer/map_file.h"
#include "viewer/map_surface.h"
#include "viewer/window_geometry.h"
#include "languages/maker_site.h"
#include "languages/tables.h"
#include "widgets/locale.h"
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
// The DX panel to the right of the map: the list, then the call and UTC
// boxes under it.
constexpr int kPanelLeft = geo::MapSize + 6;
constexpr int kPanelWidth = 240;
constexpr int kListHeight = 556;
constexpr int kCallTop = kListHeight + 6;
constexpr int kUtcTop = kCallTop + 26;
constexpr int kPanelLabelWidth = 50;
constexpr int kMarkerInterval = 400;
// The rotator path panel lies over the upper middle of the map, clear of
// the clock boxes, wide enough for the path of a program deep in folders.
constexpr int kTornavelPanelLeft = 60;
constexpr int kTornavelPanelTop = 60;
constexpr int kTornavelPanelWidth = 480;

QString Utf8(const std::string& s) { return QString::fromStdString(s); }

// A marker picture with its white made transparent, so the map shows
// between the arrowheads.
QImage MarkerImage(const char* path) { return widgets::PictureWithout(path, qRgb(255, 255, 255)); }

/// The read-outs' bold face, at 9 points unless the widest read-out any
/// language can write (the longest captions, five-digit ranges, miles) would
/// not fit in @p width pixels: the range must never be cut off.
QFont ReadoutFont(int width) {
    geo::Readout widest;
    widest.inside = true;
    widest.azimuth = widest.longAzimuth = 360;
    widest.distance = widest.longDistance = geo::CircumferenceKm;
    QStringList texts;
    for (const char* code : {"E", "F", "S"}) {
        const std::string azimuth = languages::Text(languages::kMessages.AzimuthPrefix, QLatin1String(code)).toStdString();
        const std::string range = languages::Text(languages::kMessages.RangePrefix, QLatin1String(code)).toStdString();
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
      ListBoxDXW(Named(new QListWidget, "ListBoxDXW")),
      LabelCall(Named(new QLabel(kViewerFixed.call), "LabelCall")),
      EditCall(Named(new QLineEdit, "EditCall")),
      LabelUTC(Named(new QLabel(kViewerFixed.utc), "LabelUTC")),
      EditUTC(Named(new QLineEdit, "EditUTC")),
      ImageDX(Named(new ImageWidget, "ImageDX")),
      ImageDX45(Named(new ImageWidget, "ImageDX45")),
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
      MenuTornavel(NamedAction("MenuTornavel", kViewerFixed.MenuTornavel, this)),
      MenusetTornavel(NamedAction("MenusetTornavel", Before(kViewer.MenusetTornavel), this)),
      PanelTornavel(Named(new QFrame, "PanelTornavel")),
      LabelTornavelpath(Named(new QLabel(Before(kViewer.LabelTornavelpath)), "LabelTornavelpath")),
      EditTornavelpath(Named(new QLineEdit, "EditTornavelpath")),
      ButtonParcourirTornavel(Named(new QPushButton(Before(kViewer.ButtonParcourirTornavel)), "ButtonParcourirTornavel")),
      ButtonOKTornavel(Named(new QPushButton(kViewerFixed.ButtonOKTornavel), "ButtonOKTornavel")),
      ButtonAnnuler(Named(new QPushButton(Before(kViewer.ButtonAnnuler)), "ButtonAnnuler")),
      PanelTRN(Named(new QFrame, "PanelTRN")),
      LabelTRN(Named(new QLabel(Before(kViewer.LabelTRN)), "LabelTRN")),
      LabelUrlRLK(Named(new widgets::TLabelUrl, "LabelUrlRLK")),
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
      Now([] { return QDateTime::currentDateTime(); }),
      RunOpenDialog([](QFileDialog& dialog) {
          return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                     ? dialog.selectedFiles().first()
                     : QString();
      }),
      generator_(generator),
      link_(link),
      language_(language) {
    setObjectName("TFormAzimut");
    setWindowTitle(QStringLiteral(KORVALEN_CAPTION));
    setMaximumSize(950, 700);

    menuBar()->addMenu(MenuFichier);
    MenuFichier->addAction(MenuEnregistrer);
    MenuFichier->addAction(Menugenerateur);
    MenuFichier->addAction(MenuListeDXCC);
    MenuFichier->addAction(MenusetTornavel);
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
    MenuOptions->addMenu(MenuChoixListe);
    auto* lists = new QActionGroup(this);
    for (QAction* a : {MenuDXCCOM, MenuDXCCCB}) {
        a->setCheckable(true);
        lists->addAction(a);
        MenuChoixListe->addAction(a);
    }
    MenuDXCCOM->setChecked(true);
    MenuOptions->addMenu(MenuSeparator);
    auto* separators = new QActionGroup(this);
    for (QAction* a : {SepDefault, SepUnderscore, SepSlash, SepEqual}) {
        a->setCheckable(true);
        separators->addAction(a);
        MenuSeparator->addAction(a);
    }
    SepDefault->setChecked(true);
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
    menuBar()->addAction(MenuTornavel);
    // Never seen: the language routine's handle, clicked by the program.
    ButtonLangue->setParent(this);
    ButtonLangue->hide();

    // The map at the top-left of the client area, the read-outs under it;
    // the window scrolls when it is smaller than this.
    auto* content = new QWidget;
    content->setObjectName("ContentAzimut");
    content->setFixedSize(kPanelLeft + kPanelWidth + 4, kReadoutTop + 24);
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

    ListBoxDXW->setParent(content);
    ListBoxDXW->setGeometry(kPanelLeft, 0, kPanelWidth, kListHeight);
    ListBoxDXW->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBoxDXW->setUniformItemSizes(true);
    ListBoxDXW->viewport()->setMouseTracking(true);
    ListBoxDXW->viewport()->installEventFilter(this);
    LabelCall->setParent(content);
    LabelCall->setGeometry(kPanelLeft, kCallTop, kPanelLabelWidth, 22);
    EditCall->setParent(content);
    EditCall->setGeometry(kPanelLeft + kPanelLabelWidth, kCallTop, kPanelWidth - kPanelLabelWidth, 22);
    LabelUTC->setParent(content);
    LabelUTC->setGeometry(kPanelLeft, kUtcTop, kPanelLabelWidth, 22);
    EditUTC->setParent(content);
    EditUTC->setGeometry(kPanelLeft + kPanelLabelWidth, kUtcTop, kPanelWidth - kPanelLabelWidth, 22);
    EditUTC->setReadOnly(true);
    for (QLabel* l : {LabelCall, LabelUTC}) l->setTextFormat(Qt::PlainText);

    ImageDX->setParent(content);
    ImageDX->setImage(MarkerImage(data::kDxMarkerPath));
    ImageDX45->setParent(content);
    ImageDX45->setImage(MarkerImage(data::kDxMarker45Path));
    for (ImageWidget* marker : {ImageDX, ImageDX45}) {
        marker->resize(marker->image().size());
        marker->hide();
    }
    TimerDX->setInterval(kMarkerInterval);

    BuildTornavelPanel(content);
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

    connect(MenuDXCCOM, &QAction::triggered, this, &TFormAzimut::MenuDXCCOMClick);
    connect(MenuDXCCCB, &QAction::triggered, this, &TFormAzimut::MenuDXCCCBClick);
    connect(SepDefault, &QAction::triggered, this, &TFormAzimut::SepDefaultClick);
    connect(SepUnderscore, &QAction::triggered, this, &TFormAzimut::SepUnderscoreClick);
    connect(SepSlash, &QAction::triggered, this, &TFormAzimut::SepSlashClick);
    connect(SepEqual, &QAction::triggered, this, &TFormAzimut::SepEqualClick);
    connect(MenuListeDXCC, &QAction::triggered, this, &TFormAzimut::MenuListeDXCCClick);
    connect(EditCall, &QLineEdit::textChanged, this, &TFormAzimut::EditCallChange);
    connect(TimerDX, &QTimer::timeout, this, &TFormAzimut::TimerDXTimer);
    connect(MenuTornavel, &QAction::triggered, this, &TFormAzimut::LaunchTornavel);
    connect(MenusetTornavel, &QAction::triggered, this, &TFormAzimut::MenusetTornavelClick);
    connect(ButtonParcourirTornavel, &QPushButton::clicked, this, &TFormAzimut::ButtonParcourirTornavelClick);
    connect(ButtonOKTornavel, &QPushButton::clicked, this, &TFormAzimut::ButtonOKTornavelClick);
    connect(ButtonAnnuler, &QPushButton::clicked, this, &TFormAzimut::ButtonAnnulerClick);
    connect(MenuRotators, &QAction::triggered, this, &TFormAzimut::RotatorSettingsRequested);
    connect(MenuEnglish, &QAction::triggered, this, &TFormAzimut::MenuEnglishClick);
    connect(MenuFrancais, &QAction::triggered, this, &TFormAzimut::MenuFrancaisClick);
    connect(MenuEspagnol, &QAction::triggered, this, &TFormAzimut::MenuEspagnolClick);
    connect(MenuAide, &QAction::triggered, this, &TFormAzimut::MenuAideClick);
    connect(menuInfo, &QAction::triggered, this, &TFormAzimut::InfoRequested);
    connect(ButtonLangue, &QPushButton::clicked, this, &TFormAzimut::ApplyViewerLanguage);
    connect(ImageDX, &ImageWidget::pointerMoved, this, &TFormAzimut::ImageDXMouseMove);
    connect(ImageDX45, &ImageWidget::pointerMoved, this, &TFormAzimut::ImageDX45MouseMove);
    // A row is chosen once per click, when the button comes up (the press
    // already makes it current); the keyboard chooses every row it moves to.
    connect(ListBoxDXW, &QListWidget::itemClicked, this, [this] { ListBoxDXWClick(); });
    connect(ListBoxDXW, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && !selectingQuietly_ && !listButtonDown_) ListBoxDXWClick();
    });
}

TFormAzimut::~TFormAzimut() = default;

void TFormAzimut::BuildTornavelPanel(QWidget* content) {
    // Raised and filled, so that it stands out from the map under it.
    PanelTornavel->setParent(content);
    PanelTornavel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PanelTornavel->setLineWidth(2);
    PanelTornavel->setAutoFillBackground(true);
    auto* grid = new QGridLayout(PanelTornavel);
    grid->addWidget(LabelTornavelpath, 0, 0, 1, 3);
    grid->addWidget(EditTornavelpath, 1, 0, 1, 2);
    grid->addWidget(ButtonParcourirTornavel, 1, 2);
    grid->addWidget(ButtonOKTornavel, 2, 1, Qt::AlignRight);
    grid->addWidget(ButtonAnnuler, 2, 2);
    grid->addWidget(PanelTRN, 3, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    PanelTRN->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* inner = new QVBoxLayout(PanelTRN);
    inner->addWidget(LabelTRN);
    inner->addWidget(LabelUrlRLK);
    for (QLabel* l : {LabelTornavelpath, LabelTRN}) l->setTextFormat(Qt::PlainText);
    // Before any language: the French page, its address as the caption.
    LabelUrlRLK->setUrl(QLatin1String(languages::kMakerSite) + Before(kViewer.LabelUrlRLK));
    PanelTornavel->setFixedWidth(kTornavelPanelWidth);
    PanelTornavel->adjustSize();
    PanelTornavel->move(kTornavelPanelLeft, kTornavelPanelTop);
    PanelTornavel->hide();
}

void TFormAzimut::ApplyViewerLanguage() {
    const QString code = language_.LanguageCode;
    if (!languages::HasBlock(code)) return;
    using languages::Text;
    MenuFichier->setTitle(Text(kViewer.MenuFichier, code));
    MenuEnregistrer->setText(Text(kViewer.MenuEnregistrer, code));
    Menugenerateur->setText(Text(kViewer.Menugenerateur, code));
    MenuListeDXCC->setText(Text(kViewer.MenuListeDXCC, code));
    MenusetTornavel->setText(Text(kViewer.MenusetTornavel, code));
    MenuOptions->setTitle(Text(kViewer.MenuOptions, code));
    MenuUnit->setTitle(Text(kViewer.MenuUnit, code));
    MenuTime->setTitle(Text(kViewer.MenuTime, code));
    MenuAxes->setText(Text(kViewer.MenuAxes, code));
    MenuDistances->setText(Text(kViewer.MenuDistances, code));
    MenuChoixListe->setTitle(Text(kViewer.MenuChoixListe, code));
    MenuDXCCOM->setText(Text(kViewer.MenuDXCCOM, code));
    MenuDXCCCB->setText(Text(kViewer.MenuDXCCCB, code));
    MenuSeparator->setTitle(Text(kViewer.MenuSeparator, code));
    SepDefault->setText(Text(kViewer.SepDefault, code));
    SepEqual->setText(Text(kViewer.SepEqual, code));
    SepSlash->setText(Text(kViewer.SepSlash, code));
    MenuLangue->setTitle(Text(kViewer.MenuLangue, code));
    MenuAide->setText(Text(kViewer.MenuAide, code));
    MenuInfoVersion->setText(Text(kViewer.MenuInfoVersion, code));
    LabelTornavelpath->setText(Text(kViewer.LabelTornavelpath, code));
    ButtonParcourirTornavel->setText(Text(kViewer.ButtonParcourirTornavel, code));
    ButtonAnnuler->setText(Text(kViewer.ButtonAnnuler, code));
    LabelTRN->setText(Text(kViewer.LabelTRN, code));
    LabelUrlRLK->setUrl(QLatin1String(languages::kMakerSite) + Text(kViewer.LabelUrlRLK, code));

    MenuEnglish->setChecked(code == QLatin1String("E"));
    MenuFrancais->setChecked(code == QLatin1String("F"));
    MenuEspagnol->setChecked(code == QLatin1String("S"));

    using languages::kMessages;
    language_.SaveQuestion = Text(kMessages.SaveQuestion, code);
    state_.AzimuthCaption = Text(kMessages.AzimuthPrefix, code);
    state_.RangeCaption = Text(kMessages.RangePrefix, code);
    language_.ConnectedMessage = Text(kMessages.ConnectedMessage, code);
    language_.NewerReleaseText = languages::NewerReleaseText(code);
    language_.UpToDateText = Text(kMessages.UpToDate, code);
    language_.DxEmptyFieldText = Text(kMessages.DxEmptyField, code);
    language_.DxNorthSouthText = Text(kMessages.DxNorthSouth, code);
    language_.DxEastWestText = Text(kMessages.DxEastWest, code);
    language_.DxBadNumberText = Text(kMessages.DxBadNumber, code);
    emit EditorLanguageRequested();
}

void TFormAzimut::LanguageItemClick(const QString& code) {
    emit GeneratorLanguageRequested(code);
    ApplyViewerLanguage();
}

void TFormAzimut::MenuEnglishClick() { LanguageItemClick(QStringLiteral("E")); }
void TFormAzimut::MenuFrancaisClick() { LanguageItemClick(QStringLiteral("F")); }
void TFormAzimut::MenuEspagnolClick() { LanguageItemClick(QStringLiteral("S")); }

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
    chosenList_ = values.list;
    // The stored separator is current from the start (the list only from
    // the first showing): its item is ticked now.
    separator_ = values.separator;
    CheckSeparatorItem();
    state_.UnitFactor = values.unitFactor == geo::KilometreFactor ? geo::KilometreFactor : geo::StatuteMileFactor;
    state_.Tornavel.TornavelPath = Utf8(values.rotatorProgramPath);
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
    values.list = chosenList_;
    values.separator = separator_;
    values.rotatorProgramPath = state_.Tornavel.TornavelPath.toStdString();
}

void TFormAzimut::ApplyStartGeometry() {
    // Top, left, height and width as read at start; the window returns to
    // them whenever it is shown.
    move(startLeft_, startTop_);
    resize(startWidth_, startHeight_);
}

void TFormAzimut::FormCreate(const QString& savedMapFile) {
    ApplyStartGeometry();
    // The working list is bound to the ham list, checked in the menu from
    // the start; the stored list comes with the first showing.
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
    FillDxList();
    StartClock();
}

void TFormAzimut::FormShow() {
    ApplyStartGeometry();
    ScrollBoxAzimut->horizontalScrollBar()->setValue(startHorizontalScroll_);
    ApplyViewerLanguage();
    ListBoxDXW->setFocus();
    if (startUtc_)
        MenuTimeUTCClick();
    else
        MenuTimeLocalClick();
    if (!TimerSeconde->isActive()) TimerSeconde->start();
    setWindowTitle(QStringLiteral(KORVALEN_CAPTION));
    if (state_.UnitFactor != geo::KilometreFactor) MenuUnitmileClick();
    ChooseList(chosenList_);
    DrawCentreLabel();
    ListBoxDXWClick();  // the row still selected, if any, is chosen again
}

void TFormAzimut::FormActivate() {
    ApplyViewerLanguage();
    ChooseSeparator(separator_);
    EditTornavelpath->setText(state_.Tornavel.TornavelPath);
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
    HideMarker();
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
    TimerDX->stop();
    StopClock();
    SelectQuietly(-1);
    StaticTextAzim->clear();
    SetCallQuietly(QString());
    StaticTextLP->clear();
    keptAzimuthReadout_.clear();
    keptLongPathReadout_.clear();
    ListBoxDXW->setToolTip(QString());
    // The next map may have another centre: a marker left on it would point
    // at the wrong place.
    HideMarker();
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

// ---- The DX panel ----

void TFormAzimut::FillDxList() {
    const std::vector<dx::DxRecord> user = UserDxEntries ? UserDxEntries(list_) : std::vector<dx::DxRecord>();
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

void TFormAzimut::ChooseList(dx::DxList list) {
    MenuDXCCOM->setChecked(list == dx::DxList::Ham);
    MenuDXCCCB->setChecked(list == dx::DxList::ElevenMetre);
    list_ = chosenList_ = list;
    TimerDX->stop();
    StaticTextAzim->clear();
    StaticTextLP->clear();
    EditUTC->clear();
    SetCallQuietly(QString());
    ListBoxDXW->setToolTip(QString());
    FillDxList();
    emit DxListChosen(list);
}

void TFormAzimut::MenuDXCCOMClick() { ChooseList(dx::DxList::Ham); }

void TFormAzimut::MenuDXCCCBClick() { ChooseList(dx::DxList::ElevenMetre); }

void TFormAzimut::CheckSeparatorItem() {
    SepDefault->setChecked(separator_ == dx::Separator::Default);
    SepUnderscore->setChecked(separator_ == dx::Separator::Underscore);
    SepSlash->setChecked(separator_ == dx::Separator::Slash);
    SepEqual->setChecked(separator_ == dx::Separator::Equal);
}

void TFormAzimut::ChooseSeparator(dx::Separator separator) {
    separator_ = separator;
    CheckSeparatorItem();
    FillDxList();
}

void TFormAzimut::SepDefaultClick() { ChooseSeparator(dx::Separator::Default); }

void TFormAzimut::SepUnderscoreClick() { ChooseSeparator(dx::Separator::Underscore); }

void TFormAzimut::SepSlashClick() { ChooseSeparator(dx::Separator::Slash); }

void TFormAzimut::SepEqualClick() { ChooseSeparator(dx::Separator::Equal); }

void TFormAzimut::MenuListeDXCCClick() { emit ManageDxRequested(list_); }

void TFormAzimut::ListBoxDXWClick(bool fromLookup) {
    const int row = ListBoxDXW->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size() || !ListBoxDXW->item(row)->isSelected()) return;
    const dx::RowChoice choice =
        dx::ChooseRow(rows_[static_cast<std::size_t>(row)], dx::SeparatorText(separator_), widgets::DecimalSeparator(),
                      {generator_.CentreLatitude, generator_.CentreLongitude}, state_.UnitFactor,
                      state_.AzimuthCaption.toStdString(), state_.RangeCaption.toStdString());
    ListBoxDXW->setToolTip(Utf8(choice.hint));
    if (choice.key && !fromLookup) SetCallQuietly(Utf8(*choice.key));
    if (choice.utc) EditUTC->setText(Utf8(*choice.utc));
    if (!choice.beam) {
        widgets::Beep();
        return;
    }
    const dx::DxBeam& beam = *choice.beam;
    StaticTextAzim->setText(Utf8(beam.readouts.shortPath));
    StaticTextLP->setText(Utf8(beam.readouts.longPath));
    keptAzimuthReadout_ = StaticTextAzim->text();
    keptLongPathReadout_ = StaticTextLP->text();
    // The marker widgets scroll with the map, so map pixels place them.
    // The DX is the marker picture's centre pixel.
    for (ImageWidget* marker : {ImageDX, ImageDX45}) {
        marker->move(beam.marker.x - marker->width() / 2, beam.marker.y - marker->height() / 2);
        marker->raise();
    }
    ImageDX->show();
    ImageDX45->hide();
    TimerDX->start();
    emit PublishAzimuth(QString::number(beam.azimuth));
}

void TFormAzimut::EditCallChange() {
    if (callWrittenByChoice_) return;
    const dx::CallLookup found =
        dx::LookupCall(rows_, EditCall->text().toStdString(), list_, dx::SeparatorText(separator_));
    switch (found.outcome) {
        case dx::CallLookup::Outcome::Nothing: return;
        case dx::CallLookup::Outcome::Beep: widgets::Beep(); return;
        case dx::CallLookup::Outcome::Row: break;
    }
    const int row = static_cast<int>(found.row);
    if (row >= ListBoxDXW->count()) return;
    ListBoxDXW->scrollToItem(ListBoxDXW->item(row), QAbstractItemView::PositionAtTop);
    SelectQuietly(row);
    ListBoxDXWClick(true);
}

void TFormAzimut::TimerDXTimer() {
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

void TFormAzimut::ImageDXMouseMove(int x, int y) { ImageAzimutMouseMove(ImageDX->x() + x, ImageDX->y() + y); }

void TFormAzimut::ImageDX45MouseMove() {
    StaticTextAzim->setText(keptAzimuthReadout_);
    StaticTextLP->setText(keptLongPathReadout_);
    if (!StaticTextAzim->text().isEmpty()) {
        ImageDX->show();
        TimerDX->start();
    }
}

void TFormAzimut::ListBoxDXWMouseMove() {
    if (TimerDX->isActive()) return;
    StaticTextAzim->setText(keptAzimuthReadout_);
    StaticTextLP->setText(keptLongPathReadout_);
    if (!StaticTextAzim->text().isEmpty() && !EditCall->text().isEmpty()) {
        ImageDX->show();
        TimerDX->start();
    }
}

void TFormAzimut::SetCallQuietly(const QString& text) {
    callWrittenByChoice_ = true;
    EditCall->setText(text);
    callWrittenByChoice_ = false;
}

void TFormAzimut::SelectQuietly(int row) {
    selectingQuietly_ = true;
    if (row < 0) {
        ListBoxDXW->clearSelection();
        ListBoxDXW->setCurrentRow(-1);
    } else {
        ListBoxDXW->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
    selectingQuietly_ = false;
}

void TFormAzimut::HideMarker() {
    ImageDX->hide();
    ImageDX45->hide();
    TimerDX->stop();
}

// ---- The rotator program ----

void TFormAzimut::LaunchTornavel() {
    switch (rotator::LaunchTornavel(state_.Tornavel, link_.ClientConnected(), TornavelActions)) {
        case rotator::LaunchOutcome::AlreadyOpen:
            ShowTornavelError(rotator::AlreadyOpenMessage(language_.LanguageCode));
            break;
        case rotator::LaunchOutcome::AskForPath:
            ShowTornavelPanel();
            break;
        case rotator::LaunchOutcome::LaunchFailed:
            ShowTornavelError(rotator::LaunchErrorMessage(language_.LanguageCode));
            EditTornavelpath->clear();
            break;
        case rotator::LaunchOutcome::ClientConnected:
        case rotator::LaunchOutcome::Started:
            break;
    }
}

void TFormAzimut::ShowTornavelError(const QString& text) {
    // Before any language there is no text to show: the launch stays silent.
    if (!text.isEmpty()) widgets::ShowMessage(this, widgets::MessageKind::Error, text);
}

void TFormAzimut::ShowTornavelPanel() {
    PanelTornavel->show();
    PanelTornavel->raise();
    // A small window may be scrolled away from the panel's place.
    ScrollBoxAzimut->ensureWidgetVisible(PanelTornavel, 0, 0);
    EditTornavelpath->setFocus();
}

void TFormAzimut::MenusetTornavelClick() {
    ShowTornavelPanel();
    state_.Tornavel.LaunchPending = false;
}

void TFormAzimut::ButtonParcourirTornavelClick() {
    if (!OpenDialogTornavel) {
        // No filter and no title: the program may have any name.
        OpenDialogTornavel = Named(new QFileDialog(this), "OpenDialogTornavel");
        OpenDialogTornavel->setFileMode(QFileDialog::ExistingFile);
    }
    const QString picked = RunOpenDialog(*OpenDialogTornavel);
    if (picked.isEmpty()) return;
    // In force at once: cancelling the panel afterwards keeps it.
    state_.Tornavel.TornavelPath = picked;
    EditTornavelpath->setText(picked);
}

void TFormAzimut::ButtonOKTornavelClick() {
    if (EditTornavelpath->text().isEmpty()) return;
    state_.Tornavel.TornavelPath = EditTornavelpath->text();
    PanelTornavel->hide();
    if (state_.Tornavel.LaunchPending) LaunchTornavel();
}

void TFormAzimut::ButtonAnnulerClick() {
    state_.Tornavel.LaunchPending = false;
    PanelTornavel->hide();
}

void TFormAzimut::ShowRotatorStatus(const QString& text) { StaticTextRotator->setText(text); }

void TFormAzimut::UserListChanged() {
    ListBoxDXW->hide();
    FillDxList();
    ListBoxDXW->show();
    if (!EditCall->text().isEmpty()) EditCallChange();
}

bool TFormAzimut::eventFilter(QObject* watched, QEvent* e) {
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
    return QMainWindow::eventFilter(watched, e);
}

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
