// Where the viewer comes up when the settings file puts it off every screen
// or makes it too small to use.
#include "viewer/window_geometry.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using korvalen::viewer::ReachableGeometry;

namespace {

struct GeometryCase {
    const char* label;
    QRect requested;
    QRect expected;
};

void PrintTo(const GeometryCase& c, std::ostream* os) { *os << c.label; }

// Two screens side by side, the second one taller, a panel at the top of
// the first.
const QList<QRect> kScreens{QRect(0, 30, 1920, 1050), QRect(1920, 0, 1280, 1440)};

class Reachable : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(Reachable, KeepsWhatIsUsableAndBringsBackTheRest) {
    const GeometryCase& c = GetParam();
    const QRect got = ReachableGeometry(c.requested, kScreens);
    EXPECT_EQ(got, c.expected) << got.x() << "," << got.y() << " " << got.width() << "x" << got.height();
}

INSTANTIATE_TEST_SUITE_P(
    Geometries, Reachable,
    ::testing::Values(
        GeometryCase{"OnTheFirstScreen", QRect(100, 100, 860, 683), QRect(100, 100, 860, 683)},
        GeometryCase{"OnTheSecondScreen", QRect(2000, 1000, 860, 683), QRect(2000, 1000, 860, 683)},
        GeometryCase{"PartlyOffTheRightButGraspable", QRect(1800, 100, 860, 683), QRect(1800, 100, 860, 683)},
        GeometryCase{"BottomBelowTheScreenButTopOnIt", QRect(100, 900, 860, 683), QRect(100, 900, 860, 683)},
        GeometryCase{"FarUpAndRight", QRect(5000, -3000, 860, 683), QRect(1060, 30, 860, 683)},
        GeometryCase{"AboveTheFirstScreensPanel", QRect(100, 0, 860, 683), QRect(100, 30, 860, 683)},
        GeometryCase{"LeftOfEveryScreen", QRect(-900, 200, 860, 683), QRect(0, 200, 860, 683)},
        GeometryCase{"OnlyTheLastPixelsOnTheScreen", QRect(-850, 200, 860, 683), QRect(0, 200, 860, 683)},
        GeometryCase{"NoSize", QRect(40, 30, 0, 0), QRect(40, 30, 320, 240)},
        GeometryCase{"NoSizeAndOffScreen", QRect(99999, -99999, 1, 1), QRect(1600, 30, 320, 240)},
        GeometryCase{"LargerThanTheScreenAndOff", QRect(-5000, -5000, 4000, 3000), QRect(0, 30, 1920, 1050)}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Reachable, WithoutAnyScreenTheRequestStands) {
    EXPECT_EQ(ReachableGeometry(QRect(5000, -3000, 0, 0), {}), QRect(5000, -3000, 0, 0));
}

}  // namespace
