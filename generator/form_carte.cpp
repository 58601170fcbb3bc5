#include "generator/form_carte.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QStyle>
#include <QStyleFactory>

#include "data/resources.h"
#include "generator/map_generation.h"
#include "korvalen_version.h"
#include "languages/tables.h"
#include "rotator/close_guard.h"
#include "widgets/label_url.h"
#include "widgets/named.h"

namespace korvalen::generator {

namespace {

// Client area: the world map, and one row of controls under it.
constexpr int kRowTop = geo::WorldHeight + 6;
constexpr int kClientHeight = geo::WorldHeight + 34;

}  // namespace

using widgets::ImageWidget;
using widgets::Named;
using widgets::NamedAction;

TFormCarte::TFormCarte(const rotator::AzimuthLink& link, languages::LanguageState& language)
    : QMainWindow(nullptr),
      ImageMercator(Named(new ImageWidget, "ImageMercator")),
      ImageORLAK(Named(new ImageWidget, "ImageORLAK")),
      StaticText1(Named(new QLabel, "StaticText1")),
      Label2(Named(new QLabel, "Label2")),
      EditQRA(Named(new QLineEdit, "EditQRA")),
      BitBtn1(Named(new QPushButton, "BitBtn1")),
      StaticTextPos(Named(new QLabel, "StaticTextPos")),
      ProgressBarCalcul(Named(new QProgressBar, "ProgressBarCalcul")),
      TimerFinImage(Named(new QTimer(this), "TimerFinImage")),
      Menuquitter(NamedAction("Menuquitter", languages::Before(languages::kGenerator.Menuquitter), this)),
      MenuVoir(NamedAction("MenuVoir", languages::Before(languages::kGenerator.MenuVoir), this)),
      MenuLangue(Named(new QMenu(languages::Before(languages::kGenerator.MenuLangue), this), "MenuLangue")),
      MenuEnglish(NamedAction("MenuEnglish", QString::fromUtf8(languages::kGeneratorEnglish), this)),
      MenuFrancais(NamedAction("MenuFrancais", QString::fromUtf8(languages::kGeneratorFrancais), this)),
      MenuEspagnol(NamedAction("MenuEspagnol", QString::fromUtf8(languages::kGeneratorEspagnol), this)),
      MenuInfo(NamedAction("MenuInfo", QString::fromUtf8(languages::kGeneratorInfo), this)),
      MenuAide(NamedAction("MenuAide", languages::Before(languages::kGenerator.MenuAide), this)),
      link_(link),
      language_(language) {
    setObjectName("TFormCarte");
    setWindowTitle(languages::Before(languages::kGenerator.captionSuffix));

    // Main menu, in its order: Quit, Display, Language, Info, Help.
    menuBar()->addAction(Menuquitter);
    menuBar()->addAction(MenuVoir);
    menuBar()->addMenu(MenuLangue);
    menuBar()->addAction(MenuInfo);
    menuBar()->addAction(MenuAide);
    auto* languages = new QActionGroup(this);
    for (QAction* item : {MenuEnglish, MenuFrancais, MenuEspagnol}) {
        item->setCheckable(true);
        languages->addAction(item);
        MenuLangue->addAction(item);
    }
    MenuEnglish->setChecked(true);
    MenuVoir->setEnabled(false);

    auto* client = new QWidget;
    client->setObjectName("ClientCarte");
    client->setFixedSize(geo::WorldWidth, kClientHeight);
    setCentralWidget(client);

    ImageMercator->setParent(client);
    ImageMercator->setImage(QImage(QString::fromLatin1(data::kWorldMapPath)));
    ImageMercator->move(0, 0);
    ImageORLAK->setParent(client);
    ImageORLAK->setImage(QImage(QString::fromLatin1(data::kMarkPath)));
    ImageORLAK->move(710, 490);
    ImageORLAK->setCursor(Qt::PointingHandCursor);

    StaticText1->setParent(client);
    StaticText1->setText(QString::fromUtf8(languages::kGeneratorFirstPrompt));
    StaticText1->setGeometry(4, kRowTop, 300, 22);
    Label2->setParent(client);
    Label2->setText("locator=");
    Label2->setGeometry(310, kRowTop, 56, 22);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EditQRA->setParent(client);
    EditQRA->setGeometry(370, kRowTop, 96, 22);
    EditQRA->setMaxLength(32);
    EditQRA->setTextMargins(0, 0, 20, 0);
    EditQRA->installEventFilter(this);
    // The small button sits over the right end of the locator box.
    BitBtn1->setParent(client);
    BitBtn1->setGeometry(370 + 96 - 21, kRowTop + 2, 19, 18);
    BitBtn1->setText(QString::fromUtf8("\u2713"));
    // Tab moves from the box to the button and on, as in any form.
    BitBtn1->setFocusPolicy(Qt::TabFocus);
    BitBtn1->setDefault(true);
    BitBtn1->raise();
    StaticTextPos->setParent(client);
    StaticTextPos->setGeometry(476, kRowTop, 170, 22);
    StaticTextPos->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ProgressBarCalcul->setParent(client);
    ProgressBarCalcul->setGeometry(654, kRowTop + 2, 136, 18);
    ProgressBarCalcul->setRange(0, geo::WorldWidth);
    ProgressBarCalcul->setValue(0);
    ProgressBarCalcul->setTextVisible(false);
    // The bar repaints after every column of the generation. The default
    // style draws it with antialiased rounded shapes whose filling Qt hands
    // to its thread pool at every repaint; the Windows style's plain
    // rectangles are drawn on this thread. The style belongs to the bar.
    if (QStyle* barStyle = QStyleFactory::create(QStringLiteral("Windows"))) {
        barStyle->setParent(ProgressBarCalcul);
        ProgressBarCalcul->setStyle(barStyle);
    }

    TimerFinImage->setInterval(100);
    TimerFinImage->setSingleShot(false);

    connect(ImageMercator, &ImageWidget::pointerMoved, this, &TFormCarte::ImageMercatorMouseMove);
    connect(ImageORLAK, &ImageWidget::pointerMoved, this, &TFormCarte::ImageORLAKMouseMove);
    connect(ImageMercator, &ImageWidget::buttonReleased, this, &TFormCarte::ImageMercatorMouseUp);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormCarte::BitBtn1Click);
    connect(MenuVoir, &QAction::triggered, this, &TFormCarte::MenuVoirClick);
    connect(Menuquitter, &QAction::triggered, this, &TFormCarte::MenuquitterClick);
    connect(MenuAide, &QAction::triggered, this, &TFormCarte::MenuAideClick);
    connect(MenuInfo, &QAction::triggered, this, &TFormCarte::InfoRequested);
    connect(TimerFinImage, &QTimer::timeout, this, &TFormCarte::TimerFinImageTimer);
    connect(MenuEnglish, &QAction::triggered, this, &TFormCarte::MenuEnglishClick);
    connect(MenuFrancais, &QAction::triggered, this, &TFormCarte::MenuFrancaisClick);
    connect(MenuEspagnol, &QAction::triggered, this, &TFormCarte::MenuEspagnolClick);

    centralWidget()->installEventFilter(this);
}

void TFormCarte::RestoreCentre(const QString& centreText, const geo::LatLong& centre) {
    state_.CentreText = centreText;
    state_.CentreLatitude = centre.latitude;
    state_.CentreLongitude = centre.longitude;
}

void TFormCarte::SetLocatorCentre(const geo::LatLong& centre) {
    state_.CentreLongitude = centre.longitude;
    state_.CentreLatitude = centre.latitude;
    state_.LocatorPending = true;
}

void TFormCarte::CheckCommandLineLocator(const QStringList& arguments) {
    if (arguments.isEmpty()) return;
    // LocatorToLatLong takes either case of a-z itself: upper-casing with
    // Unicode's rules first would turn "ı" or "ﬀ" into letters it accepts.
    if (const auto p = geo::LocatorToLatLong(arguments.first().toStdString())) SetLocatorCentre(*p);
}

void TFormCarte::ImageMercatorMouseMove(int x, int y) {
    const geo::LatLong p = geo::WorldPixelToLatLong(x, y);
    StaticTextPos->setText(QString::fromStdString(geo::LatLongToText(p.latitude, p.longitude)));
}

void TFormCarte::ImageORLAKMouseMove(int x, int y) { ImageMercatorMouseMove(x + 710, y + 490); }

void TFormCarte::ImageMercatorMouseUp(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton && button != Qt::MiddleButton) return;
    GenerateAzimuthalMap(button, x, y);
}

void TFormCarte::BitBtn1Click() {
    if (state_.GenerationBusy) return;
    const auto p = geo::LocatorToLatLong(EditQRA->text().toStdString());
    if (!p) return;
    SetLocatorCentre(*p);
    GenerateAzimuthalMap(Qt::LeftButton, 0, 0);
}

void TFormCarte::GenerateAzimuthalMap(Qt::MouseButton button, int x, int y) {
    if (button == Qt::RightButton || state_.GenerationBusy) return;
    display_.get().Window().hide();
    state_.MapUnsaved = false;
    state_.GenerationBusy = true;
    ProgressBarCalcul->setValue(0);
    MenuVoir->setEnabled(false);
    StaticText1->setText(language_.GenerationText);
    if (state_.LocatorPending) {
        state_.LocatorPending = false;
    } else {
        const geo::LatLong p = geo::WorldPixelToLatLong(x, y);
        state_.CentreLatitude = p.latitude;
        state_.CentreLongitude = p.longitude;
        EditQRA->clear();
    }
    state_.CentreText = QString::fromStdString(geo::LatLongToText(state_.CentreLatitude, state_.CentreLongitude));
    StaticTextPos->setText(state_.CentreText);
    // The operator sees the busy text and the bar move while the generation
    // runs inside this event; no other input is taken meanwhile.
    StaticText1->repaint();
    StaticTextPos->repaint();
    MapDisplay& display = display_.get();
    if (!projector_) projector_ = std::make_unique<AzimuthalProjector>();
    GenerateMapImage(*projector_, ImageMercator->image(), display.MapTemplate(), display.MapImage(),
                     state_.CentreLatitude, state_.CentreLongitude, [this](int column) {
                         ProgressBarCalcul->setValue(column);
                         ProgressBarCalcul->repaint();
                     });
    ++generationCount_;
    display.MapImageChanged();
    state_.GenerationBusy = false;
    state_.MapUnsaved = true;
    MenuVoir->setEnabled(true);
    StaticText1->setText(language_.PromptText);
    HandOverToViewer();
}

void TFormCarte::HandOverToViewer() {
    // The viewer stands alone on the screen as soon as it shows; waiting for
    // this window's next paint would leave it up until something happened
    // to repaint it.
    display_.get().Window().show();
    hide();
}

void TFormCarte::ApplyGeneratorLanguage(languages::Language language, bool fromSettingsFile) {
    using languages::kGenerator;
    using languages::Language;
    using languages::Text;
    MenuEnglish->setChecked(language == Language::English);
    MenuFrancais->setChecked(language == Language::French);
    MenuEspagnol->setChecked(language == Language::Spanish);
    language_.LanguageCode = languages::CodeOf(language);
    setWindowTitle(QStringLiteral(KORVALEN_CAPTION) + Text(kGenerator.captionSuffix, language));
    Menuquitter->setText(Text(kGenerator.Menuquitter, language));
    MenuLangue->setTitle(Text(kGenerator.MenuLangue, language));
    MenuAide->setText(Text(kGenerator.MenuAide, language));
    MenuVoir->setText(Text(kGenerator.MenuVoir, language));
    language_.HelpFileName = Text(kGenerator.HelpFileName, language);
    language_.PromptText = Text(kGenerator.prompt, language);
    language_.GenerationText = Text(kGenerator.generating, language);
    StaticText1->setText(state_.GenerationBusy ? language_.GenerationText : language_.PromptText);
    if (!fromSettingsFile) emit ViewerLanguageRequested();
}

void TFormCarte::MenuEnglishClick() { ApplyGeneratorLanguage(languages::Language::English); }
void TFormCarte::MenuFrancaisClick() { ApplyGeneratorLanguage(languages::Language::French); }
void TFormCarte::MenuEspagnolClick() { ApplyGeneratorLanguage(languages::Language::Spanish); }

QAction* TFormCarte::LanguageItem(languages::Language language) const {
    switch (language) {
    case languages::Language::French: return MenuFrancais;
    case languages::Language::Spanish: return MenuEspagnol;
    case languages::Language::English: break;
    }
    return MenuEnglish;
}

languages::Language TFormCarte::TickedLanguage() const {
    if (MenuFrancais->isChecked()) return languages::Language::French;
    if (MenuEspagnol->isChecked()) return languages::Language::Spanish;
    return languages::Language::English;
}

void TFormCarte::ReturnFromViewer() {
    show();
    ProgressBarCalcul->setValue(0);
    EditQRA->clear();
}

void TFormCarte::MenuVoirClick() { HandOverToViewer(); }

void TFormCarte::MenuquitterClick() { close(); }

void TFormCarte::MenuAideClick() { widgets::OpenHelpPage(language_.HelpFileName); }

void TFormCarte::closeEvent(QCloseEvent* event) {
    // The request itself never closes the window: the program goes on or ends.
    event->ignore();
    if (rotator::CloseRefused(this, link_, language_)) return;
    returnToViewer_ = false;
    emit ProgramEndRequested();
}

void TFormCarte::FormActivate() {
    if (returnToViewer_) {
        returnToViewer_ = false;
        if (MapDisplay* display = display_.ifMade(); display && display->Window().isVisible())
            display->Window().activateWindow();
    } else if (MapDisplay* display = display_.ifMade(); display && display->TakeSavedMapLoaded()) {
        ShowKeptMap();
    }
}

void TFormCarte::ShowKeptMap() {
    MenuVoir->setEnabled(true);
    HandOverToViewer();
    returnToViewer_ = true;
}

void TFormCarte::FormPaint() {
    if (MapDisplay* display = display_.ifMade(); display && display->Window().isVisible()) {
        // Hiding from inside a paint event is not safe; do it right after.
        QMetaObject::invokeMethod(
            this, [this] { if (display_.get().Window().isVisible()) hide(); }, Qt::QueuedConnection);
    }
    TimerFinImage->start();
}

void TFormCarte::TimerFinImageTimer() {
    TimerFinImage->stop();
    if (state_.LocatorPending) GenerateAzimuthalMap(Qt::LeftButton, 0, 0);
    // The kept map comes up when this window is first activated. Some
    // desktops never activate a new window (no window manager, focus
    // stealing prevention, Wayland); the map must not stay hidden there,
    // with the menu that would show it still disabled.
    else if (display_.get().TakeSavedMapLoaded())
        ShowKeptMap();
}

bool TFormCarte::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) FormActivate();
    if (e->type() == QEvent::KeyPress) {
        // Enter anywhere in the window presses the default button.
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BitBtn1Click();
            return true;
        }
    }
    return QMainWindow::event(e);
}

bool TFormCarte::eventFilter(QObject* watched, QEvent* e) {
    if (watched == EditQRA && e->type() == QEvent::FocusIn) {
        // Moving into the locator box from another control of the window
        // presses the button too, so a locator left in it generates again.
        // The window becoming active again, or a menu closing, hands the
        // focus back to the box without the operator going there.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason)
            QMetaObject::invokeMethod(this, &TFormCarte::BitBtn1Click, Qt::QueuedConnection);
    }
    if (watched == centralWidget() && e->type() == QEvent::Paint) FormPaint();
    return QMainWindow::eventFilter(watched, e);
}

}  // namespace korvalen::generator
