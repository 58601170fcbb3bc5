// The operator's DX list editors and the converter, driven as an operator
// drives them: typing into the grid's cells, OK, Cancel and the close box;
// the entries joining the working list at once, and the settings file
// carrying them to the next start. The editors' texts in each language are
// checked on windows of their own, with a language state the test sets.
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>

#include <ostream>

#include "languages/tables.h"
#include "tests/windows/windows_fixture.h"

using namespace korvalen;
using korvalen::testing::WindowsTest;
using korvalen::widgets::MessageKind;

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

/// The cell's editor opened as a key or double click opens it, with its
/// text selected; null when none opens.
QLineEdit* OpenCell(dx::UserDxEditor& editor, int row, int column) {
    QTableWidgetItem* item = editor.GridCell(row, column);
    QTableWidget* grid = item->tableWidget();
    grid->setCurrentItem(item);
    grid->editItem(item);
    auto* line = qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(row - 1, column)));
    if (line) line->selectAll();
    return line;
}

/// Enter in the cell's editor; the grid takes the text and closes the
/// editor once the events queued by Enter are handled.
void EndEdit(dx::UserDxEditor& editor, int row, int column, QLineEdit* line) {
    QTest::keyClick(line, Qt::Key_Return);
    QTableWidget* grid = editor.GridCell(row, column)->tableWidget();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !grid->indexWidget(grid->model()->index(row - 1, column)); }, 10000));
}

/// Types @p text over a cell; Enter ends the edit unless @p leaveOpen.
void Type(dx::UserDxEditor& editor, int row, int column, const QString& text, bool leaveOpen = false) {
    QLineEdit* line = OpenCell(editor, row, column);
    ASSERT_NE(line, nullptr) << "row " << row << " column " << column;
    if (text.isEmpty())
        QTest::keyClick(line, Qt::Key_Delete);
    else
        QTest::keyClicks(line, text);
    if (!leaveOpen) EndEdit(editor, row, column, line);
}

void TypeRow(dx::UserDxEditor& editor, int row, const QStringList& cells) {
    for (int c = 0; c < cells.size(); ++c) Type(editor, row, c, cells[c]);
}

QStringList Row(const dx::UserDxEditor& editor, int row) {
    QStringList cells;
    for (int c = 0; c < editor.Table().ColumnCount(); ++c) cells << editor.GridCell(row, c)->text();
    return cells;
}

class DxEditors : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        // The degrees below are written with a point unless a test says so.
        QLocale::setDefault(QLocale::c());
    }
    void TearDown() override {
        WindowsTest::TearDown();
        QLocale::setDefault(QLocale::system());
    }
    void StartAtParis() {
        Start();
        carte().EditQRA->setText("JN18EU");
        carte().BitBtn1Click();
        ASSERT_TRUE(viewer().isVisible());
    }
    dx::TFormListeDXCC& ham() { return program().FormListeDXCC(); }
    dx::TFormListeDXCB& eleven() { return program().FormListeDXCB(); }
    QString SelectedRow() {
        const QListWidgetItem* item = viewer().PanelDX->ListBoxDXW->currentItem();
        return item && item->isSelected() ? item->text() : QString();
    }
};

TEST_F(DxEditors, AnEntryTypedJoinsTheWorkingListAndTheLookupAtOnce) {
    StartAtParis();
    QTest::keyClicks(viewer().PanelDX->EditCall, "DL1ABC");
    EXPECT_TRUE(SelectedRow().startsWith("DA-DR\t")) << SelectedRow().toStdString();
    const int rows = viewer().PanelDX->ListBoxDXW->count();

    viewer().PanelDX->MenuListeDXCC->trigger();
    ASSERT_TRUE(ham().isVisible());
    TypeRow(ham(), 1, {"DL1ABC", "Home (Eu)", "48,5", "n", "2.25", "e"});
    // The last cell is still being typed into when OK is clicked.
    Type(ham(), 1, 6, "UTC+1", true);
    QTest::mouseClick(ham().BitBtnOK, Qt::LeftButton);

    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(ham().isVisible());
    EXPECT_EQ(Row(ham(), 1), (QStringList{"DL1ABC", "Home (Eu)", "48.5", "N", "2.25", "E", "UTC+1"}));
    EXPECT_EQ(viewer().PanelDX->ListBoxDXW->count(), rows + 1);
    EXPECT_TRUE(viewer().PanelDX->ListBoxDXW->isVisible());
    // The call box was looked up again in the new list: the entry's own row.
    EXPECT_EQ(SelectedRow(), "DL1ABC\tHome (Eu)\t48.5N\t2.25E\tUTC+1");
    EXPECT_EQ(viewer().PanelDX->EditUTC->text(), "UTC+1");
    EXPECT_EQ(viewer().PanelDX->EditCall->text(), "DL1ABC");
}

// Keys as the keyboard sends them: to the window, which hands each to the
// widget holding the focus then, with no event handled in between.
void KeysToWindow(QWidget* window, const QString& keys) {
    for (const QChar key : keys) QTest::keyClick(window->windowHandle(), key.toLatin1());
}

// A click on the selected cell, then typing at once, as a fast operator
// does: every key lands in the cell, and Delete empties a selected cell.
TEST_F(DxEditors, TypingRightAfterAClickOnTheSelectedCellKeepsEveryKey) {
    StartAtParis();
    viewer().PanelDX->MenuListeDXCC->trigger();
    ASSERT_TRUE(ham().isVisible());
    Type(ham(), 2, 1, "Home (Eu)");
    QTableWidget* grid = ham().StringGridDX;
    grid->setCurrentCell(0, 0);
    ASSERT_TRUE(grid->item(0, 0)->isSelected());

    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, grid->visualItemRect(grid->item(0, 0)).center());
    KeysToWindow(&ham(), "DL1ABC");
    QTest::keyClick(ham().windowHandle(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !grid->indexWidget(grid->model()->index(0, 0)); }, 10000));
    EXPECT_EQ(ham().GridCell(1, 0)->text(), "DL1ABC");

    grid->setFocus();
    grid->setCurrentCell(1, 1);
    QTest::keyClick(ham().windowHandle(), Qt::Key_Delete);
    EXPECT_EQ(ham().GridCell(2, 1)->text(), "");
    EXPECT_EQ(ham().GridCell(1, 0)->text(), "DL1ABC");
}

TEST_F(DxEditors, OkStopsAtTheFirstBadCellAndLeavesTheListAsItWas) {
    StartAtParis();
    viewer().PanelDX->MenuDXCCCB->trigger();
    const int rows = viewer().PanelDX->ListBoxDXW->count();
    viewer().PanelDX->MenuListeDXCC->trigger();
    ASSERT_TRUE(eleven().isVisible());
    for (int row = 1; row <= 4; ++row)
        TypeRow(eleven(), row, {QString("14AT00%1").arg(row), "Club (Eu)", "48,8", "n", "2.3", "e"});
    TypeRow(eleven(), 5, {"14AT005", "Club (Eu)", "45,5.2", "N", "2", "E"});
    TypeRow(eleven(), 6, {"14AT006", "Club (Eu)", "45", "N", "2", "E"});
    QTest::mouseClick(eleven().BitBtnOKCB, Qt::LeftButton);

    // The 11-metre editor's message, whatever the language.
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_EQ(shown[0].text, "Format erroné !");
    EXPECT_TRUE(eleven().isVisible());
    EXPECT_EQ(eleven().StringGridDXCB->currentRow(), 4);
    EXPECT_EQ(eleven().StringGridDXCB->currentColumn(), 2);
    for (int row = 1; row <= 4; ++row)
        EXPECT_EQ(Row(eleven(), row), (QStringList{QString("14AT00%1").arg(row), "Club (Eu)", "48.8", "N", "2.3", "E"}));
    EXPECT_EQ(viewer().PanelDX->ListBoxDXW->count(), rows);
    // A rebuild meanwhile (here the separator's) takes the entries as the
    // last OK left them: none yet.
    viewer().PanelDX->SepDefault->trigger();
    EXPECT_EQ(viewer().PanelDX->ListBoxDXW->count(), rows);

    Type(eleven(), 5, 2, "45.2");
    QTest::mouseClick(eleven().BitBtnOKCB, Qt::LeftButton);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_FALSE(eleven().isVisible());
    EXPECT_EQ(viewer().PanelDX->ListBoxDXW->count(), rows + 6);
    EXPECT_EQ(viewer().PanelDX->ListBoxDXW->item(rows + 5)->text(), "14AT006\tClub (Eu)\t45N\t2E");
}

TEST_F(DxEditors, CancelAndTheCloseBoxPutBackEveryCellOfTheLastShowing) {
    WriteSettings("[KORVALEN]\r\nDX=W1AW\tNewington (NAm)\t41.7\tN\t72.7\tW\tUTC-5\r\n");
    StartAtParis();
    const QStringList w1aw = {"W1AW", "Newington (NAm)", "41.7", "N", "72.7", "W", "UTC-5"};
    const QStringList empty = {"", "", "", "", "", "", ""};
    for (const bool closeBox : {false, true}) {
        viewer().PanelDX->MenuListeDXCC->trigger();
        Type(ham(), 1, 6, "UTC-4");
        Type(ham(), 1, 0, "");
        TypeRow(ham(), 99, {"K1ABC", "Late (NAm)"});
        Type(ham(), 3, 6, "alone", true);
        if (closeBox)
            ham().close();
        else
            QTest::mouseClick(ham().BitBtnCancel, Qt::LeftButton);
        EXPECT_FALSE(ham().isVisible());
        EXPECT_EQ(Row(ham(), 1), w1aw);
        EXPECT_EQ(Row(ham(), 3), empty);
        EXPECT_EQ(Row(ham(), 99), empty);
    }
    EXPECT_TRUE(shown.empty());
    // A showing after an OK takes the new state as its snapshot.
    viewer().PanelDX->MenuListeDXCC->trigger();
    Type(ham(), 1, 6, "UTC-4");
    QTest::mouseClick(ham().BitBtnOK, Qt::LeftButton);
    viewer().PanelDX->MenuListeDXCC->trigger();
    Type(ham(), 1, 6, "");
    QTest::mouseClick(ham().BitBtnCancel, Qt::LeftButton);
    EXPECT_EQ(ham().GridCell(1, 6)->text(), "UTC-4");
}

TEST_F(DxEditors, ACellTakesNoLineBreakOrTabTypedOrPasted) {
    Start();
    ham().show();
    QLineEdit* line = OpenCell(ham(), 2, 1);
    ASSERT_NE(line, nullptr);
    QGuiApplication::clipboard()->setText("Home\r\n(Eu)\tclub");
    line->clear();
    line->paste();
    EXPECT_EQ(line->text(), "Home(Eu)club");
    EndEdit(ham(), 2, 1, line);
    EXPECT_EQ(ham().GridCell(2, 1)->text(), "Home(Eu)club");
    // Whatever puts text into a cell.
    ham().GridCell(2, 0)->setText("F5\nABC");
    EXPECT_EQ(ham().GridCell(2, 0)->text(), "F5ABC");
    EXPECT_EQ(ham().Table().Cell(2, 0), "F5ABC");
}

TEST_F(DxEditors, EntriesComeBackAtTheNextStartAndNoStoredLineIsLost) {
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    WriteSettings(
        "[KORVALEN]\r\n"
        "DX=g0a\tUK (Eu)\t51\tNE\t0\tE\r\n"                  // skipped: row 1 stays empty
        "DX=f5abc\tHome (Eu)\t48.8\tn\t2,3\te\r\n"           // row 2
        "DX=\r\n"                                            // ends the load
        "DX=EA1\tSpain (Eu)\t40\tN\t4\tW\tUTC+1*\r\n"        // stored after it
        "DXCB=14AT001\tParis (Eu)\t48,85\tN\t2,35\tE\r\n");
    StartAtParis();
    EXPECT_EQ(Row(ham(), 1), (QStringList{"", "", "", "", "", "", ""}));
    EXPECT_EQ(Row(ham(), 2), (QStringList{"F5ABC", "Home (Eu)", "48,8", "N", "2,3", "E", ""}));
    EXPECT_EQ(Row(ham(), 3), (QStringList{"", "", "", "", "", "", ""}));

    viewer().PanelDX->MenuListeDXCC->trigger();
    TypeRow(ham(), 5, {"DL1ABC", "Berlin (Eu)", "52.5", "N", "13,4", "E", "UTC+1"});
    QTest::mouseClick(ham().BitBtnOK, Qt::LeftButton);
    ASSERT_TRUE(shown.empty());
    // Typed but not confirmed: written as it stands.
    viewer().PanelDX->MenuDXCCCB->trigger();
    viewer().PanelDX->MenuListeDXCC->trigger();
    Type(eleven(), 3, 0, "14AT003");
    viewer().MenuQuitter->trigger();
    ASSERT_EQ(EndCount(), 1);

    const QByteArray written = ReadFile("korvalen.ini");
    EXPECT_TRUE(written.contains("\r\nDX=F5ABC\tHome (Eu)\t48,8\tN\t2,3\tE\r\n"
                                 "DX=DL1ABC\tBerlin (Eu)\t52,5\tN\t13,4\tE\tUTC+1\r\n"
                                 "DX=g0a\tUK (Eu)\t51\tNE\t0\tE\r\n"
                                 "DX=EA1\tSpain (Eu)\t40\tN\t4\tW\tUTC+1*\r\n"
                                 "DXCB=14AT001\tParis (Eu)\t48,85\tN\t2,35\tE\r\n"
                                 "DXCB=14AT003\t\t\t\t\t\r\nUTC="))
        << written.toStdString();

    Start();
    EXPECT_EQ(Row(ham(), 1), (QStringList{"F5ABC", "Home (Eu)", "48,8", "N", "2,3", "E", ""}));
    EXPECT_EQ(Row(ham(), 2), (QStringList{"DL1ABC", "Berlin (Eu)", "52,5", "N", "13,4", "E", "UTC+1"}));
    EXPECT_EQ(Row(ham(), 3), (QStringList{"", "", "", "", "", "", ""}));
    EXPECT_EQ(Row(ham(), 4), (QStringList{"EA1", "Spain (Eu)", "40", "N", "4", "W", "UTC+1*"}));
    EXPECT_EQ(ham().Table().KeptLines(), (std::vector<std::string>{"g0a\tUK (Eu)\t51\tNE\t0\tE"}));
    EXPECT_EQ(eleven().Table().KeptLines(), (std::vector<std::string>{"14AT003\t\t\t\t\t"}));
}

TEST_F(DxEditors, TheQuestionMarkShowsTheConverterWhichAnswersAsTyped) {
    Start();
    ham().show();
    EXPECT_EQ(ham().ButtonConv->toolTip(), "Convert deg/min/sec => Decimal");
    QTest::mouseClick(ham().ButtonConv, Qt::LeftButton);
    info::TFormConv& conv = program().FormConv();
    ASSERT_TRUE(conv.isVisible());
    EXPECT_EQ(conv.EditDec->text(), "0");
    for (QLineEdit* field : {conv.EditDeg, conv.EditMin, conv.EditSec}) field->clear();
    QTest::keyClicks(conv.EditDeg, "48");
    QTest::keyClicks(conv.EditMin, "51");
    QTest::keyClicks(conv.EditSec, "24");
    EXPECT_EQ(conv.EditDec->text(), "48.856667");
    // The third digit makes 180: the field goes back to 18.
    conv.EditDeg->clear();
    QTest::keyClicks(conv.EditDeg, "180");
    EXPECT_EQ(conv.EditDeg->text(), "18");
    EXPECT_EQ(conv.EditDec->text(), "18.856667");
    conv.EditMil->clear();
    QTest::keyClicks(conv.EditMil, "5x");
    EXPECT_EQ(conv.EditMil->text(), "5");
    EXPECT_EQ(conv.EditDec->text(), "18.856668");

    // Closed, it keeps its fields; in a comma locale the result has a comma.
    conv.close();
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    eleven().show();
    QTest::mouseClick(eleven().ButtonConv, Qt::LeftButton);
    ASSERT_TRUE(conv.isVisible());
    EXPECT_EQ(conv.EditDeg->text(), "18");
    conv.EditSec->setText("");
    conv.EditMil->setText("");
    EXPECT_EQ(conv.EditDec->text(), "18,850000");
}

// ---- Texts in each language, on windows of their own ----

struct EditorTexts {
    const char* label;
    const char* code;
    const char* hamCaption;
    const char* elevenCaption;
    const char* headers[7];  // after WriteHeaders
    const char* hamMessage;  // an empty cell, with the state's texts set for the code
};
void PrintTo(const EditorTexts& c, std::ostream* os) { *os << c.label; }

const EditorTexts kEditorTexts[] = {
    {"BeforeAnyLanguage", "", "Mes DX", "Mes DX 11m", {"CALL", "", "", "", "", "", "UTC"},
     "Renseignez tous les champs d'un DX , svp"},
    {"Spanish", "S", "Mi DX", "Mi 11m DX", {"CALL", "PAÍS", "LAT (dec)", "N/S", "LON (dec)", "E/O", "UTC"},
     "Rellene cada campo de un DX"},
};

class EditorLanguage : public ::testing::TestWithParam<EditorTexts> {
protected:
    void SetUp() override {
        widgets::SetMessageHandler([this](MessageKind, const QString& text) {
            messages.push_back(text);
            return QMessageBox::Ok;
        });
    }
    void TearDown() override { widgets::SetMessageHandler({}); }
    std::vector<QString> messages;
};

TEST_P(EditorLanguage, CaptionsHeadersAndMessagesFollowTheCode) {
    const EditorTexts& c = GetParam();
    languages::LanguageState language;
    dx::TFormListeDXCC ham(language);
    dx::TFormListeDXCB eleven(language);
    language.LanguageCode = QString::fromLatin1(c.code);
    if (languages::HasBlock(language.LanguageCode))
        language.DxEmptyFieldText = languages::Text(languages::kMessages.DxEmptyField, language.LanguageCode);

    // A switch renames the captions and the ham country header only.
    ham.ApplyEditorLanguage();
    eleven.ApplyEditorLanguage();
    EXPECT_EQ(ham.windowTitle(), U(c.hamCaption));
    EXPECT_EQ(eleven.windowTitle(), U(c.elevenCaption));
    EXPECT_EQ(ham.HeaderText(1), U(c.headers[1]));
    EXPECT_EQ(eleven.HeaderText(1), "");
    EXPECT_EQ(ham.HeaderText(2), "");

    ham.WriteHeaders();
    eleven.WriteHeaders();
    for (int column = 0; column < 7; ++column) EXPECT_EQ(ham.HeaderText(column), U(c.headers[column])) << column;
    for (int column = 0; column < 6; ++column) EXPECT_EQ(eleven.HeaderText(column), U(c.headers[column])) << column;

    // An entry without a country: the ham editor's message follows the
    // language, the 11-metre one's never does.
    ham.GridCell(1, 0)->setText("F5ABC");
    eleven.GridCell(1, 0)->setText("14AT001");
    ham.BitBtnOKClick();
    eleven.BitBtnOKCBClick();
    EXPECT_EQ(messages, (std::vector<QString>{U(c.hamMessage), U("Renseignez tous les champs d'un DX , svp")}));
}

INSTANTIATE_TEST_SUITE_P(DxEditors, EditorLanguage, ::testing::ValuesIn(kEditorTexts),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(DxEditorWindows, KeepTheirColumnWidthsAndAFixedSize) {
    languages::LanguageState language;
    dx::TFormListeDXCC ham(language);
    ham.show();
    // The hemisphere columns are narrower than a style's least section.
    const int widths[] = {64, 161, 64, 25, 64, 31, 82};
    for (int c = 0; c < 7; ++c) EXPECT_EQ(ham.StringGridDX->columnWidth(c), widths[c]) << c;
    EXPECT_EQ(ham.minimumSize(), ham.maximumSize());
    EXPECT_FALSE(ham.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(ham.StringGridSaveDX->isVisible());
}

TEST(ConverterWindow, TakesTheLanguageAtItsNextShowing) {
    languages::LanguageState language;
    info::TFormConv conv(language);
    conv.show();
    EXPECT_EQ(conv.LabelConv->text(), "Tornavel  utilise des coordonnées décimales ");
    language.LanguageCode = QStringLiteral("F");
    EXPECT_EQ(conv.LabelConv->text(), "Tornavel  utilise des coordonnées décimales ");
    conv.hide();
    conv.show();
    EXPECT_EQ(conv.windowTitle(), "Deg/Min/Sec => Décimal");
    EXPECT_EQ(conv.LabelDegMinSec->text(), "Degrés   Min     Sec    ms");
    EXPECT_EQ(conv.LabelConv->text(), "Korvalen utilise des degrés décimaux");
}

}  // namespace
