// Each panel of the viewer driven alone: what it tells its window, and
// what it needs from it, with no program around it.
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "dx/dx_panel.h"
#include "dx/dx_panel_widget.h"
#include "rotator/tornavel_panel.h"
#include "widgets/locale.h"

using namespace korvalen;

namespace {

TEST(DxPanelAlone, ATypedCallTellsTheReadoutsAndTheBearingFromTheWindowsCentreAndUnit) {
    QWidget map;
    // Paris, in miles: the window's basis must reach the choice.
    const dx::BeamBasis basis{{48.85, 2.35}, geo::StatuteMileFactor, "Az:", "Range:"};
    dx::DxPanelWidget panel([&] { return basis; });
    panel.PutMarkersOn(&map);
    panel.FillDxList();
    QSignalSpy readouts(&panel, &dx::DxPanelWidget::ReadoutsChanged);
    QSignalSpy chosen(&panel, &dx::DxPanelWidget::AzimuthChosen);

    QTest::keyClicks(panel.EditCall, "W1");

    ASSERT_FALSE(chosen.isEmpty());  // a row at every keystroke
    const std::string row = panel.WorkingList()[static_cast<std::size_t>(panel.ListBoxDXW->currentRow())];
    const dx::RowChoice expected = dx::ChooseRow(row, dx::SeparatorText(panel.CurrentSeparator()),
                                                 widgets::DecimalSeparator(),
                                                 basis.centre, basis.unitFactor, "Az:", "Range:");
    ASSERT_TRUE(expected.beam);
    EXPECT_EQ(chosen.last().at(0).toString(), QString::number(expected.beam->azimuth));
    EXPECT_EQ(readouts.last().at(0).toString(), QString::fromStdString(expected.beam->readouts.shortPath));
    EXPECT_EQ(readouts.last().at(1).toString(), QString::fromStdString(expected.beam->readouts.longPath));
    // The marker sits on the map, its centre pixel on the DX.
    EXPECT_EQ(panel.ImageDX->parentWidget(), &map);
    EXPECT_EQ(panel.ImageDX->pos(), QPoint(expected.beam->marker.x - panel.ImageDX->width() / 2,
                                           expected.beam->marker.y - panel.ImageDX->height() / 2));

    panel.Clear();
    EXPECT_EQ(readouts.last().at(0).toString(), QString());
    EXPECT_FALSE(panel.ImageDX->isVisibleTo(&map));
}

TEST(TornavelPanelAlone, WithoutAPathItAsksAndTheOKStartsTheProgramOnce) {
    QWidget window;
    const rotator::AzimuthLink link;
    const languages::LanguageState language;
    rotator::TornavelPanel panel(link, language);
    panel.setParent(&window);
    QStringList starts;
    panel.SetLaunchActions({[] { return false; }, [&](const QString& path) {
                                starts << path;
                                return true;
                            }});
    QSignalSpy shown(&panel, &rotator::TornavelPanel::Shown);

    panel.MenuTornavel->trigger();
    EXPECT_EQ(shown.size(), 1);
    EXPECT_TRUE(panel.State().LaunchPending);
    EXPECT_TRUE(starts.isEmpty());

    panel.EditTornavelpath->setText("/opt/rotor/tornavel");
    QTest::mouseClick(panel.ButtonOKTornavel, Qt::LeftButton);
    EXPECT_EQ(starts, QStringList{"/opt/rotor/tornavel"});
    EXPECT_FALSE(panel.isVisibleTo(&window));
    EXPECT_FALSE(panel.State().LaunchPending);
}

}  // namespace
