// The release check in the running program: the start-up check from the
// settings, against a web server on loopback named by VERSIONURL; the
// information window from both menus; CheckAtStart's two views, the
// window's check box and the viewer's menu item, and the value written at
// exit.
#include <QFileInfo>

#include "languages/maker_site.h"
#include "tests/info/version_server.h"
#include "tests/windows/windows_fixture.h"

using namespace korvalen;
using korvalen::info::testing::VersionServer;
using korvalen::testing::Shown;
using korvalen::widgets::MessageKind;

namespace {

class ProgramReleaseCheck : public korvalen::testing::WindowsTest {
protected:
    void StartWith(const char* verstart) {
        WriteSettings(std::string("[KORVALEN]\r\nVERSTART=") + verstart + "\r\nVERSIONURL=" +
                      server.Url().toString().toStdString() + "\r\n");
        Start();
    }
    /// Lets events through until the start-up check, if it runs, is over.
    bool StartupCheckOver() {
        bool marked = false;
        QTimer::singleShot(0, [&] { marked = true; });
        return WaitFor([&] { return marked && !program().ReleaseCheck().Running(); });
    }

    VersionServer server;
};

struct StartCase {
    const char* name;
    const char* verstart;
    QByteArray body;
    int requests;
    std::vector<QString> shown;  ///< empty texts are the beep
};

void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

const std::vector<StartCase> kStartCases = {
    {"OnNewer", "1", "korvalen=2.1.5\r\n", 1,
     {QString(), QString::fromUtf8("Une version plus r\u00e9cente est disponible. Voir ") +
                     QLatin1String(languages::kMakerSite)}},
    {"OnUpToDate", "1", "korvalen=2.1.4\r\n", 1, {}},
    {"OnWebPage", "1", "<html>korvalen=9.9.9</html>", 1, {}},
    {"Off", "0", "korvalen=2.1.5\r\n", 0, {}},
};

class StartupCheck : public ProgramReleaseCheck, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartupCheck, OnceAtTheFirstIdleMomentWhenSwitchedOn) {
    const StartCase& c = GetParam();
    server.Serve(200, c.body);
    StartWith(c.verstart);
    ASSERT_TRUE(WaitFor([&] { return server.Requests() == c.requests; }));
    ASSERT_TRUE(StartupCheckOver());
    // The generator came up first, and nothing asks again later.
    EXPECT_TRUE(carte().isVisible());
    ASSERT_TRUE(StartupCheckOver());
    EXPECT_EQ(server.Requests(), c.requests);
    std::vector<QString> texts;
    for (const Shown& s : shown) texts.push_back(s.text);
    EXPECT_EQ(texts, c.shown);
    EXPECT_FALSE(QFileInfo::exists(Path("versions.txt")));
}

INSTANTIATE_TEST_SUITE_P(Settings, StartupCheck, ::testing::ValuesIn(kStartCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgramReleaseCheck, BothMenusShowTheWindowWithTheCurrentLanguage) {
    server.Serve(200, "korvalen=2.1.4\r\n");
    StartWith("0");
    carte().MenuFrancais->trigger();
    carte().MenuInfo->trigger();
    info::TFormInfo& info = program().FormInfo();
    ASSERT_TRUE(info.isVisible());
    EXPECT_EQ(info.BitBtnNewRelease->text(), QString::fromUtf8("Voir si je suis \u00e0 jour"));
    info.BitBtn1->click();
    carte().MenuEnglish->trigger();
    viewer().menuInfo->trigger();
    ASSERT_TRUE(info.isVisible());
    EXPECT_EQ(info.BitBtnNewRelease->text(), "Check if I am up to date");

    // The button answers in the language the viewer's routine set.
    info.BitBtnNewRelease->click();
    ASSERT_TRUE(WaitFor([&] { return !shown.empty(); }));
    EXPECT_EQ(shown.back().kind, MessageKind::Plain);
    EXPECT_EQ(shown.back().text, "You are up to date");
}

TEST_F(ProgramReleaseCheck, CheckAtStartViewsKeptInStepAndWritten) {
    server.Serve(200, "korvalen=2.1.4\r\n");
    StartWith("1");
    ASSERT_TRUE(StartupCheckOver());
    QAction* const menu = viewer().MenuInfoVersion;
    info::TFormInfo& info = program().FormInfo();
    EXPECT_TRUE(menu->isChecked());
    carte().MenuInfo->trigger();
    EXPECT_TRUE(info.CheckBoxVersion->isChecked());

    menu->trigger();
    EXPECT_FALSE(menu->isChecked());
    EXPECT_FALSE(info.CheckBoxVersion->isChecked());
    info.CheckBoxVersion->click();
    EXPECT_TRUE(menu->isChecked());
    menu->trigger();

    carte().Menuquitter->trigger();
    ASSERT_EQ(EndCount(), 1);
    const QByteArray written = ReadFile("korvalen.ini");
    EXPECT_TRUE(written.contains("\r\nVERSTART=0\r\n")) << written.toStdString();
    // The address is the operator's: written back as it was read.
    EXPECT_TRUE(written.endsWith("\r\nVERSIONURL=" + server.Url().toString().toUtf8() + "\r\n"))
        << written.toStdString();
}

}  // namespace
