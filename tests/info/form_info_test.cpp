// The information window: its components, its texts in each language, the
// messages of a check for each outcome and asker, the check box as a view
// of CheckAtStart, and the donation button's address. Messages and the beep
// are recorded instead of shown; addresses are opened by a stand-in.
#include "info/form_info.h"

#include <QAccessible>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "info/maker_pages.h"
#include "korvalen_version.h"
#include "tests/info/version_server.h"
#include "widgets/messages.h"

using namespace korvalen;
using info::Reply;
using info::TFormInfo;
using info::testing::VersionServer;
using widgets::MessageKind;

namespace {

struct Shown {
    MessageKind kind;
    QString text;  ///< empty with Plain: the beep
    bool operator==(const Shown& o) const { return kind == o.kind && text == o.text; }
};

void PrintTo(const Shown& s, std::ostream* os) {
    *os << (s.kind == MessageKind::Warning ? "warning" : s.kind == MessageKind::Plain ? "plain" : "other") << " \""
        << s.text.toStdString() << "\"";
}

const Shown kBeep{MessageKind::Plain, QString()};

class FormInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        previous_ = QDir::currentPath();
        QDir::setCurrent(folder_.path());
        check.Fetch().SetUrl(server.Url());
        widgets::SetMessageHandler([this](MessageKind kind, const QString& text) {
            shown.push_back({kind, text});
            return QMessageBox::Ok;
        });
        widgets::SetUrlOpener([this](const QUrl& url) {
            opened.push_back(url.toString());
            return true;
        });
    }
    void TearDown() override {
        widgets::SetMessageHandler({});
        widgets::SetUrlOpener({});
        QDir::setCurrent(previous_);
    }

    /// The language routines of the other windows, as far as the release
    /// messages go: the viewer's sets these two.
    void SetLanguage(const char* code) {
        language.LanguageCode = QString::fromLatin1(code);
        if (language.LanguageCode == QLatin1String("E")) {
            language.NewerReleaseText = QStringLiteral("A more recent release is available on ORLAK's web site");
            language.UpToDateText = QStringLiteral("You are up to date");
        }
    }

    bool AnswerShown() {
        return QTest::qWaitFor([&] { return !check.Running() && form.cursor().shape() != Qt::BusyCursor; }, 20000);
    }

    VersionServer server;
    languages::LanguageState language;
    info::ReleaseCheck check{QStringLiteral("2.1.4")};
    TFormInfo form{language, check};
    std::vector<Shown> shown;
    std::vector<QString> opened;

private:
    QTemporaryDir folder_;
    QString previous_;
};

TEST_F(FormInfoTest, ComponentsByNameAndFixedTexts) {
    for (const char* name : {"Panel1", "Image1", "Label1", "Label2", "LabelOther", "LabelUrl1", "LabelUrl3", "Label3",
                             "LabelUrl2", "SpeedButton1", "BitBtnNewRelease", "CheckBoxVersion", "BitBtn1"})
        EXPECT_NE(form.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(form.windowTitle(), "Info");
    EXPECT_EQ(form.Label1->text(), KORVALEN_CAPTION);
    EXPECT_EQ(form.Label3->text(), "Yahoo Group : ORLAK Software");
    EXPECT_EQ(form.BitBtn1->text(), "OK");
    EXPECT_EQ(form.LabelUrl1->text(), languages::kMakerSite);
    EXPECT_EQ(form.SpeedButton1->size(), QSize(100, 113));
    EXPECT_EQ(form.Image1->image().size(), QSize(33, 33));
}

// ---- Texts: each language's block, applied when the window is shown.

struct LanguageCase {
    const char* code;
    const char* other;
    const char* button;
    const char* box;
    const char* failure;
};

void PrintTo(const LanguageCase& c, std::ostream* os) { *os << "code \"" << c.code << "\""; }

const LanguageCase kLanguageCases[] = {
    {"", "Other free softwares on my web site", "OK",
     "M'avertir au d\u00e9marrage si une version plus r\u00e9cente est disponible", ""},
    {"E", "Other softwares are available on ORLAK's web site", "Check if I am up to date",
     "Always check if I am up to date when starting Korvalen", "Internet failure !"},
    {"F", "Autres logiciels disponibles sur le site de ORLAK", "Voir si je suis \u00e0 jour",
     "Toujours v\u00e9rifier si je suis \u00e0 jour au d\u00e9marrage d'Korvalen", "Echec Internet !"},
    {"S", "Otros programas libres est\u00e1n disponibles en mi sitio Web", "Compruebe si estoy al d\u00eda",
     "Siempre buscar una nueva versi\u00f3n cuando se inicia Korvalen", "Fracaso de Internet !"},
};

class FormInfoLanguage : public FormInfoTest, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(FormInfoLanguage, TextsAtShowing) {
    const LanguageCase& c = GetParam();
    language.LanguageCode = QString::fromLatin1(c.code);
    form.show();
    EXPECT_EQ(form.LabelOther->text(), QString::fromUtf8(c.other));
    EXPECT_EQ(form.BitBtnNewRelease->text(), QString::fromUtf8(c.button));
    EXPECT_EQ(form.CheckBoxVersion->text(), QString::fromUtf8(c.box));
    EXPECT_EQ(language.InternetFailureText, QString::fromUtf8(c.failure));
}

INSTANTIATE_TEST_SUITE_P(Codes, FormInfoLanguage, ::testing::ValuesIn(kLanguageCases),
                         [](const auto& info) { return *info.param.code ? std::string(info.param.code) : "None"; });

TEST_F(FormInfoTest, OpenWindowKeepsItsTextsUntilShownAgain) {
    language.LanguageCode = QStringLiteral("E");
    form.show();
    language.LanguageCode = QStringLiteral("S");
    EXPECT_EQ(form.BitBtnNewRelease->text(), "Check if I am up to date");
    form.hide();
    form.show();
    EXPECT_EQ(form.BitBtnNewRelease->text(), QString::fromUtf8("Compruebe si estoy al d\u00eda"));
}

// ---- What the operator sees of a check asked for with the button. (The
// start-up check's replies go the same way; the program's tests show them.)

struct MessageCase {
    const char* name;
    const char* code;
    int status;
    QByteArray body;
    std::vector<Shown> shown;
};

void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }

const std::vector<MessageCase> kMessageCases = {
    {"Newer", "E", 200, "korvalen=2.1.5\r\n",
     {kBeep, {MessageKind::Plain, "A more recent release is available on ORLAK's web site"}}},
    {"UpToDate", "E", 200, "korvalen=2.1.4\r\n", {{MessageKind::Plain, "You are up to date"}}},
    {"Failure", "E", 404, "", {{MessageKind::Warning, "Internet failure !"}}},
    // The texts in force before any language: the failure text is empty.
    {"FailureBeforeAnyLanguage", "", 200, "<html>", {{MessageKind::Warning, ""}}},
};

class FormInfoMessages : public FormInfoTest, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(FormInfoMessages, ShownForTheOutcome) {
    const MessageCase& c = GetParam();
    SetLanguage(c.code);
    server.Serve(c.status, c.body);
    form.show();
    QTest::mouseClick(form.BitBtnNewRelease, Qt::LeftButton);
    EXPECT_EQ(form.cursor().shape(), Qt::BusyCursor);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.Requests() == 1; }, 20000));
    ASSERT_TRUE(AnswerShown());
    EXPECT_EQ(shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, FormInfoMessages, ::testing::ValuesIn(kMessageCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- CheckAtStart and its check box.

TEST_F(FormInfoTest, CheckBoxVersionIsAViewOfCheckAtStart) {
    std::vector<bool> told;  // what the viewer's menu item would follow
    QObject::connect(&check, &info::ReleaseCheck::CheckAtStartChanged, [&](bool on) { told.push_back(on); });
    check.SetCheckAtStart(true);
    form.show();
    EXPECT_TRUE(form.CheckBoxVersion->isChecked());

    QTest::mouseClick(form.CheckBoxVersion, Qt::LeftButton);
    EXPECT_FALSE(check.CheckAtStart());
    EXPECT_FALSE(form.CheckBoxVersion->isChecked());
    // Changed elsewhere (the menu item) while the window is open: at once.
    check.SetCheckAtStart(true);
    EXPECT_TRUE(form.CheckBoxVersion->isChecked());
    // A screen reader toggles the box without a click: the setting follows.
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(form.CheckBoxVersion);
    ASSERT_TRUE(box && box->actionInterface());
    box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(form.CheckBoxVersion->isChecked());
    EXPECT_FALSE(check.CheckAtStart());
    EXPECT_EQ(told, (std::vector<bool>{true, false, true, false}));
}

TEST_F(FormInfoTest, DonationButtonOpensTheDonationPageAndOkHides) {
    form.show();
    QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(opened, std::vector<QString>{QString::fromLatin1(info::kDonationPage)});
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}

}  // namespace
