// The main road through the real windows: the world map's read-out, the
// choice of a centre, the generation and its states, the viewer's read-out,
// the click that publishes the azimuth, and the way back.
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalSpy>

#include "tests/windows/windows_fixture.h"

using namespace korvalen;
using korvalen::testing::WindowsTest;
using korvalen::widgets::MessageKind;

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

using GeneratorWindow = WindowsTest;

TEST_F(GeneratorWindow, StartsWithTheWorldMapAndItsBuiltInTexts) {
    Start();
    EXPECT_TRUE(carte().isVisible());
    EXPECT_FALSE(viewer().isVisible());
    EXPECT_EQ(carte().windowTitle(), "KORVALEN - Azimuthal Map generator by ORLAK");
    EXPECT_EQ(carte().StaticText1->text(), U(" Cliquez la carte ou entrer un locator >>>"));
    EXPECT_FALSE(carte().MenuVoir->isEnabled());
    EXPECT_TRUE(carte().MenuEnglish->isChecked());
    EXPECT_EQ(carte().ImageMercator->image().size(), QSize(796, 510));
    // The world map fills the client area from its top-left corner; the
    // mark's top-left lies over map pixel (710, 490).
    EXPECT_EQ(carte().ImageMercator->mapTo(carte().centralWidget(), QPoint(0, 0)), QPoint(0, 0));
    EXPECT_EQ(carte().ImageMercator->mapFromGlobal(carte().ImageORLAK->mapToGlobal(QPoint(0, 0))), QPoint(710, 490));
    EXPECT_EQ(carte().ImageORLAK->size(), QSize(80, 17));
    EXPECT_EQ(carte().ProgressBarCalcul->maximum(), 796);
    // Every named component can be found by its name.
    for (const char* name : {"ImageMercator", "ImageORLAK", "StaticText1", "Label2", "EditQRA", "BitBtn1",
                             "StaticTextPos", "ProgressBarCalcul", "TimerFinImage"})
        EXPECT_NE(carte().findChild<QObject*>(name), nullptr) << name;
    for (const char* name : {"Menuquitter", "MenuVoir", "MenuEnglish", "MenuInfo", "MenuAide"})
        EXPECT_NE(carte().findChild<QAction*>(name), nullptr) << name;
}

TEST_F(GeneratorWindow, PointerReadoutOverTheMapAndTheMark) {
    Start();
    struct Case { int x, y; const char* text; } cases[] = {
        {0, 0, "90\u00b00' N / 180\u00b00' W"},
        {398, 255, "0\u00b00' N / 0\u00b00' E"},
        {795, 509, "89\u00b039' S / 179\u00b033' E"},
    };
    for (const auto& c : cases) {
        Move(carte().ImageMercator, c.x, c.y);
        EXPECT_EQ(carte().StaticTextPos->text(), U(c.text)) << c.x << "," << c.y;
    }
    Move(carte().ImageMercator, 710, 490);
    const QString under = carte().StaticTextPos->text();
    Move(carte().ImageMercator, 0, 0);
    Move(carte().ImageORLAK, 0, 0);
    EXPECT_EQ(carte().StaticTextPos->text(), under);
}

TEST_F(GeneratorWindow, RightClickIgnoredMiddleClickGenerates) {
    Start();
    Click(carte().ImageMercator, 398, 255, Qt::RightButton);
    EXPECT_EQ(carte().GenerationCount(), 0);
    EXPECT_FALSE(viewer().isVisible());
    EXPECT_TRUE(centre().CentreText.isEmpty());
    Click(carte().ImageMercator, 398, 255, Qt::MiddleButton);
    EXPECT_EQ(carte().GenerationCount(), 1);
    EXPECT_EQ(centre().CentreText, U("0\u00b00' N / 0\u00b00' E"));
    EXPECT_TRUE(viewer().isVisible());
}

// Clicks and the locator button reached while a generation runs (from
// inside it, as a repaint is) start nothing.
class ClicksWhileBusy : public QObject {
public:
    explicit ClicksWhileBusy(generator::TFormCarte& carte) : carte_(carte) {}
    int tries = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && carte_.State().GenerationBusy && tries < 3) {
            ++tries;
            QTest::mouseClick(carte_.ImageMercator, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
            carte_.EditQRA->setText("JN18EU");
            carte_.BitBtn1Click();
        }
        return false;
    }

private:
    generator::TFormCarte& carte_;
};

TEST_F(GeneratorWindow, ClickDuringAGenerationIsIgnored) {
    Start();
    ClicksWhileBusy busy(carte());
    carte().ProgressBarCalcul->installEventFilter(&busy);
    GenerateAt(398, 255);
    carte().ProgressBarCalcul->removeEventFilter(&busy);
    EXPECT_EQ(busy.tries, 3);
    EXPECT_EQ(carte().GenerationCount(), 1);
    EXPECT_EQ(centre().CentreText, U("0\u00b00' N / 0\u00b00' E"));
}

TEST_F(GeneratorWindow, TypedLocatorWithEnterGeneratesAndFocusInRepeats) {
    Start();
    carte().activateWindow();
    carte().EditQRA->setFocus();
    QCoreApplication::processEvents();  // the focus-in with an empty box does nothing
    EXPECT_EQ(carte().GenerationCount(), 0);
    QTest::keyClicks(carte().EditQRA, "jn18eu");
    QTest::keyClick(carte().EditQRA, Qt::Key_Return);
    EXPECT_EQ(carte().GenerationCount(), 1);
    EXPECT_EQ(centre().CentreText, U("48\u00b051' N / 2\u00b022' E"));
    EXPECT_EQ(carte().EditQRA->text(), "jn18eu");
    EXPECT_FALSE(centre().LocatorPending);

    // Back in the generator, tabbing into the box with the text still in it
    // generates the same map again.
    carte().show();
    carte().activateWindow();
    ASSERT_TRUE(WaitFor([&] { return carte().isActiveWindow(); }));
    carte().BitBtn1->setFocus();
    carte().EditQRA->clearFocus();
    carte().EditQRA->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(carte().GenerationCount(), 2);
    EXPECT_EQ(centre().CentreText, U("48\u00b051' N / 2\u00b022' E"));
}

// Entering the locator box from another control of the window (Tab,
// Shift+Tab, a click) presses the button; the window becoming active again,
// a menu or popup closing, or the program moving the focus do not: a
// locator typed without Enter was generated whenever a menu closed.
TEST_F(GeneratorWindow, OnlyEnteringTheBoxFromAnotherControlPressesTheButton) {
    const struct {
        Qt::FocusReason reason;
        const char* name;
        bool presses;
    } cases[] = {
        {Qt::ActiveWindowFocusReason, "window activated", false}, {Qt::PopupFocusReason, "popup closed", false},
        {Qt::MenuBarFocusReason, "menu bar", false},             {Qt::OtherFocusReason, "program", false},
        {Qt::TabFocusReason, "Tab", true},                        {Qt::BacktabFocusReason, "Shift+Tab", true},
        {Qt::MouseFocusReason, "click", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Start();
        carte().activateWindow();
        ASSERT_TRUE(WaitFor([&] { return carte().isActiveWindow(); }));
        carte().EditQRA->setText("JN18EU");
        carte().BitBtn1->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), carte().BitBtn1);
        carte().EditQRA->setFocus(c.reason);
        QCoreApplication::processEvents();
        EXPECT_EQ(carte().GenerationCount(), c.presses ? 1 : 0);
        Stop();
    }
}

TEST_F(GeneratorWindow, TabGoesFromTheBoxToTheButtonAndEnterThereGeneratesOnce) {
    Start();
    carte().activateWindow();
    ASSERT_TRUE(WaitFor([&] { return carte().isActiveWindow(); }));
    carte().EditQRA->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(carte().EditQRA, "jn18eu");
    QTest::keyClick(carte().EditQRA, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), carte().BitBtn1);
    EXPECT_EQ(carte().GenerationCount(), 0);
    QTest::keyClick(carte().BitBtn1, Qt::Key_Return);
    EXPECT_EQ(carte().GenerationCount(), 1);
}

// The viewer stands alone on the screen as soon as a generation ends,
// whatever started it, without waiting for another event to repaint the
// generator.
TEST_F(GeneratorWindow, TheGeneratorLeavesTheScreenWhenTheViewerShows) {
    for (const std::string starter : {"typed locator", "click", "command line"}) {
        SCOPED_TRACE(starter);
        // No event is delivered meanwhile: nothing else may hide the window.
        if (starter == "command line") {
            StartQuietly({"JN18EU"});
            carte().TimerFinImageTimer();
        } else {
            StartQuietly();
            if (starter == "click") {
                carte().ImageMercatorMouseUp(Qt::LeftButton, 398, 255);
            } else {
                carte().EditQRA->setText("JN18EU");
                carte().BitBtn1Click();
            }
        }
        EXPECT_EQ(carte().GenerationCount(), 1);
        EXPECT_TRUE(viewer().isVisible());
        EXPECT_FALSE(carte().isVisible());
        Stop();
    }
}

TEST_F(GeneratorWindow, TheCommandLineLocatorTakesOnlyTheLettersATillZInEitherCase) {
    // Upper-cased with Unicode's rules, the dotless i and the ff ligature
    // became I and FF, and these were taken as JN18EI and FF18EU.
    for (const char* text : {"jn18e\u0131", "\ufb0018eu", "JN18E\u0130"}) {
        StartQuietly({QString::fromUtf8(text)});
        EXPECT_FALSE(centre().LocatorPending) << text;
        Stop();
    }
    StartQuietly({"jN18Eu"});
    EXPECT_TRUE(centre().LocatorPending);
}

TEST_F(GeneratorWindow, RejectedLocatorsChangeNothing) {
    Start();
    for (const char* bad : {"JN18E", "SN18EU", "JN18EY", "JN1AEU", ""}) {
        carte().EditQRA->setText(bad);
        QTest::keyClick(carte().EditQRA, Qt::Key_Return);
        EXPECT_EQ(carte().EditQRA->text(), bad);
    }
    EXPECT_EQ(carte().GenerationCount(), 0);
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(centre().LocatorPending);
}

// The states as the operator sees them, including while the generation
// runs: the bar repaints synchronously, so a paint filter sees the window
// in the middle of the generation.
class PaintSpy : public QObject {
public:
    PaintSpy(generator::TFormCarte& carte, QWidget& viewer) : carte_(carte), viewer_(viewer) {}
    std::vector<int> values;
    bool voirEnabledMeanwhile = false;
    bool viewerVisibleMeanwhile = false;
    QString textMeanwhile = "unset";

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && carte_.State().GenerationBusy) {
            values.push_back(static_cast<QProgressBar*>(o)->value());
            voirEnabledMeanwhile |= carte_.MenuVoir->isEnabled();
            viewerVisibleMeanwhile |= viewer_.isVisible();
            textMeanwhile = carte_.StaticText1->text();
        }
        return false;
    }

private:
    generator::TFormCarte& carte_;
    QWidget& viewer_;
};

TEST_F(GeneratorWindow, GeneratorStatesAndTheProgressBar) {
    Start();
    // No map.
    EXPECT_FALSE(carte().MenuVoir->isEnabled());
    EXPECT_FALSE(viewer().isVisible());
    carte().MenuEnglish->trigger();
    PaintSpy spy(carte(), viewer());
    carte().ProgressBarCalcul->installEventFilter(&spy);
    GenerateAt(400, 100);
    // Generating: the bar advanced after every column, the viewer hidden.
    ASSERT_GE(spy.values.size(), 796u);
    EXPECT_EQ(spy.values.back(), 795);
    int increases = 0;
    for (size_t i = 1; i < spy.values.size(); ++i) increases += spy.values[i] > spy.values[i - 1];
    EXPECT_EQ(increases, 795);
    EXPECT_FALSE(spy.voirEnabledMeanwhile);
    EXPECT_FALSE(spy.viewerVisibleMeanwhile);
    EXPECT_EQ(spy.textMeanwhile, "Generation in progress. Wait please !");
    // Map shown.
    EXPECT_TRUE(carte().MenuVoir->isEnabled());
    EXPECT_EQ(carte().StaticText1->text(), "Click the map or enter a grid square >>>");
    EXPECT_TRUE(viewer().isVisible());
    EXPECT_EQ(carte().ProgressBarCalcul->value(), 795);
    EXPECT_TRUE(centre().MapUnsaved);
    EXPECT_EQ(carte().StaticTextPos->text(), centre().CentreText);
    carte().ProgressBarCalcul->removeEventFilter(&spy);
}

TEST_F(GeneratorWindow, WithoutALanguageThePromptIsEmptyAfterTheFirstMap) {
    Start();
    GenerateAt(398, 255);
    EXPECT_TRUE(carte().StaticText1->text().isEmpty());
}

TEST_F(GeneratorWindow, ViewerHidesTheGeneratorWhenItPaints) {
    Start();
    GenerateAt(398, 255);
    ASSERT_TRUE(WaitFor([&] { return !carte().isVisible() || carte().visibleRegion().isEmpty(); }));
    carte().MenuVoirClick();
    EXPECT_TRUE(viewer().isVisible());
}

TEST_F(GeneratorWindow, CommandLineLocatorGeneratesAfterTheFirstPaint) {
    Start({"JN18EU"});
    EXPECT_TRUE(centre().LocatorPending);
    EXPECT_EQ(carte().GenerationCount(), 0);
    ASSERT_TRUE(WaitFor([&] { return carte().GenerationCount() == 1; }));
    EXPECT_EQ(centre().CentreText, U("48\u00b051' N / 2\u00b022' E"));
    EXPECT_FALSE(centre().LocatorPending);
    EXPECT_TRUE(viewer().isVisible());
    EXPECT_TRUE(carte().EditQRA->text().isEmpty());
}

TEST_F(GeneratorWindow, CommandLineLocatorLowerCaseAndRejected) {
    Start({"jn18eu"});
    EXPECT_TRUE(centre().LocatorPending);
    Stop();
    StartQuietly({"JN18"});
    QSignalSpy fired(carte().TimerFinImage, &QTimer::timeout);
    EXPECT_FALSE(centre().LocatorPending);
    ASSERT_TRUE(WaitFor([&] { return fired.count() > 0; }));
    EXPECT_EQ(carte().GenerationCount(), 0);
}

TEST_F(GeneratorWindow, ClickWhileTheCommandLineLocatorIsPendingUsesTheLocator) {
    StartQuietly({"JN18EU"});
    QSignalSpy fired(carte().TimerFinImage, &QTimer::timeout);
    // The first paint starts the timer; the click comes before it fires (a
    // timer started in one round of events fires in a later one, and the
    // wait returns at the end of the round that started it).
    ASSERT_TRUE(WaitFor([&] { return carte().TimerFinImage->isActive(); }));
    ASSERT_EQ(fired.count(), 0);
    carte().EditQRA->setText("kept");
    Click(carte().ImageMercator, 100, 400);
    EXPECT_EQ(carte().GenerationCount(), 1);
    EXPECT_EQ(centre().CentreText, U("48\u00b051' N / 2\u00b022' E"));
    EXPECT_EQ(carte().EditQRA->text(), "kept");
    ASSERT_TRUE(WaitFor([&] { return fired.count() > 0; }));  // the timer then finds nothing pending
    EXPECT_EQ(carte().GenerationCount(), 1);
}

TEST_F(GeneratorWindow, RowZeroCentreBecomes899ButItsTextReads90) {
    Start();
    GenerateAt(398, 0);
    EXPECT_EQ(centre().CentreLatitude, 89.9L);
    EXPECT_EQ(centre().CentreText, U("90\u00b00' N / 0\u00b00' E"));
}

TEST_F(GeneratorWindow, ANewGenerationStartsFromTheTemplate) {
    Start();
    GenerateAt(398, 255);
    viewer().MenuAxesClick();
    const QImage withAxes = viewer().ImageAzimut->image();
    EXPECT_GT(withAxes.colorCount(), 16);
    viewer().MenugenerateurClick();
    GenerateAt(398, 255);
    EXPECT_EQ(viewer().ImageAzimut->image().colorCount(), 16);
    EXPECT_NE(viewer().ImageAzimut->image(), withAxes);
}

TEST_F(GeneratorWindow, QuitEndsTheProgram) {
    Start();
    const int before = EndCount();
    carte().Menuquitter->trigger();
    EXPECT_EQ(EndCount(), before + 1);
    EXPECT_TRUE(shown.empty());
}

// The viewer's read-out, pixel by pixel, in both units.
struct ReadoutCase {
    const char* label;
    int x, y;
    const char* km;
    const char* kmLong;
    const char* miles;
    const char* milesLong;
    const char* pending;
};

void PrintTo(const ReadoutCase& c, std::ostream* os) { *os << c.label << " (" << c.x << "," << c.y << ")"; }

class ViewerReadout : public WindowsTest, public ::testing::WithParamInterface<ReadoutCase> {};

TEST_P(ViewerReadout, ShortAndLongPath) {
    const ReadoutCase& c = GetParam();
    Start();
    GenerateAt(398, 255);
    Move(viewer().ImageAzimut, c.x, c.y);
    EXPECT_EQ(viewer().StaticTextAzim->text(), U(c.km));
    EXPECT_EQ(viewer().StaticTextLP->text(), U(c.kmLong));
    EXPECT_EQ(viewer().State().PendingAzimuth, c.pending);
    viewer().MenuUnitmileClick();
    EXPECT_EQ(viewer().StaticTextAzim->text(), U(c.km));  // not until the pointer moves
    Move(viewer().ImageAzimut, c.x, c.y);
    EXPECT_EQ(viewer().StaticTextAzim->text(), U(c.miles));
    EXPECT_EQ(viewer().StaticTextLP->text(), U(c.milesLong));
}

INSTANTIATE_TEST_SUITE_P(
    Pixels, ViewerReadout,
    ::testing::Values(
        ReadoutCase{"Centre", 300, 300, "90\u00b0 / 0 km", "270\u00b0 / 40000 km", "90\u00b0 / 0 miles",
                    "270\u00b0 / 24855 miles", "90"},
        ReadoutCase{"TopOfTheDisc", 300, 0, "0\u00b0 / 20000 km", "180\u00b0 / 20000 km", "0\u00b0 / 12427 miles",
                    "180\u00b0 / 12427 miles", "0"},
        ReadoutCase{"NorthEast", 400, 200, "45\u00b0 / 9428 km", "225\u00b0 / 30572 km", "45\u00b0 / 5858 miles",
                    "225\u00b0 / 18997 miles", "45"},
        ReadoutCase{"EastHalfWay", 450, 300, "90\u00b0 / 10000 km", "270\u00b0 / 30000 km", "90\u00b0 / 6214 miles",
                    "270\u00b0 / 18641 miles", "90"},
        ReadoutCase{"OnePixelLeftOfNorth", 299, 150, "360\u00b0 / 10000 km", "180\u00b0 / 30000 km", "360\u00b0 / 6214 miles",
                    "180\u00b0 / 18641 miles", "360"},
        ReadoutCase{"WestRim", 0, 300, "270\u00b0 / 20000 km", "90\u00b0 / 20000 km", "270\u00b0 / 12427 miles",
                    "90\u00b0 / 12427 miles", "270"},
        ReadoutCase{"OuterCircleWest", 75, 300, "270\u00b0 / 15000 km", "90\u00b0 / 25000 km", "270\u00b0 / 9321 miles",
                    "90\u00b0 / 15534 miles", "270"},
        ReadoutCase{"JustOutside", 0, 299, " / ", " / ", " / ", " / ", ""}),
    [](const auto& info) { return std::string(info.param.label); });

using ViewerWindow = WindowsTest;

TEST_F(ViewerWindow, LayoutAndNames) {
    Start();
    GenerateAt(398, 255);
    EXPECT_EQ(viewer().ImageAzimut->size(), QSize(600, 600));
    EXPECT_EQ(viewer().ImageAzimut->mapTo(viewer().centralWidget(), QPoint(0, 0)), QPoint(0, 0));
    EXPECT_EQ(viewer().LabelLP->text(), "<=Direct       Long Pass =>");
    EXPECT_LE(viewer().maximumWidth(), 950);
    EXPECT_LE(viewer().maximumHeight(), 700);
    EXPECT_EQ(viewer().windowTitle(), "KORVALEN V2.1.4");
    EXPECT_TRUE(viewer().MenuUnitKM->isChecked());
    EXPECT_EQ(viewer().MenuEnregistrer->text(), "Save the azimuthal map");
    EXPECT_EQ(viewer().Menugenerateur->text(), "Back to map generator");
    EXPECT_EQ(viewer().MenuQuitter->text(), "Quit");
    EXPECT_EQ(viewer().MenuUnitKM->text(), "Km");
    EXPECT_EQ(viewer().MenuUnitmile->text(), "Mile");
    EXPECT_FALSE(viewer().ImageOriginale->isVisible());
    // A window smaller than its contents scrolls.
    viewer().resize(400, 300);
    ASSERT_TRUE(WaitFor([&] { return viewer().ScrollBoxAzimut->horizontalScrollBar()->maximum() > 0; }));
}

TEST_F(ViewerWindow, ClickPublishesTheBearingOnlyInsideTheDisc) {
    Start();
    GenerateAt(398, 255);
    Click(viewer().ImageAzimut, 400, 200);  // no movement yet: the press alone
    EXPECT_TRUE(PublishedAzimuth().isEmpty());
    Move(viewer().ImageAzimut, 400, 200);
    Click(viewer().ImageAzimut, 400, 200);
    EXPECT_EQ(PublishedAzimuth(), "45");
    Move(viewer().ImageAzimut, 0, 299);
    Click(viewer().ImageAzimut, 0, 299);
    EXPECT_EQ(PublishedAzimuth(), "45");  // outside: nothing published
    EXPECT_TRUE(viewer().State().PendingAzimuth.isEmpty());
}

TEST_F(ViewerWindow, OnlyTheLeftButtonPublishes) {
    Start();
    GenerateAt(398, 255);
    Move(viewer().ImageAzimut, 400, 200);
    Click(viewer().ImageAzimut, 400, 200, Qt::RightButton);
    Click(viewer().ImageAzimut, 400, 200, Qt::MiddleButton);
    EXPECT_TRUE(PublishedAzimuth().isEmpty());
    Click(viewer().ImageAzimut, 400, 200, Qt::LeftButton);
    EXPECT_EQ(PublishedAzimuth(), "45");
}

TEST_F(ViewerWindow, CentreLabelIsDrawnIntoTheImage) {
    Start();
    GenerateAt(398, 255);
    const QImage& img = viewer().ImageAzimut->image();
    // The label's white cell starts at (2, 585) in the black corner.
    EXPECT_EQ(img.pixelIndex(2, 585), 15);
    EXPECT_EQ(img.pixelIndex(1, 585), 0);
    EXPECT_EQ(img.pixelIndex(2, 584), 0);
    int black = 0;
    for (int x = 2; x < 120; ++x)
        for (int y = 586; y < 598; ++y) black += img.pixelIndex(x, y) == 0;
    EXPECT_GT(black, 50);  // the text's strokes
}

TEST_F(ViewerWindow, BackToTheGeneratorClearsTheFieldsAndKeepsThePendingAzimuth) {
    Start();
    carte().EditQRA->setText("JN18EU");
    carte().BitBtn1Click();
    Move(viewer().ImageAzimut, 400, 200);
    ASSERT_EQ(viewer().State().PendingAzimuth, "45");
    viewer().Menugenerateur->trigger();
    EXPECT_FALSE(viewer().isVisible());
    EXPECT_TRUE(carte().isVisible());
    EXPECT_TRUE(viewer().StaticTextAzim->text().isEmpty());
    EXPECT_TRUE(viewer().StaticTextLP->text().isEmpty());
    EXPECT_EQ(carte().ProgressBarCalcul->value(), 0);
    EXPECT_TRUE(carte().EditQRA->text().isEmpty());
    EXPECT_EQ(viewer().State().PendingAzimuth, "45");
    EXPECT_TRUE(carte().MenuVoir->isEnabled());
    EXPECT_FALSE(viewer().TimerSeconde->isActive());
    // Shown again: the clock runs again.
    carte().MenuVoirClick();
    EXPECT_TRUE(viewer().TimerSeconde->isActive());
}

TEST_F(ViewerWindow, UnitItemsAreExclusive) {
    Start();
    viewer().MenuUnitmile->trigger();
    EXPECT_TRUE(viewer().MenuUnitmile->isChecked());
    EXPECT_FALSE(viewer().MenuUnitKM->isChecked());
    EXPECT_EQ(viewer().State().UnitFactor, geo::StatuteMileFactor);
    viewer().MenuUnitKM->trigger();
    EXPECT_TRUE(viewer().MenuUnitKM->isChecked());
    EXPECT_EQ(viewer().State().UnitFactor, geo::KilometreFactor);
}

}  // namespace
