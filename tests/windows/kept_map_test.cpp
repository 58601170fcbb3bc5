// The map kept from one run to the next, through the real windows: the save
// dialog and its rules, the closing question, the settings going into the
// windows at start and coming back out at exit, the kept map loaded (or
// refused) at the next start, and the clock.
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "tests/windows/windows_fixture.h"
#include "viewer/clock_text.h"
#include "viewer/map_surface.h"

using namespace korvalen;
using korvalen::testing::Shown;
using korvalen::testing::WindowsTest;
using korvalen::widgets::MessageKind;

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

const char kParisText[] = "48\u00b051' N / 2\u00b022' E";

class KeptMap : public WindowsTest {
protected:
    /// A fresh map for JN18EU, shown in the viewer.
    void GenerateParis() {
        carte().EditQRA->setText("JN18EU");
        carte().BitBtn1Click();
        ASSERT_TRUE(viewer().isVisible());
        ASSERT_TRUE(centre().MapUnsaved);
    }

    /// Types @p name into the save dialog and presses OK.
    void SaveAs(const QString& name) {
        viewer().MenuEnregistrer->trigger();
        save().EditNomFichier->setText(name);
        QTest::mouseClick(save().ButtonOK, Qt::LeftButton);
    }

    int Beeps() const {
        int n = 0;
        for (const Shown& s : shown) n += s.kind == MessageKind::Plain && s.text.isEmpty();
        return n;
    }

    /// The settings file as text lines (CR LF removed, Windows-1252 bytes).
    QStringList SettingsLines() const {
        const QByteArray bytes = ReadFile("korvalen.ini");
        QStringList lines = QString::fromLatin1(bytes).split("\r\n");
        if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
        return lines;
    }

    /// The viewer shown at start for a kept map: the generator shows it when
    /// it is first activated.
    void WaitForTheViewer() {
        carte().activateWindow();
        ASSERT_TRUE(WaitFor([&] { return viewer().isVisible(); }));
    }
};

// The name rules: the ending is ".bmp" exactly, case and all.
TEST_F(KeptMap, RefusedNamesBeepShowTheMessageAndChangeNothing) {
    Start();
    GenerateParis();
    const int running = EndCount();
    for (const char* bad : {"", "MAP.BMP", "map.Bmp", "image1.bmp ", "bmp", "image1", "a.bmpx"}) {
        shown.clear();
        SaveAs(bad);
        ASSERT_EQ(shown.size(), 2u) << '"' << bad << '"';
        EXPECT_TRUE(shown[0].text.isEmpty());  // the beep first
        EXPECT_EQ(shown[1].kind, MessageKind::Plain);
        EXPECT_EQ(shown[1].text, "Name must be like *.bmp");
        EXPECT_TRUE(save().isVisible());
        EXPECT_TRUE(SavedMapFile().isEmpty());
        EXPECT_TRUE(centre().MapUnsaved);
    }
    EXPECT_TRUE(QDir(Path("")).entryList({"*.bmp", "*.BMP", "*.Bmp", "*.bmp ", "bmp", "image1", "*.bmpx"},
                                         QDir::Files | QDir::Hidden)
                    .isEmpty());
    EXPECT_EQ(EndCount(), running);
}

TEST_F(KeptMap, TheInitialNameSavesInTheProgramFolderAndIsKeptAtExit) {
    Start();
    GenerateParis();
    viewer().MenuEnregistrer->trigger();
    EXPECT_TRUE(save().isVisible());
    EXPECT_FALSE(save().isModal());
    EXPECT_EQ(save().EditNomFichier->text(), "image1.bmp");
    EXPECT_EQ(save().ButtonCancel->text(), "Annuler");
    EXPECT_EQ(save().windowTitle(), "KORVALEN V2.1.4");
    QTest::mouseClick(save().ButtonOK, Qt::LeftButton);
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(save().isVisible());
    EXPECT_EQ(SavedMapFile(), "image1.bmp");
    EXPECT_EQ(SavedMapCentreText(), U(kParisText));
    EXPECT_FALSE(centre().MapUnsaved);

    // The file holds exactly the map as drawn, label included.
    const QImage saved(Path("image1.bmp"), "BMP");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
              viewer().ImageAzimut->image().convertToFormat(QImage::Format_RGB32));
    EXPECT_FALSE(ReadFile("image1.bmp").isEmpty());
    EXPECT_EQ(ReadFile("image1.bmp")[28], 4);  // 16 colours: 4 bits per pixel

    // Saved, so closing asks nothing and writes the two lines.
    const int before = EndCount();
    viewer().close();
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(EndCount(), before + 1);
    const QStringList lines = SettingsLines();
    const int image = lines.indexOf("IMAGE=image1.bmp");
    ASSERT_GE(image, 0);
    EXPECT_EQ(lines.value(image + 1), QString::fromLatin1("CENTRE_IMAGE=48\xb0" "51' N / 2\xb0" "22' E"));
}

TEST_F(KeptMap, DotBmpAloneIsAFileNameAndTheSecondSaveIsTheOneKept) {
    Start();
    GenerateParis();
    SaveAs(".bmp");
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(QFileInfo(Path(".bmp")).isFile());
    EXPECT_EQ(SavedMapFile(), ".bmp");
    SaveAs("second.bmp");
    EXPECT_EQ(SavedMapFile(), "second.bmp");
    EXPECT_TRUE(QFileInfo(Path("second.bmp")).isFile());
    // The dialog keeps the last text typed.
    viewer().MenuEnregistrer->trigger();
    EXPECT_EQ(save().EditNomFichier->text(), "second.bmp");
    save().ButtonCancel->click();
    viewer().close();
    EXPECT_TRUE(SettingsLines().contains("IMAGE=second.bmp"));
    EXPECT_FALSE(SettingsLines().contains("IMAGE=.bmp"));
}

TEST_F(KeptMap, AFailedWriteShowsTheReasonAndKeepsTheDialogOpen) {
    Start();
    GenerateParis();
    SaveAs("first.bmp");
    ASSERT_EQ(SavedMapFile(), "first.bmp");
    viewer().MenugenerateurClick();
    GenerateParis();  // a new map, not saved yet
    shown.clear();
    SaveAs("no such folder/map.bmp");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_FALSE(shown[0].text.isEmpty());
    EXPECT_TRUE(save().isVisible());
    EXPECT_EQ(SavedMapFile(), "first.bmp");
    EXPECT_TRUE(centre().MapUnsaved);
    EXPECT_EQ(Beeps(), 0);
}

TEST_F(KeptMap, CancelSavesNothing) {
    Start();
    GenerateParis();
    viewer().MenuEnregistrer->trigger();
    save().EditNomFichier->setText("cancelled.bmp");
    save().ButtonCancel->click();
    EXPECT_FALSE(save().isVisible());
    EXPECT_FALSE(QFileInfo::exists(Path("cancelled.bmp")));
    EXPECT_TRUE(SavedMapFile().isEmpty());
    EXPECT_TRUE(centre().MapUnsaved);
}

// The closing question, and the program ending when the dialog closes.
TEST_F(KeptMap, NoToTheQuestionWritesTheSettingsAndEnds) {
    Start();
    GenerateParis();
    answer = QMessageBox::No;
    const int before = EndCount();
    viewer().MenuQuitter->trigger();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Question);
    EXPECT_EQ(shown[0].text, U("Voulez_vous enregistrer cette carte azimutale pour la session suivante ?"));
    EXPECT_EQ(EndCount(), before + 1);
    EXPECT_FALSE(save().isVisible());
    EXPECT_TRUE(QFileInfo::exists(Path("korvalen.ini")));
}

TEST_F(KeptMap, YesThenARefusedNameKeepsRunningUntilTheDialogCloses) {
    Start();
    GenerateParis();
    answer = QMessageBox::Yes;
    const int before = EndCount();
    viewer().close();
    EXPECT_TRUE(save().QuitAfterSave());
    EXPECT_TRUE(save().isVisible());
    EXPECT_FALSE(carte().isVisible());
    EXPECT_TRUE(viewer().isVisible());  // the request never closes the viewer
    EXPECT_EQ(EndCount(), before);
    EXPECT_FALSE(QFileInfo::exists(Path("korvalen.ini")));

    save().EditNomFichier->setText("MAP.BMP");
    QTest::mouseClick(save().ButtonOK, Qt::LeftButton);
    EXPECT_EQ(EndCount(), before);
    EXPECT_TRUE(save().isVisible());

    save().EditNomFichier->setText("kept.bmp");
    QTest::mouseClick(save().ButtonOK, Qt::LeftButton);
    EXPECT_EQ(EndCount(), before + 1);
    EXPECT_TRUE(SettingsLines().contains("IMAGE=kept.bmp"));
}

TEST_F(KeptMap, YesThenCancelOrTheCloseBoxEndsWithThePreviousKeptMap) {
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Cancel");
        Start();
        GenerateParis();
        answer = QMessageBox::Yes;
        viewer().close();
        ASSERT_TRUE(save().isVisible());
        const int before = EndCount();
        if (closeBox)
            save().close();
        else
            save().ButtonCancel->click();
        EXPECT_EQ(EndCount(), before + 1);
        // Nothing kept before, so no map lines.
        const QStringList lines = SettingsLines();
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_EQ(lines.front(), "[KORVALEN]");
        EXPECT_TRUE(lines.filter("IMAGE=").isEmpty());
        Stop();
    }
}

TEST_F(KeptMap, EscapeInTheDialogIsTheCloseBox) {
    Start();
    GenerateParis();
    answer = QMessageBox::Yes;
    viewer().close();
    const int before = EndCount();
    QTest::keyClick(&save(), Qt::Key_Escape);
    EXPECT_FALSE(save().isVisible());
    EXPECT_EQ(EndCount(), before + 1);
}

// Save, quit, start again: the viewer comes up with the kept map.
TEST_F(KeptMap, AxesSavedAreThereAtTheNextStart) {
    Start();
    GenerateParis();
    viewer().MenuAxesClick();
    const QImage drawn = viewer().ImageAzimut->image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(drawn.pixel(300, 40), viewer::kOverlayRed);  // the north axis
    SaveAs("axes.bmp");
    EXPECT_EQ(ReadFile("axes.bmp")[28], 8);  // red is a 17th colour
    viewer().close();
    EXPECT_TRUE(shown.empty());
    Stop();

    Start();
    EXPECT_EQ(centre().CentreText, U(kParisText));
    EXPECT_EQ(SavedMapFile(), "axes.bmp");
    EXPECT_EQ(carte().GenerationCount(), 0);
    WaitForTheViewer();
    EXPECT_TRUE(carte().MenuVoir->isEnabled());
    EXPECT_FALSE(centre().MapUnsaved);
    EXPECT_EQ(viewer().ImageAzimut->image().convertToFormat(QImage::Format_RGB32), drawn);
    // The axes can be given again and change nothing visible.
    viewer().MenuAxesClick();
    EXPECT_EQ(viewer().ImageAzimut->image().convertToFormat(QImage::Format_RGB32), drawn);
    // The generator gives way to the viewer once it paints.
    ASSERT_TRUE(WaitFor([&] { return !carte().isVisible(); }));
    // Nothing generated, nothing to ask: the program ends at once and keeps
    // the same map for the run after.
    const int before = EndCount();
    viewer().close();
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(EndCount(), before + 1);
    EXPECT_TRUE(SettingsLines().contains("IMAGE=axes.bmp"));
}

TEST_F(KeptMap, TheKeptMapComesUpEvenWhenTheDesktopNeverActivatesTheGenerator) {
    Start();
    GenerateParis();
    SaveAs("paris.bmp");
    viewer().close();
    Stop();
    // No event delivered yet, so no activation has reached the generator.
    StartQuietly();
    ASSERT_TRUE(viewer().State().SavedMapLoaded);
    ASSERT_FALSE(viewer().isVisible());
    ASSERT_FALSE(carte().MenuVoir->isEnabled());
    carte().TimerFinImageTimer();
    EXPECT_TRUE(viewer().isVisible());
    EXPECT_TRUE(carte().MenuVoir->isEnabled());
    EXPECT_FALSE(viewer().State().SavedMapLoaded);
    EXPECT_EQ(carte().GenerationCount(), 0);
}

TEST_F(KeptMap, TheCentreLabelOfTheNextStartComesFromTheSettings) {
    Start();
    GenerateParis();
    SaveAs("paris.bmp");
    viewer().close();
    Stop();
    // The map file keeps its label; blank the corner so the label seen is
    // the one drawn at start from the settings' centre text.
    QImage map(Path("paris.bmp"));
    for (int y = 580; y < 600; ++y)
        for (int x = 0; x < 250; ++x) map.setPixel(x, y, 0);
    ASSERT_TRUE(map.save(Path("paris.bmp"), "BMP"));
    Start();
    WaitForTheViewer();
    const QImage& shownMap = viewer().ImageAzimut->image();
    EXPECT_EQ(shownMap.pixelIndex(2, 585), 15);  // the white cell is back
    int black = 0;
    for (int x = 2; x < 120; ++x)
        for (int y = 586; y < 598; ++y) black += shownMap.pixelIndex(x, y) == 0;
    EXPECT_GT(black, 50);
}

struct KeptMapFailure {
    const char* label;
    const char* name;
    const char* setUp;  // "missing", "readonly", "plain" or "garbage"
    bool bitmapError;   // otherwise a decode error with its own wording
};

void PrintTo(const KeptMapFailure& c, std::ostream* os) { *os << c.label << " (" << c.name << ")"; }

class KeptMapRefused : public KeptMap, public ::testing::WithParamInterface<KeptMapFailure> {};

TEST_P(KeptMapRefused, TheGeneratorOpensAsOnAFirstStartAndTheNameIsWrittenBack) {
    const KeptMapFailure& c = GetParam();
    const QString name = QString::fromLatin1(c.name);
    const std::string setUp = c.setUp;
    if (setUp != "missing") {
        QImage blank(600, 600, QImage::Format_Indexed8);
        blank.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        blank.fill(1);
        if (setUp == "garbage") {
            QFile f(Path(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("BM this is not a bitmap");
        } else {
            ASSERT_TRUE(blank.save(Path(name), "BMP"));
        }
        if (setUp == "readonly") {
            ASSERT_EQ(::chmod(Path(name).toLocal8Bit().constData(), 0444), 0);
        }
    }
    WriteSettings("[KORVALEN]\r\nIMAGE=" + std::string(c.name) + "\r\nCENTRE_IMAGE=10\xb0" "0' N / 20\xb0" "0' E\r\n");
    StartQuietly();
    QSignalSpy fired(carte().TimerFinImage, &QTimer::timeout);
    ASSERT_EQ(shown.size(), 1u);
    if (c.bitmapError) {
        EXPECT_EQ(shown[0].kind, MessageKind::Plain);
        EXPECT_EQ(shown[0].text, "Bitmap error");
    } else {
        EXPECT_EQ(shown[0].kind, MessageKind::Error);
        EXPECT_NE(shown[0].text, "Bitmap error");
        EXPECT_FALSE(shown[0].text.isEmpty());
    }
    EXPECT_FALSE(viewer().State().SavedMapLoaded);
    // The clock was not started by the preparation; its timer runs anyway.
    EXPECT_TRUE(viewer().StaticTextTime->text().isEmpty());
    EXPECT_TRUE(viewer().TimerSeconde->isActive());
    // Neither the activation nor the timer after the first paint brings up
    // a viewer.
    carte().activateWindow();
    ASSERT_TRUE(WaitFor([&] { return carte().isActiveWindow() && fired.count() > 0; }));
    EXPECT_FALSE(viewer().isVisible());
    EXPECT_TRUE(carte().isVisible());
    EXPECT_FALSE(carte().MenuVoir->isEnabled());
    carte().close();
    const QStringList lines = SettingsLines();
    EXPECT_TRUE(lines.contains("IMAGE=" + name));
    EXPECT_TRUE(lines.contains(QString::fromLatin1("CENTRE_IMAGE=10\xb0" "0' N / 20\xb0" "0' E")));
}

INSTANTIATE_TEST_SUITE_P(
    Files, KeptMapRefused,
    ::testing::Values(KeptMapFailure{"Missing", "gone.bmp", "missing", true},
                      KeptMapFailure{"ReadOnly", "locked.bmp", "readonly", true},
                      KeptMapFailure{"UpperCaseExtension", "MAP.BMP", "plain", true},
                      KeptMapFailure{"OtherExtension", "map.bmp.old", "plain", true},
                      KeptMapFailure{"NotABitmap", "broken.bmp", "garbage", false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(KeptMap, ALocatorOnTheCommandLineWinsOverTheKeptMap) {
    Start();
    GenerateParis();
    SaveAs("paris.bmp");
    viewer().close();
    Stop();
    Start({"IO91WM"});
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(viewer().State().SavedMapLoaded);
    ASSERT_TRUE(WaitFor([&] { return carte().GenerationCount() == 1; }));
    EXPECT_NE(centre().CentreText, U(kParisText));
    EXPECT_TRUE(centre().MapUnsaved);
}

// Settings into the windows at start, and back out at exit.
TEST_F(KeptMap, SettingsReachTheViewerAndComeBackUnchanged) {
    const std::string file =
        "[KORVALEN]\r\n"
        "LANGUAGE=FRENCH\r\n"
        "TORNAVELPATH=/opt/rotor/rotor\r\n"
        "UNIT=MILE\r\n"
        "LIST=CB\r\n"
        "SEPARATOR=2\r\n"
        "WTOP=40\r\n"
        "WLEFT=30\r\n"
        "WHEIGHT=500\r\n"
        "WWIDTH=450\r\n"
        "WHSB=60\r\n"
        "DX=3A\tMonaco (Eu)\t43,75\tN\t7,42\tE\tUTC+1\r\n"
        "DX=F\tFrance\t48,85\tN\t2,35\tE\r\n"
        "DXCB=14RC\tRadio Club\t45,00\tN\t5,00\tE\r\n"
        "UTC=Y\r\n"
        "VERSTART=1\r\n";
    WriteSettings(file);
    Start();
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(viewer().State().UnitFactor, geo::StatuteMileFactor);
    EXPECT_TRUE(viewer().MenuTimeUTC->isChecked());
    ASSERT_EQ(program().FormListeDXCC().Records().size(), 2u);
    // The editors hold the degrees in the locale's notation, and write them so.
    const std::string mark = QLocale().decimalPoint().toStdString();
    const auto localised = [&](std::string text) {
        for (size_t at; (at = text.find(',')) != std::string::npos;) text.replace(at, 1, mark);
        return text;
    };
    EXPECT_EQ(program().FormListeDXCC().Records()[0], localised("3A\tMonaco (Eu)\t43,75\tN\t7,42\tE\tUTC+1"));
    ASSERT_EQ(program().FormListeDXCB().Records().size(), 1u);

    GenerateParis();
    EXPECT_TRUE(viewer().MenuUnitmile->isChecked());
    EXPECT_FALSE(viewer().MenuUnitKM->isChecked());
    EXPECT_EQ(viewer().size(), QSize(450, 500));
    EXPECT_EQ(viewer().ScrollBoxAzimut->horizontalScrollBar()->value(), 60);
    Move(viewer().ImageAzimut, 400, 200);
    // French, as the file says.
    EXPECT_EQ(viewer().StaticTextAzim->text().toStdString(), " Azimut = 45\u00b0 /  Distance = 5858 miles");

    // Moved and resized during the run, the viewer returns to the geometry
    // read at start when shown again.
    viewer().resize(520, 420);
    viewer().ScrollBoxAzimut->horizontalScrollBar()->setValue(10);
    viewer().MenugenerateurClick();
    carte().MenuVoirClick();
    EXPECT_EQ(viewer().size(), QSize(450, 500));
    EXPECT_EQ(viewer().ScrollBoxAzimut->horizontalScrollBar()->value(), 60);

    SaveAs("x.bmp");
    viewer().close();
    // Only the DX lines hold commas.
    std::string expected = localised(file);
    // The geometry written is the window's own; offscreen the position may
    // not be honoured, so take the one the window reports.
    const auto replace = [&](const std::string& key, int value) {
        const size_t at = expected.find(key + "=");
        const size_t end = expected.find("\r\n", at);
        expected.replace(at, end - at, key + "=" + std::to_string(value));
    };
    replace("WTOP", viewer().pos().y());
    replace("WLEFT", viewer().pos().x());
    expected.insert(expected.find("WTOP="),
                    "IMAGE=x.bmp\r\nCENTRE_IMAGE=48\xb0" "51' N / 2\xb0" "22' E\r\n");
    const QByteArray written = ReadFile("korvalen.ini");
    EXPECT_EQ(std::string(written.constData(), static_cast<size_t>(written.size())), expected);
}

// Restoring the minimised viewer is not showing it: the window stays where
// and as large as it was, and the clock keeps the mode chosen in the menu.
TEST_F(KeptMap, RestoringTheMinimisedViewerKeepsItsGeometryAndClockMode) {
    WriteSettings("[KORVALEN]\r\nWTOP=40\r\nWLEFT=30\r\nWHEIGHT=500\r\nWWIDTH=450\r\n");
    Start();
    GenerateParis();
    viewer().resize(520, 420);
    viewer().MenuTimeUTC->trigger();
    viewer().setWindowState(Qt::WindowMinimized);
    viewer().setWindowState(Qt::WindowNoState);
    QCoreApplication::processEvents();
    EXPECT_EQ(viewer().size(), QSize(520, 420));
    EXPECT_TRUE(viewer().MenuTimeUTC->isChecked());
    // Shown again by the program, it returns to the start values.
    viewer().MenugenerateurClick();
    carte().MenuVoirClick();
    EXPECT_EQ(viewer().size(), QSize(450, 500));
    EXPECT_TRUE(viewer().MenuTimeLocal->isChecked());
}

// A geometry from the settings that puts the viewer off every screen or
// makes it tiny comes up on the screen at a usable size, and what is on the
// screen is written back; values on the screen are kept as they are.
TEST_F(KeptMap, AViewerOffTheScreenOrTinyComesUpReachableAndIsWrittenBackSo) {
    const struct {
        const char* name;
        int top, left, height, width;
        bool moved;
    } cases[] = {
        {"far up and right", -3000, 5000, 500, 450, true},
        {"no size", 40, 30, 0, 0, false},
        {"both", 99999, -99999, 1, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSettings("[KORVALEN]\r\nWTOP=" + std::to_string(c.top) + "\r\nWLEFT=" + std::to_string(c.left) +
                      "\r\nWHEIGHT=" + std::to_string(c.height) + "\r\nWWIDTH=" + std::to_string(c.width) +
                      "\r\n");
        Start();
        GenerateParis();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_GE(viewer().width(), 320);
        EXPECT_GE(viewer().height(), 240);
        EXPECT_TRUE(screen.contains(viewer().pos())) << viewer().pos().x() << "," << viewer().pos().y();
        answer = QMessageBox::No;
        viewer().close();
        const QStringList lines = SettingsLines();
        EXPECT_TRUE(lines.contains("WTOP=" + QString::number(viewer().pos().y())));
        EXPECT_TRUE(lines.contains("WLEFT=" + QString::number(viewer().pos().x())));
        EXPECT_TRUE(lines.contains("WHEIGHT=" + QString::number(viewer().height())));
        EXPECT_TRUE(lines.contains("WWIDTH=" + QString::number(viewer().width())));
        EXPECT_EQ(lines.contains("WTOP=" + QString::number(c.top)), !c.moved);
        EXPECT_EQ(lines.contains("WLEFT=" + QString::number(c.left)), !c.moved);
        Stop();
        QFile::remove(Path("korvalen.ini"));
    }
}

TEST_F(KeptMap, UtcReadAtStartIsReappliedAtEveryShowingAndTheModeAtExitIsWritten) {
    WriteSettings("[KORVALEN]\r\nUTC=Y\r\n");
    Start();
    GenerateParis();
    EXPECT_TRUE(viewer().MenuTimeUTC->isChecked());
    viewer().MenuTimeLocal->trigger();
    EXPECT_TRUE(viewer().MenuTimeLocal->isChecked());
    viewer().MenugenerateurClick();
    carte().MenuVoirClick();
    EXPECT_TRUE(viewer().MenuTimeUTC->isChecked());  // the mode read at start again
    viewer().MenuTimeLocal->trigger();
    SaveAs("x.bmp");
    viewer().close();
    EXPECT_TRUE(SettingsLines().contains("UTC=N"));
    EXPECT_FALSE(SettingsLines().contains("UTC=Y"));
}

TEST_F(KeptMap, UtcKeptByARunThatNeverShowsTheViewer) {
    WriteSettings("[KORVALEN]\r\nUTC=Y\r\n");
    Start();
    carte().close();
    EXPECT_TRUE(SettingsLines().contains("UTC=Y"));
}

TEST_F(KeptMap, ABadNumberStopsReadingAndTheCommandLineLocatorIsNotExamined) {
    WriteSettings("[KORVALEN]\r\nUNIT=MILE\r\nWHEIGHT=abc\r\nWWIDTH=500\r\nDX=F\tFrance\t48\tN\t2\tE\r\n");
    StartQuietly({"JN18EU"});
    QSignalSpy fired(carte().TimerFinImage, &QTimer::timeout);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_EQ(shown[0].text, U("'abc' n'est pas une valeur enti\u00e8re correcte"));
    EXPECT_FALSE(centre().LocatorPending);
    ASSERT_TRUE(WaitFor([&] { return fired.count() > 0; }));
    EXPECT_EQ(carte().GenerationCount(), 0);
    EXPECT_EQ(viewer().State().UnitFactor, geo::StatuteMileFactor);  // read before the bad line
    carte().close();
    const QStringList lines = SettingsLines();
    EXPECT_TRUE(lines.contains("UNIT=MILE"));
    EXPECT_TRUE(lines.contains("WHEIGHT=683"));  // after it: the defaults
    EXPECT_TRUE(lines.contains("WWIDTH=860"));
}

// 40 000 DX rows are more than a settings file may hold: the file is not
// read, the operator is told so, and the exit sets it aside whole before
// writing new settings.
TEST_F(KeptMap, ASettingsFileTooLargeToReadIsSetAsideAtExitNotWrittenOver) {
    std::string bytes = "[KORVALEN]\r\n";
    for (int i = 0; i < 40000; ++i) bytes += "DX=F" + std::to_string(i) + "\tFrance (Eu)\t48,8\tN\t2,3\tE\r\n";
    ASSERT_GT(bytes.size(), 1200000u);
    WriteSettings(bytes);
    Start();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_TRUE(shown[0].text.contains(QString::fromLocal8Bit(std::strerror(EFBIG)))) << shown[0].text.toStdString();
    EXPECT_TRUE(shown[0].text.contains("korvalen.ini.unread-")) << shown[0].text.toStdString();
    carte().close();
    EXPECT_EQ(EndCount(), 1);
    const QStringList aside = QDir(Path(".")).entryList({"korvalen.ini.unread-*"}, QDir::Files);
    ASSERT_EQ(aside.size(), 1) << aside.join(", ").toStdString();
    EXPECT_EQ(ReadFile(aside[0]), QByteArray::fromStdString(bytes));
    EXPECT_TRUE(SettingsLines().contains("WHEIGHT=683"));
}

TEST_F(KeptMap, AnEmptyImageLineKeepsNoMapAndTheReadOnlyFileIsReplacedAgain) {
    WriteSettings("[KORVALEN]\r\nIMAGE=\r\nCENTRE_IMAGE=48\xb0" "51' N / 2\xb0" "21' E\r\n");
    Start();
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(centre().CentreText, U("48\u00b051' N / 2\u00b021' E"));
    EXPECT_EQ(centre().CentreLatitude, 48.85L);
    carte().close();
    EXPECT_TRUE(SettingsLines().filter("IMAGE").isEmpty());
    EXPECT_FALSE(QFileInfo(Path("korvalen.ini")).isWritable() &&
                 (QFileInfo(Path("korvalen.ini")).permissions() & QFileDevice::WriteOwner));
    Stop();
    // Second run, second exit over the read-only file.
    Start();
    viewer().MenuUnitmileClick();
    carte().close();
    EXPECT_TRUE(SettingsLines().contains("UNIT=MILE"));
    EXPECT_FALSE(QFileInfo::exists(Path("korvalen.~in")));
}

// The clock, with a fixed time source, in a zone 5 h 30 ahead of UTC so that
// just before midnight UTC the local date is already the next day.
class ZoneAhead {
public:
    ZoneAhead() {
        if (const char* tz = std::getenv("TZ")) old_ = tz, hadOld_ = true;
        qputenv("TZ", "IST-5:30");  // setenv is POSIX's; Windows' C runtime lacks it
        ::tzset();
    }
    ~ZoneAhead() {
        if (hadOld_)
            qputenv("TZ", QByteArray::fromStdString(old_));
        else
            qunsetenv("TZ");
        ::tzset();
    }

private:
    std::string old_;
    bool hadOld_ = false;
};

TEST_F(KeptMap, ClockTicksInTheModeCheckedWithItsColour) {
    ZoneAhead zone;
    Start();
    const QDateTime at(QDate(2026, 12, 7), QTime(23, 59, 58), Qt::UTC);
    viewer().SetClock([&] { return at.toLocalTime(); });
    ASSERT_EQ(at.toLocalTime().time(), QTime(5, 29, 58));
    const QLocale locale;
    const QString format = viewer::TimeFormatWithoutZone(locale);
    const QString localTime = " " + locale.toString(QTime(5, 29, 58), format);
    const QString localDate = " " + locale.toString(QDate(2026, 12, 8), QLocale::ShortFormat);
    const QString utcTime = " " + locale.toString(QTime(23, 59, 58), format) + " Z";
    const QString utcDate = " " + locale.toString(QDate(2026, 12, 7), QLocale::ShortFormat);

    viewer().MenuTimeUTC->trigger();
    EXPECT_EQ(viewer().StaticTextTime->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(viewer().StaticTextDate->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_NE(viewer().StaticTextTime->text(), utcTime);  // the texts wait for the tick
    viewer().TimerSecondeTimer();
    EXPECT_EQ(viewer().StaticTextTime->text(), utcTime);
    EXPECT_EQ(viewer().StaticTextDate->text(), utcDate);

    viewer().MenuTimeLocal->trigger();
    EXPECT_EQ(viewer().StaticTextTime->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(viewer().StaticTextDate->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(viewer().StaticTextTime->text(), utcTime);
    viewer().TimerSecondeTimer();
    EXPECT_EQ(viewer().StaticTextTime->text(), localTime);
    EXPECT_EQ(viewer().StaticTextDate->text(), localDate);

    // Starting the clock writes local texts whatever the mode.
    viewer().MenuTimeUTC->trigger();
    viewer().TimerSecondeTimer();
    viewer().StartClock();
    EXPECT_EQ(viewer().StaticTextTime->text(), localTime);
    EXPECT_EQ(viewer().StaticTextDate->text(), localDate);
    EXPECT_TRUE(viewer().TimerSeconde->isActive());
    EXPECT_EQ(viewer().TimerSeconde->interval(), 1000);
}

TEST_F(KeptMap, ClockBoxesSitOverTheMapCornersAndTheTimerTicks) {
    Start();
    EXPECT_EQ(viewer().StaticTextDate->geometry(), QRect(8, 8, 113, 17));
    EXPECT_EQ(viewer().StaticTextTime->geometry(), QRect(480, 8, 112, 17));
    EXPECT_TRUE(viewer().TimerSeconde->isActive());  // from creation, hidden
    // The tick itself is wired to the texts.
    viewer().SetClock([] { return QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::LocalTime); });
    ASSERT_TRUE(WaitFor([&] { return viewer().StaticTextTime->text().contains("04"); }));
}

}  // namespace
