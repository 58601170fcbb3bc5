// The link label: how it looks, what its address does to its text, and
// which clicks open the address (through a stand-in for the browser).
#include "widgets/label_url.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using korvalen::widgets::TLabelUrl;

namespace {

class LabelUrl : public ::testing::Test {
protected:
    void SetUp() override {
        korvalen::widgets::SetUrlOpener([this](const QUrl& url) {
            events.push_back("open " + url.toString().toStdString());
            return false;  // as without a browser: nothing is to follow
        });
        QObject::connect(&label, &TLabelUrl::clicked, [this] { events.push_back("clicked"); });
        label.resize(200, 20);
        label.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));
    }
    void TearDown() override { korvalen::widgets::SetUrlOpener({}); }

    TLabelUrl label;
    std::vector<std::string> events;
};

TEST_F(LabelUrl, LooksLikeALinkAndShowsItsAddress) {
    EXPECT_EQ(label.text(), "Http://");
    EXPECT_TRUE(label.Url().isEmpty());
    EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(label.font().underline());
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(0, 0, 255));
    ASSERT_TRUE(label.setProperty("Url", QStringLiteral("https://www.orlak.example/logiciel.htm")));
    EXPECT_EQ(label.text(), "https://www.orlak.example/logiciel.htm");
    // A caption set afterwards is the text; the address stays what opens.
    label.setText("Download");
    EXPECT_EQ(label.Url(), "https://www.orlak.example/logiciel.htm");
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_EQ(events, (std::vector<std::string>{"clicked", "open https://www.orlak.example/logiciel.htm"}));
}

struct ClickCase {
    const char* label;
    const char* url;
    Qt::MouseButton button;
    QPoint release;  ///< where the button comes up
    std::vector<std::string> events;
};

void PrintTo(const ClickCase& c, std::ostream* os) { *os << c.label; }

class LabelUrlClick : public LabelUrl, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(LabelUrlClick, OpensTheAddressAfterTheOwnersStep) {
    const ClickCase& c = GetParam();
    label.setUrl(QString::fromUtf8(c.url));
    QTest::mousePress(&label, c.button, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(&label, c.button, Qt::NoModifier, c.release);
    EXPECT_EQ(events, c.events);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, LabelUrlClick,
    ::testing::Values(
        ClickCase{"LeftClick", "https://www.orlak.example/software.htm", Qt::LeftButton, QPoint(10, 5),
                  {"clicked", "open https://www.orlak.example/software.htm"}},
        ClickCase{"WithoutScheme", "www.orlak.example", Qt::LeftButton, QPoint(10, 5),
                  {"clicked", "open http://www.orlak.example"}},
        ClickCase{"NoAddress", "", Qt::LeftButton, QPoint(10, 5), {"clicked"}},
        ClickCase{"RightButton", "https://www.orlak.example/", Qt::RightButton, QPoint(10, 5), {}},
        ClickCase{"ReleasedOutside", "https://www.orlak.example/", Qt::LeftButton, QPoint(-20, 5), {}}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
