#include "dx/form_liste_dx.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QValidator>
#include <QVBoxLayout>

#include "widgets/locale.h"
#include "widgets/messages.h"
#include "widgets/named.h"

namespace korvalen::dx {

namespace {

using widgets::Named;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Column widths in pixels, Call to Utc.
constexpr int kColumnWidths[UserDxMaxColumns] = {64, 161, 64, 25, 64, 31, 82};
constexpr int kVisibleRows = 12;

// Takes out what a cell cannot hold (CellText) as the operator types or
// pastes it, so that it never shows in the cell being edited.
class CellValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        pos = static_cast<int>(Q(CellText(input.left(pos).toStdString())).size());
        input = Q(CellText(input.toStdString()));
        return Acceptable;
    }
};

class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) line->setValidator(new CellValidator(line));
        return editor;
    }
};

// The grid, able to end the edit of a cell before the table is read.
class DxGrid : public QTableWidget {
public:
    using QTableWidget::QTableWidget;
    /// The text in the cell being edited goes into the cell.
    void CommitOpenEditor() {
        if (QWidget* editor = indexWidget(currentIndex())) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
    /// The cell being edited keeps its text.
    void DropOpenEditor() {
        if (QWidget* editor = indexWidget(currentIndex())) closeEditor(editor, QAbstractItemDelegate::NoHint);
    }

protected:
    // Delete empties the selected cells, as in a spreadsheet; in a cell
    // being edited it is the editor's own key.
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier && state() != EditingState) {
            for (QTableWidgetItem* item : selectedItems()) item->setText(QString());
            event->accept();
            return;
        }
        QTableWidget::keyPressEvent(event);
    }
};

DxGrid* AsDxGrid(QTableWidget* grid) { return static_cast<DxGrid*>(grid); }

DxGrid* NewGrid(const char* name, int columns, QWidget* parent) {
    auto* grid = Named(new DxGrid(UserDxTableRows - 1, columns, parent), name);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setHighlightSections(false);
    // The narrow hemisphere columns are narrower than the style's least.
    grid->horizontalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    for (int c = 0; c < columns; ++c) {
        grid->setColumnWidth(c, kColumnWidths[c]);
        grid->setHorizontalHeaderItem(c, new QTableWidgetItem);
        for (int r = 0; r < grid->rowCount(); ++r) grid->setItem(r, c, new QTableWidgetItem);
    }
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    // Typing into the selected cell replaces its text with what is typed, as
    // in a spreadsheet; a double click or F2 edits the text in place. No
    // editing on a click of the selected cell: Qt opens that editor only
    // after the double-click interval, and then over whatever the operator
    // had begun to type, with the cell's old text.
    grid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                          QAbstractItemView::EditKeyPressed);
    grid->setTabKeyNavigation(true);
    grid->setItemDelegate(new CellDelegate(grid));
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    int width = 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < columns; ++c) width += kColumnWidths[c];
    grid->setFixedSize(width, 2 * grid->frameWidth() + grid->horizontalHeader()->sizeHint().height() +
                                  kVisibleRows * grid->verticalHeader()->defaultSectionSize());
    grid->setCurrentCell(0, 0);
    return grid;
}

}  // namespace

UserDxEditor::UserDxEditor(const Names& names, DxList list, const languages::Row& caption,
                           const languages::LanguageState& language)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      language_(language),
      grid_(NewGrid(names.grid, UserDxColumnCount(list), this)),
      saveGrid_(NewGrid(names.saveGrid, grid_->columnCount(), this)),
      ok_(Named(new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK")), names.ok)),
      cancel_(Named(new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel")),
                    names.cancel)),
      conv_(Named(new QPushButton(QStringLiteral("?")), "ButtonConv")),
      caption_(caption),
      table_(list),
      saved_(list) {
    setObjectName(QString::fromLatin1(names.window));
    saveGrid_->hide();
    conv_->setToolTip(QStringLiteral("Convert deg/min/sec => Decimal"));
    conv_->setFixedWidth(conv_->sizeHint().height());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    buttons->addWidget(conv_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ShowTextsOf(language_.Current(), std::nullopt, false);

    connect(grid_, &QTableWidget::itemChanged, this, &UserDxEditor::CellEdited);
    connect(ok_, &QPushButton::clicked, this, &UserDxEditor::OkClick);
    connect(cancel_, &QPushButton::clicked, this, &UserDxEditor::CancelClick);
    connect(conv_, &QPushButton::clicked, this, &UserDxEditor::ButtonConvClick);
}

QTableWidgetItem* UserDxEditor::GridCell(int row, int column) const { return grid_->item(row - 1, column); }

QString UserDxEditor::HeaderText(int column) const {
    const QTableWidgetItem* item = grid_->horizontalHeaderItem(column);
    return item ? item->text() : QString();
}

void UserDxEditor::SetHeader(int column, const QString& text) {
    table_.SetCell(0, column, text.toStdString());
    for (QTableWidget* grid : {grid_, saveGrid_}) grid->horizontalHeaderItem(column)->setText(text);
}

void UserDxEditor::WriteHeaders() {
    if (const std::optional<languages::Language> language = language_.Current()) WriteHeaders(*language);
}

void UserDxEditor::WriteHeaders(languages::Language language) {
    for (int c = 0; c < table_.ColumnCount(); ++c) SetHeader(c, languages::Text(languages::kEditorHeaders[c], language));
}

void UserDxEditor::ApplyEditorLanguage() {
    if (const std::optional<languages::Language> language = language_.Current()) ApplyEditorLanguage(*language);
}

void UserDxEditor::ShowTextsOf(std::optional<languages::Language> headers,
                               std::optional<languages::Language> routine, bool routineLast) {
    setWindowTitle(languages::Before(caption_));
    for (int c = 0; c < table_.ColumnCount(); ++c) SetHeader(c, languages::Before(languages::kEditorHeaders[c]));
    if (routine && !routineLast) ApplyEditorLanguage(*routine);
    if (headers) WriteHeaders(*headers);
    if (routine && routineLast) ApplyEditorLanguage(*routine);
}

void UserDxEditor::ApplyEditorLanguage(languages::Language language) {
    setWindowTitle(languages::Text(caption_, language));
    if (table_.List() == DxList::Ham) SetHeader(1, languages::Text(languages::kEditorHeaders[1], language));
}

QString UserDxEditor::MessageText(UserDxMessage message) const {
    // The ham editor's messages follow the language; no language routine
    // ever sets the 11-metre editor's, which keep their initial texts.
    static const languages::LanguageState initial;
    const languages::LanguageState& texts = table_.List() == DxList::Ham ? language_ : initial;
    switch (message) {
        case UserDxMessage::EmptyField: return texts.DxEmptyFieldText;
        case UserDxMessage::NorthSouth: return texts.DxNorthSouthText;
        case UserDxMessage::EastWest: return texts.DxEastWestText;
        case UserDxMessage::BadNumber: break;
    }
    return texts.DxBadNumberText;
}

void UserDxEditor::ShowTable(QTableWidget* grid, const UserDxTable& table) {
    showingTable_ = true;
    for (int row = 1; row < UserDxTableRows; ++row)
        for (int c = 0; c < table.ColumnCount(); ++c) {
            QTableWidgetItem* item = grid->item(row - 1, c);
            const QString text = Q(table.Cell(row, c));
            if (item->text() != text) item->setText(text);
        }
    showingTable_ = false;
}

void UserDxEditor::CellEdited(QTableWidgetItem* item) {
    if (showingTable_) return;
    const int row = item->row() + 1;
    table_.SetCell(row, item->column(), item->text().toStdString());
    // What the table refused goes from the cell too.
    const QString kept = Q(table_.Cell(row, item->column()));
    if (kept == item->text()) return;
    showingTable_ = true;
    item->setText(kept);
    showingTable_ = false;
}

void UserDxEditor::Load(const std::vector<std::string>& records) {
    table_.Load(records, widgets::DecimalSeparator());
    applied_ = table_.Entries();
    ShowTable(grid_, table_);
}

std::vector<std::string> UserDxEditor::Records() {
    AsDxGrid(grid_)->CommitOpenEditor();
    return table_.SettingsLines();
}

void UserDxEditor::FormShow() {
    saved_.CopyEntryRowsFrom(table_);
    ShowTable(saveGrid_, saved_);
}

void UserDxEditor::OkClick() {
    AsDxGrid(grid_)->CommitOpenEditor();
    const std::optional<UserDxFailure> failure = table_.CheckRows(widgets::DecimalSeparator());
    ShowTable(grid_, table_);
    if (failure) {
        QTableWidgetItem* cell = GridCell(failure->row, failure->column);
        grid_->setCurrentItem(cell);
        grid_->scrollToItem(cell);
        widgets::ShowMessage(this, widgets::MessageKind::Error, MessageText(failure->message));
        return;
    }
    applied_ = table_.Entries();
    emit UserListApplied();
    hide();
}

void UserDxEditor::RestoreSnapshot() {
    AsDxGrid(grid_)->DropOpenEditor();
    table_.CopyEntryRowsFrom(saved_);
    ShowTable(grid_, table_);
}

void UserDxEditor::CancelClick() {
    RestoreSnapshot();
    hide();
}

void UserDxEditor::showEvent(QShowEvent* event) {
    // A window restored from its icon is not shown anew: no snapshot then.
    if (!event->spontaneous()) FormShow();
    QWidget::showEvent(event);
}

void UserDxEditor::closeEvent(QCloseEvent* event) {
    RestoreSnapshot();
    QWidget::closeEvent(event);
}

// ---- The two editors ----

TFormListeDXCC::TFormListeDXCC(const languages::LanguageState& language)
    : UserDxEditor({"TFormListeDXCC", "StringGridDX", "StringGridSaveDX", "BitBtnOK", "BitBtnCancel"}, DxList::Ham,
                   languages::kEditors.hamCaption, language),
      StringGridDX(grid_),
      StringGridSaveDX(saveGrid_),
      BitBtnOK(ok_),
      BitBtnCancel(cancel_),
      ButtonConv(conv_) {}

TFormListeDXCB::TFormListeDXCB(const languages::LanguageState& language)
    : UserDxEditor({"TFormListeDXCB", "StringGridDXCB", "StringGridSaveDXCB", "BitBtnOKCB", "BitBtnCancelCB"},
                   DxList::ElevenMetre, languages::kEditors.elevenCaption, language),
      StringGridDXCB(grid_),
      StringGridSaveDXCB(saveGrid_),
      BitBtnOKCB(ok_),
      BitBtnCancelCB(cancel_),
      ButtonConv(conv_) {}

}  // namespace korvalen::dx
