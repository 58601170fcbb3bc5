// The rotator program from the viewer: the menu item that starts it, the
// path panel that asks for its executable, the link to its download page,
// and the two places the directly driven rotators use.
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>

#include <ostream>
#include <string>

#include "rotator/launcher.h"
#include "tests/windows/windows_fixture.h"
#include "widgets/label_url.h"

using namespace korvalen;
using korvalen::testing::WindowsTest;

namespace {

class Tornavel : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        widgets::SetUrlOpener([this](const QUrl& url) {
            opened << url.toString();
            return true;
        });
    }
    void TearDown() override {
        widgets::SetUrlOpener({});
        WindowsTest::TearDown();
    }

    /// The program with the viewer up and active (a map of Paris). Starts
    /// are counted, and the running check says no: tests beside this one
    /// may run a "tornavel" of their own.
    void StartViewer() {
        Start();
        carte().EditQRA->setText("JN18EU");
        carte().BitBtn1Click();
        ASSERT_TRUE(viewer().isVisible());
        viewer().activateWindow();
        ASSERT_TRUE(WaitFor([&] { return viewer().isActiveWindow(); }));
        actions = {[] { return false; }, [this](const QString& path) {
                       starts << path;
                       return rotator::StartProgram(path);
                   }};
        viewer().PanelTornavel->SetLaunchActions(actions);
    }

    /// A script that creates the file "started" in the test's folder, in a
    /// folder whose name holds a space.
    QString Script() {
        QDir(Path(".")).mkdir("Rotor Control");
        QFile f(Path("Rotor Control/tornavel"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) &&
                    f.write("#!/bin/sh\ntouch '" + QFile::encodeName(Path("started")) + "'\n") > 0 &&
                    f.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        return f.fileName();
    }

    bool PanelShown() { return viewer().PanelTornavel->isVisible(); }
    const rotator::LaunchState& launch() { return viewer().PanelTornavel->State(); }
    void Press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void TypePathAndOK(const QString& path) {
        viewer().PanelTornavel->EditTornavelpath->setText(path);
        Press(viewer().PanelTornavel->ButtonOKTornavel);
    }

    rotator::LaunchActions actions;
    QStringList starts;
    QStringList opened;
};

TEST_F(Tornavel, WithoutAPathTheMenuAsksForItAndOKStartsAtOnce) {
    StartViewer();
    EXPECT_FALSE(PanelShown());
    viewer().PanelTornavel->MenuTornavel->trigger();
    EXPECT_TRUE(PanelShown());
    EXPECT_TRUE(launch().LaunchPending);
    Press(viewer().PanelTornavel->ButtonOKTornavel);  // nothing typed: the panel stays
    EXPECT_TRUE(PanelShown());
    EXPECT_TRUE(launch().LaunchPending);

    const QString script = Script();
    TypePathAndOK(script);
    EXPECT_FALSE(PanelShown());
    EXPECT_FALSE(launch().LaunchPending);
    EXPECT_EQ(launch().TornavelPath, script);
    EXPECT_EQ(starts, QStringList{script});
    EXPECT_TRUE(WaitFor([&] { return QFile::exists(Path("started")); }));
    EXPECT_TRUE(shown.empty());
}

TEST_F(Tornavel, CancelForgetsThePendingStartAndALaterOKOnlyStores) {
    StartViewer();
    const QString script = Script();
    viewer().PanelTornavel->MenuTornavel->trigger();
    Press(viewer().PanelTornavel->ButtonAnnuler);
    EXPECT_FALSE(PanelShown());
    EXPECT_FALSE(launch().LaunchPending);
    viewer().PanelTornavel->MenusetTornavel->trigger();
    EXPECT_TRUE(PanelShown());
    TypePathAndOK(script);
    EXPECT_FALSE(PanelShown());
    EXPECT_EQ(launch().TornavelPath, script);
    EXPECT_TRUE(starts.isEmpty());

    // The path panel from the File menu drops a start waiting for it too.
    actions.start = [this](const QString& path) {
        starts << path;
        return true;
    };
    viewer().PanelTornavel->SetLaunchActions(actions);
    viewer().PanelTornavel->MenusetTornavel->trigger();
    EXPECT_FALSE(launch().LaunchPending);
    TypePathAndOK("/opt/rotor/tornavel");
    EXPECT_TRUE(starts.isEmpty());
    viewer().PanelTornavel->MenuTornavel->trigger();  // now the path is known: no panel
    EXPECT_FALSE(PanelShown());
    EXPECT_EQ(starts, QStringList{"/opt/rotor/tornavel"});
}

TEST_F(Tornavel, ABrowsedFileIsInForceAtOnceAndCancelKeepsIt) {
    StartViewer();
    const QString script = Script();
    QString picked = script;
    const QFileDialog plain;  // no title and no filter of its own: the toolkit's
    viewer().PanelTornavel->SetFilePicker([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "OpenDialogTornavel");
        EXPECT_EQ(dialog.windowTitle(), plain.windowTitle());
        EXPECT_EQ(dialog.nameFilters(), plain.nameFilters());
        return picked;
    });
    viewer().PanelTornavel->MenusetTornavel->trigger();
    Press(viewer().PanelTornavel->ButtonParcourirTornavel);
    EXPECT_EQ(viewer().PanelTornavel->EditTornavelpath->text(), script);
    EXPECT_EQ(launch().TornavelPath, script);
    picked.clear();  // the operator cancels the dialog: nothing changes
    Press(viewer().PanelTornavel->ButtonParcourirTornavel);
    EXPECT_EQ(viewer().PanelTornavel->EditTornavelpath->text(), script);
    Press(viewer().PanelTornavel->ButtonAnnuler);
    EXPECT_EQ(launch().TornavelPath, script);
    viewer().MenuQuitter->trigger();
    EXPECT_TRUE(ReadFile("korvalen.ini").contains("TORNAVELPATH=" + QFile::encodeName(script) + "\r\n"));
}

// Files that cannot be started, each given by the settings file.
struct UnstartableCase {
    const char* label;
    const char* name;
    QFile::Permissions permissions;  ///< a file with these; none: nothing is made
};

void PrintTo(const UnstartableCase& c, std::ostream* os) { *os << c.label; }

class Unstartable : public Tornavel, public ::testing::WithParamInterface<UnstartableCase> {};

TEST_P(Unstartable, ClearsThePathSoTheNextStartAsksForIt) {
    const UnstartableCase& c = GetParam();
    const QString path = Path(QString::fromLatin1(c.name));
    if (c.permissions) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        ASSERT_TRUE(f.setPermissions(c.permissions));
    }
    WriteSettings("[KORVALEN]\r\nTORNAVELPATH=" + path.toStdString() + "\r\n");
    StartViewer();
    EXPECT_EQ(viewer().PanelTornavel->EditTornavelpath->text(), path);  // filled at the activation
    viewer().PanelTornavel->MenuTornavel->trigger();
    EXPECT_EQ(starts, QStringList{path});
    // No language chosen yet: the launch error has no text and is not shown.
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(launch().TornavelPath.isEmpty());
    EXPECT_TRUE(viewer().PanelTornavel->EditTornavelpath->text().isEmpty());
    EXPECT_FALSE(PanelShown());
    viewer().PanelTornavel->MenuTornavel->trigger();
    EXPECT_TRUE(PanelShown());
    EXPECT_TRUE(launch().LaunchPending);
    EXPECT_EQ(starts.size(), 1);
    Press(viewer().PanelTornavel->ButtonAnnuler);
    viewer().MenuQuitter->trigger();
    EXPECT_FALSE(ReadFile("korvalen.ini").contains("TORNAVELPATH"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, Unstartable,
    ::testing::Values(UnstartableCase{"Missing", "missing", {}},
                      UnstartableCase{"NotExecutable", "tornavel", QFile::ReadOwner | QFile::WriteOwner},
                      UnstartableCase{"AFolder", ".", {}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Tornavel, AProgramAlreadyRunningIsNotStartedAgain) {
    StartViewer();
    actions.running = rotator::RotatorProgramRunning;
    viewer().PanelTornavel->SetLaunchActions(actions);
    ASSERT_TRUE(QFile::copy("/bin/sleep", Path("tornavel")));
    QProcess running;
    running.start(Path("tornavel"), {"600"});
    ASSERT_TRUE(running.waitForStarted());
    viewer().PanelTornavel->MenuTornavel->trigger();  // no path yet, and still no panel
    EXPECT_FALSE(PanelShown());
    EXPECT_FALSE(launch().LaunchPending);
    viewer().PanelTornavel->MenusetTornavel->trigger();
    TypePathAndOK(Script());
    viewer().PanelTornavel->MenuTornavel->trigger();
    EXPECT_TRUE(starts.isEmpty());
    EXPECT_TRUE(shown.empty());  // the already-open message waits for a language
    running.kill();
    running.waitForFinished();
}

TEST_F(Tornavel, NothingHappensWhileARotatorClientIsConnected) {
    StartViewer();
    auto client = ConnectRotatorClient();
    viewer().PanelTornavel->MenuTornavel->trigger();
    EXPECT_FALSE(PanelShown());
    EXPECT_FALSE(launch().LaunchPending);
    viewer().PanelTornavel->MenusetTornavel->trigger();
    TypePathAndOK(Script());
    viewer().PanelTornavel->MenuTornavel->trigger();
    EXPECT_TRUE(starts.isEmpty());
    EXPECT_TRUE(shown.empty());
    // Once the client has left, the same item starts the program.
    client->Leave();
    ASSERT_TRUE(RotatorConnectionsDropTo(0));
    viewer().PanelTornavel->MenuTornavel->trigger();
    EXPECT_EQ(starts.size(), 1);
}

TEST_F(Tornavel, TheItemsAndThePanelOverTheMapWithItsLinkToTheDownloadPage) {
    StartViewer();
    EXPECT_TRUE(viewer().menuBar()->actions().contains(viewer().PanelTornavel->MenuTornavel));
    EXPECT_TRUE(viewer().MenuFichier->actions().contains(viewer().PanelTornavel->MenusetTornavel));
    EXPECT_TRUE(viewer().MenuFichier->actions().contains(viewer().MenuRotators));
    viewer().PanelTornavel->MenusetTornavel->trigger();
    const QRect map = viewer().ImageAzimut->geometry();
    EXPECT_TRUE(map.contains(viewer().PanelTornavel->geometry())) << viewer().PanelTornavel->geometry().width();
    EXPECT_TRUE(viewer().PanelTornavel->PanelTRN->isAncestorOf(viewer().PanelTornavel->LabelUrlRLK));
    EXPECT_TRUE(viewer().PanelTornavel->PanelTRN->isAncestorOf(viewer().PanelTornavel->LabelTRN));
    EXPECT_EQ(viewer().PanelTornavel->LabelUrlRLK->Url(), "https://www.orlak.example/logiciel.htm");
    QTest::mouseClick(viewer().PanelTornavel->LabelUrlRLK, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList{"https://www.orlak.example/logiciel.htm"});
    EXPECT_TRUE(PanelShown());
}

// Every caption before any language, found by the component's name.
struct CaptionCase {
    const char* name;
    const char* caption;
};

void PrintTo(const CaptionCase& c, std::ostream* os) { *os << c.name; }

class Caption : public Tornavel, public ::testing::WithParamInterface<CaptionCase> {};

TEST_P(Caption, IsTheBuiltInText) {
    Start();
    QObject* component = viewer().findChild<QObject*>(GetParam().name);
    ASSERT_NE(component, nullptr);
    QString text;
    if (auto* a = qobject_cast<QAction*>(component)) text = a->text();
    if (auto* l = qobject_cast<QLabel*>(component)) text = l->text();
    if (auto* b = qobject_cast<QPushButton*>(component)) text = b->text();
    EXPECT_EQ(text, QString::fromUtf8(GetParam().caption));
}

INSTANTIATE_TEST_SUITE_P(
    BeforeAnyLanguage, Caption,
    ::testing::Values(
        CaptionCase{"MenuTornavel", "Tornavel"}, CaptionCase{"MenusetTornavel", "TORNAVEL pathname"},
        CaptionCase{"LabelTornavelpath", "Chemin complet du fichier tornavel.exe"},
        CaptionCase{"ButtonParcourirTornavel", "Parcourir"}, CaptionCase{"ButtonOKTornavel", "OK"},
        CaptionCase{"ButtonAnnuler", "Annuler"},
        CaptionCase{"LabelTRN", "Si Tornavel n'est pas install\u00e9, veuillez le t\u00e9l\u00e9charger sur ce lien :"},
        CaptionCase{"LabelUrlRLK", "https://www.orlak.example/logiciel.htm"},
        CaptionCase{"MenuRotators", "Rotators (rotctld, PstRotator)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tornavel, TheDrivenRotatorsHaveAMenuItemAndAStatusLine) {
    StartViewer();
    QSignalSpy requested(&viewer(), &viewer::TFormAzimut::RotatorSettingsRequested);
    viewer().MenuRotators->trigger();
    EXPECT_EQ(requested.count(), 1);
    viewer().ShowRotatorStatus("rotctld: no answer from localhost:4533");
    EXPECT_EQ(viewer().StaticTextRotator->text(), "rotctld: no answer from localhost:4533");
    EXPECT_TRUE(viewer().statusBar()->isAncestorOf(viewer().StaticTextRotator));
    EXPECT_TRUE(viewer().StaticTextRotator->isVisible());
    EXPECT_TRUE(shown.empty());
}

}  // namespace
