#pragma once
// The two editors of the operator's own DX lists: a grid of the entries with
// OK, Cancel and the converter button. The table behind each grid, with its
// rules, is UserDxTable; the window shows it, forwards the operator's edits
// to it and keeps a snapshot of it from each showing for Cancel.
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

#include "dx/user_dx_table.h"
#include "languages/languages.h"
#include "languages/tables.h"

namespace korvalen::dx {

class UserDxEditor : public QWidget {
    Q_OBJECT
public:
    /// The visible grid's cell of table row @p row (1-99) and @p column; the
    /// grid's own rows start at 0 under its header. Null outside the table.
    QTableWidgetItem* GridCell(int row, int column) const;
    /// The header of @p column, as the grid shows it.
    QString HeaderText(int column) const;

    /// At start, after the settings file was read: fills the table from the
    /// lines collected for this list.
    void Load(const std::vector<std::string>& records);
    /// The lines to write back at exit: the entries as they stand, a cell
    /// being typed into included, then the stored lines the table could not
    /// hold.
    std::vector<std::string> Records();
    /// The entries for the working list, in table order, as the last OK (or
    /// the load at start) left them: a rebuild of the list while the
    /// operator is still typing does not show half-typed rows.
    const std::vector<DxRecord>& Entries() const { return applied_; }
    const UserDxTable& Table() const { return table_; }

    /// Writes every column header in the current language; nothing before
    /// any language. Run at creation and each time this list is chosen.
    void WriteHeaders();
    /// The same in @p language: a window made at its first use is given
    /// the texts it would have been given since the start.
    void WriteHeaders(languages::Language language);
    /// The window caption in the current language (and, in the ham editor,
    /// the country header); nothing before any language.
    void ApplyEditorLanguage();
    void ApplyEditorLanguage(languages::Language language);
    /// The caption and headers as they stand after a header writing in
    /// @p headers and a language routine in @p routine (none: never ran),
    /// the routine last when @p routineLast: what a window made at its
    /// first use shows of the language history it missed.
    void ShowTextsOf(std::optional<languages::Language> headers, std::optional<languages::Language> routine,
                     bool routineLast);

    /// "?": asks for the converter; nothing passes between the windows.
    void ButtonConvClick() { emit ConverterRequested(); }

signals:
    /// OK found every row valid: the working list is to be rebuilt with the
    /// new entries and the call box looked up again.
    void UserListApplied();
    /// "?": the degrees-minutes-seconds converter is wanted.
    void ConverterRequested();

protected:
    struct Names {
        const char* window;
        const char* grid;
        const char* saveGrid;
        const char* ok;
        const char* cancel;
    };
    UserDxEditor(const Names& names, DxList list, const languages::Row& caption,
                 const languages::LanguageState& language);

    /// Show: the snapshot that Cancel returns to.
    void FormShow();
    /// OK: the rows checked and rewritten; at the first failure the grid's
    /// current cell goes to it and its message shows, otherwise the list is
    /// applied and the window hidden.
    void OkClick();
    /// Cancel and the close box: every entry cell back to the snapshot.
    void RestoreSnapshot();
    void CancelClick();

    /// The text of a failed check's message.
    QString MessageText(UserDxMessage message) const;

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    const languages::LanguageState& language_;
    QTableWidget* const grid_;
    QTableWidget* const saveGrid_;
    QPushButton* const ok_;
    QPushButton* const cancel_;
    QPushButton* const conv_;

private:
    void SetHeader(int column, const QString& text);
    /// Puts @p table's entry cells into @p grid.
    void ShowTable(QTableWidget* grid, const UserDxTable& table);
    void CellEdited(QTableWidgetItem* item);

    const languages::Row& caption_;
    UserDxTable table_;
    UserDxTable saved_;
    std::vector<DxRecord> applied_;
    bool showingTable_ = false;
};

/// Editor of the operator's ham DX list ("My DX"): seven columns, the last
/// the UTC text; its messages follow the interface language.
class TFormListeDXCC : public UserDxEditor {
    Q_OBJECT
public:
    explicit TFormListeDXCC(const languages::LanguageState& language);

    QTableWidget* const StringGridDX;
    QTableWidget* const StringGridSaveDX;  ///< the snapshot, never shown
    QPushButton* const BitBtnOK;
    QPushButton* const BitBtnCancel;
    QPushButton* const ButtonConv;

    void BitBtnOKClick() { OkClick(); }
    void BitBtnCancelClick() { CancelClick(); }
};

/// Editor of the operator's 11-metre DX list ("My 11m DX"): six columns;
/// its messages are the same French texts whatever the language.
class TFormListeDXCB : public UserDxEditor {
    Q_OBJECT
public:
    explicit TFormListeDXCB(const languages::LanguageState& language);

    QTableWidget* const StringGridDXCB;
    QTableWidget* const StringGridSaveDXCB;  ///< the snapshot, never shown
    QPushButton* const BitBtnOKCB;
    QPushButton* const BitBtnCancelCB;
    QPushButton* const ButtonConv;

    void BitBtnOKCBClick() { OkClick(); }
    void BitBtnCancelCBClick() { CancelClick(); }
};

}  // namespace korvalen::dx
