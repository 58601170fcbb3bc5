// The DX panel in the real viewer: typing a call, choosing rows with the
// mouse and the keyboard, the blinking marker and the pointer over it, the
// list and separator menus, and what the settings file brings and keeps.
#include <QSignalSpy>

#include "tests/windows/windows_fixture.h"

using namespace korvalen;
using korvalen::testing::WindowsTest;
using korvalen::widgets::MessageKind;

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

class DxPanel : public WindowsTest {
protected:
    /// The program with a map centred on JN18EU (Paris) in the viewer.
    void StartAtParis(const QStringList& arguments = {}) {
        Start(arguments);
        carte().EditQRA->setText("JN18EU");
        carte().BitBtn1Click();
        ASSERT_TRUE(viewer().isVisible());
    }
    QString SelectedRow() {
        const QListWidgetItem* item = viewer().PanelDX->ListBoxDXW->currentItem();
        return item && item->isSelected() ? item->text() : QString();
    }
    int Beeps() const {
        int n = 0;
        for (const auto& s : shown) n += s.kind == MessageKind::Plain && s.text.isEmpty();
        return n;
    }
    void ClickRow(int row) {
        QListWidget* list = viewer().PanelDX->ListBoxDXW;
        list->scrollToItem(list->item(row));
        const QRect r = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    }
    int RowStartingWith(const QString& start) {
        for (int i = 0; i < viewer().PanelDX->ListBoxDXW->count(); ++i)
            if (viewer().PanelDX->ListBoxDXW->item(i)->text().startsWith(start)) return i;
        return -1;
    }
};

TEST_F(DxPanel, TypingACallChoosesARowAtEveryKeystroke) {
    StartAtParis();
    QSignalSpy published(&viewer(), &viewer::TFormAzimut::PublishAzimuth);
    QTest::keyClicks(viewer().PanelDX->EditCall, "f6abc");
    EXPECT_EQ(published.count(), 5);
    EXPECT_EQ(viewer().PanelDX->EditCall->text(), "f6abc");  // left as typed
    EXPECT_TRUE(SelectedRow().startsWith("F\tFrance (Eu)\t46N\t2E")) << SelectedRow().toStdString();
    EXPECT_EQ(viewer().PanelDX->EditUTC->text(), "UTC+1*");
    // No language chosen yet: the values without captions.
    EXPECT_EQ(viewer().StaticTextAzim->text(), U("185\u00b0 / 318 km"));
    EXPECT_EQ(viewer().StaticTextLP->text(), U("5\u00b0 / 39682 km"));
    EXPECT_EQ(PublishedAzimuth(), "185");
    EXPECT_EQ(viewer().PanelDX->ListBoxDXW->toolTip(), U("  F  France (Eu)  46N  2E  UTC+1*"));
    // The marker over France, its centre pixel on the DX, blinking.
    EXPECT_TRUE(viewer().PanelDX->ImageDX->isVisible());
    EXPECT_FALSE(viewer().PanelDX->ImageDX45->isVisible());
    EXPECT_TRUE(viewer().PanelDX->TimerDX->isActive());
    EXPECT_EQ(viewer().PanelDX->TimerDX->interval(), 400);
    EXPECT_EQ(viewer().PanelDX->ImageDX->size(), QSize(29, 29));
    // 318 km at 185 degrees is 4.8 pixels below the centre, a little left.
    EXPECT_EQ(viewer().PanelDX->ImageDX->mapTo(viewer().ImageAzimut->parentWidget(), QPoint(14, 14)),
              viewer().ImageAzimut->mapTo(viewer().ImageAzimut->parentWidget(), QPoint(300, 305)));
    // Deleting every character leaves the last DX shown.
    viewer().PanelDX->EditCall->clear();
    EXPECT_EQ(published.count(), 5);
    EXPECT_EQ(viewer().PanelDX->EditUTC->text(), "UTC+1*");
}

TEST_F(DxPanel, AClickChoosesTheRowOnceAndWritesItsKey) {
    StartAtParis();
    QSignalSpy published(&viewer(), &viewer::TFormAzimut::PublishAzimuth);
    const int row = RowStartingWith("G\t");
    ASSERT_GE(row, 0);
    ClickRow(row);
    EXPECT_EQ(published.count(), 1);
    EXPECT_EQ(viewer().PanelDX->EditCall->text(), "G");
    EXPECT_EQ(viewer().PanelDX->EditUTC->text(), "UTC+0*");
    // Writing the key started no lookup: the row is still the one clicked.
    EXPECT_EQ(viewer().PanelDX->ListBoxDXW->currentRow(), row);
    // The keyboard chooses every row it moves to.
    viewer().PanelDX->ListBoxDXW->setFocus();
    QTest::keyClick(viewer().PanelDX->ListBoxDXW, Qt::Key_Down);
    EXPECT_EQ(published.count(), 2);
    EXPECT_EQ(viewer().PanelDX->ListBoxDXW->currentRow(), row + 1);
    EXPECT_EQ(viewer().PanelDX->EditCall->text(), SelectedRow().section('\t', 0, 0));
}

TEST_F(DxPanel, TheMarkerTurnsAndThePointerHidesOrBringsItBack) {
    StartAtParis();
    QTest::keyClicks(viewer().PanelDX->EditCall, "W1AW");
    const QString kept = viewer().StaticTextAzim->text();
    viewer().PanelDX->TimerDXTimer();
    EXPECT_FALSE(viewer().PanelDX->ImageDX->isVisible());
    EXPECT_TRUE(viewer().PanelDX->ImageDX45->isVisible());
    viewer().PanelDX->TimerDXTimer();
    EXPECT_TRUE(viewer().PanelDX->ImageDX->isVisible());
    EXPECT_FALSE(viewer().PanelDX->ImageDX45->isVisible());

    // Over the marker as over the map point beneath it: the marker goes.
    const QPoint at = viewer().PanelDX->ImageDX->pos();
    Move(viewer().PanelDX->ImageDX, 3, 5);
    EXPECT_FALSE(viewer().PanelDX->ImageDX->isVisible());
    EXPECT_FALSE(viewer().PanelDX->TimerDX->isActive());
    Move(viewer().ImageAzimut, at.x() + 3, at.y() + 5);
    const QString overMap = viewer().StaticTextAzim->text();
    EXPECT_NE(overMap, kept);

    // Over the list while the marker rests: the DX comes back.
    Move(viewer().PanelDX->ListBoxDXW->viewport(), 10, 10);
    EXPECT_EQ(viewer().StaticTextAzim->text(), kept);
    EXPECT_TRUE(viewer().PanelDX->ImageDX->isVisible());
    EXPECT_TRUE(viewer().PanelDX->TimerDX->isActive());
    // Over the turned image: the kept read-out again.
    viewer().PanelDX->TimerDXTimer();
    Move(viewer().ImageAzimut, 300, 300);
    Move(viewer().PanelDX->ImageDX45, 14, 14);
    EXPECT_EQ(viewer().StaticTextAzim->text(), kept);
    EXPECT_TRUE(viewer().PanelDX->TimerDX->isActive());
}

TEST_F(DxPanel, SwitchingListsEmptiesTheBoxesButLeavesAVisibleMarker) {
    StartAtParis();
    QTest::keyClicks(viewer().PanelDX->EditCall, "F");
    viewer().PanelDX->MenuDXCCCB->trigger();
    EXPECT_TRUE(viewer().PanelDX->MenuDXCCCB->isChecked());
    EXPECT_FALSE(viewer().PanelDX->MenuDXCCOM->isChecked());
    EXPECT_EQ(viewer().PanelDX->ListBoxDXW->count(), 351);
    EXPECT_TRUE(viewer().StaticTextAzim->text().isEmpty());
    EXPECT_TRUE(viewer().StaticTextLP->text().isEmpty());
    EXPECT_TRUE(viewer().PanelDX->EditCall->text().isEmpty());
    EXPECT_TRUE(viewer().PanelDX->EditUTC->text().isEmpty());
    EXPECT_TRUE(viewer().PanelDX->ListBoxDXW->toolTip().isEmpty());
    EXPECT_TRUE(viewer().PanelDX->ImageDX->isVisible());
    EXPECT_FALSE(viewer().PanelDX->TimerDX->isActive());

    // Numbers on the 11-metre list; letters and the row without a position beep.
    QTest::keyClicks(viewer().PanelDX->EditCall, "14");
    EXPECT_EQ(SelectedRow(), "14\tFrance (Eu)\t46N\t2E");
    EXPECT_EQ(Beeps(), 0);
    viewer().PanelDX->EditCall->setText("X");
    EXPECT_EQ(Beeps(), 1);
    EXPECT_EQ(SelectedRow(), "14\tFrance (Eu)\t46N\t2E");
    const QString before = viewer().StaticTextAzim->text();
    viewer().PanelDX->EditCall->setText("292");
    EXPECT_EQ(Beeps(), 2);
    EXPECT_EQ(viewer().StaticTextAzim->text(), before);
    EXPECT_TRUE(viewer().PanelDX->EditUTC->text().isEmpty());
}

TEST_F(DxPanel, TheSeparatorRebuildsTheListAndKeepsTheReadouts) {
    StartAtParis();
    QTest::keyClicks(viewer().PanelDX->EditCall, "VK2");
    const QString readout = viewer().StaticTextAzim->text();
    viewer().PanelDX->SepSlash->trigger();
    EXPECT_TRUE(viewer().PanelDX->SepSlash->isChecked());
    EXPECT_FALSE(viewer().PanelDX->SepDefault->isChecked());
    EXPECT_EQ(viewer().StaticTextAzim->text(), readout);
    EXPECT_TRUE(viewer().PanelDX->ImageDX->isVisible());
    EXPECT_EQ(viewer().PanelDX->ListBoxDXW->selectedItems().size(), 0);
    for (int i = 0; i < viewer().PanelDX->ListBoxDXW->count(); ++i)
        ASSERT_FALSE(viewer().PanelDX->ListBoxDXW->item(i)->text().contains('\t')) << i;

    // With the stroke as separator a suffix key splits at its own stroke.
    const int beeps = Beeps();
    ClickRow(RowStartingWith("FO/A/"));
    EXPECT_EQ(Beeps(), beeps + 1);
    EXPECT_EQ(viewer().PanelDX->EditCall->text(), "FO");
    // A two-zone UTC field stays whole.
    ClickRow(RowStartingWith("W/"));
    EXPECT_EQ(viewer().PanelDX->EditUTC->text(), "UTC-5/-8*");
}

TEST_F(DxPanel, BackToTheGeneratorClearsThePanel) {
    StartAtParis();
    QTest::keyClicks(viewer().PanelDX->EditCall, "JA1");
    viewer().Menugenerateur->trigger();
    EXPECT_FALSE(viewer().PanelDX->TimerDX->isActive());
    EXPECT_TRUE(SelectedRow().isEmpty());
    EXPECT_TRUE(viewer().PanelDX->EditCall->text().isEmpty());
    EXPECT_TRUE(viewer().StaticTextAzim->text().isEmpty());
    EXPECT_TRUE(viewer().PanelDX->ListBoxDXW->toolTip().isEmpty());
    EXPECT_FALSE(viewer().PanelDX->ImageDX->isVisible());
    // The kept read-out is gone too: the list brings nothing back.
    carte().MenuVoirClick();
    Move(viewer().PanelDX->ListBoxDXW->viewport(), 10, 10);
    EXPECT_TRUE(viewer().StaticTextAzim->text().isEmpty());
}

TEST_F(DxPanel, TheStoredListSeparatorAndEntriesComeBackAndAreWritten) {
    WriteSettings(
        "[KORVALEN]\r\nLIST=CB\r\nSEPARATOR=3\r\n"
        "DX=dl1abc\tHome (Eu)\t48.5\tN\t2,25\tE\tUTC+1\r\n"
        "DXCB=14AT001\tParis club (Eu)\t48,85\tN\t2,35\tE\r\n");
    StartAtParis();
    EXPECT_TRUE(viewer().PanelDX->MenuDXCCCB->isChecked());
    EXPECT_TRUE(viewer().PanelDX->SepEqual->isChecked());
    EXPECT_EQ(viewer().PanelDX->ListBoxDXW->count(), 352);
    EXPECT_EQ(viewer().PanelDX->ListBoxDXW->item(351)->text(), QLocale().decimalPoint() == ','
                                                          ? "14AT001=Paris club (Eu)=48,85N=2,35E"
                                                          : "14AT001=Paris club (Eu)=48.85N=2.35E");
    viewer().PanelDX->MenuDXCCOM->trigger();
    QTest::keyClicks(viewer().PanelDX->EditCall, "DL1ABC");
    EXPECT_TRUE(SelectedRow().startsWith("DL1ABC=Home (Eu)=48")) << SelectedRow().toStdString();
    EXPECT_EQ(viewer().PanelDX->EditUTC->text(), "UTC+1");

    viewer().PanelDX->SepUnderscore->trigger();
    viewer().MenuQuitter->trigger();
    const QByteArray written = ReadFile("korvalen.ini");
    EXPECT_FALSE(written.contains("LIST=CB"));
    EXPECT_TRUE(written.contains("SEPARATOR=1\r\n")) << written.toStdString();
    // The operator's entry goes back as the editor holds it: the call
    // upper-cased, the degrees in the locale's notation.
    const QString mark = QLocale().decimalPoint();
    EXPECT_TRUE(written.contains(
        QString("DX=DL1ABC\tHome (Eu)\t48%1\tN\t2%2\tE\tUTC+1\r\n").arg(mark + "5", mark + "25").toUtf8()))
        << written.toStdString();
}

TEST_F(DxPanel, ManageMyDxShowsTheEditorOfTheCurrentList) {
    StartAtParis();
    viewer().PanelDX->MenuListeDXCC->trigger();
    EXPECT_TRUE(program().FormListeDXCC().isVisible());
    EXPECT_FALSE(program().FormListeDXCB().isVisible());
    viewer().PanelDX->MenuDXCCCB->trigger();
    viewer().PanelDX->MenuListeDXCC->trigger();
    EXPECT_FALSE(program().FormListeDXCC().isVisible());
    EXPECT_TRUE(program().FormListeDXCB().isVisible());
}

}  // namespace
