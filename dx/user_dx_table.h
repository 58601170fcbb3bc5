#pragma once
// The table behind each of the operator's DX list editors: 100 rows of text
// cells, row 0 the column headers and rows 1-99 one entry each (field n in
// column n - 1), with the rules the editor applies to it: the load from the
// settings lines, OK's walk over the rows, the snapshot taken at each showing
// and put back by Cancel, the entries for the working list and the lines
// written back at exit. The windows show the cells and forward the edits.
//
// Texts are UTF-8; numbers follow the locale, whose decimal separator the
// caller hands in, as everywhere in this library.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dx/dx_row.h"

namespace korvalen::dx {

/// The columns, one per DxRecord field in its order.
enum class UserDxColumn { Call, Country, Latitude, NorthSouth, Longitude, EastWest, Utc };

/// The rows of an editor's table: the header row and UserDxRows entry rows.
inline constexpr int UserDxTableRows = static_cast<int>(UserDxRows) + 1;
/// The ham table's columns; the 11-metre table has no Utc column.
inline constexpr int UserDxMaxColumns = 7;

/// The columns of @p list's table: 7 for ham, 6 for 11 m (no Utc).
constexpr int UserDxColumnCount(DxList list) { return list == DxList::Ham ? UserDxMaxColumns : UserDxMaxColumns - 1; }

/// Which of the editor's four messages a failed check shows.
enum class UserDxMessage { EmptyField, NorthSouth, EastWest, BadNumber };

/// Where OK stopped: the cell to show the operator, and why.
struct UserDxFailure {
    int row;     ///< 1-99
    int column;  ///< 0-5
    UserDxMessage message;

    bool operator==(const UserDxFailure& o) const {
        return row == o.row && column == o.column && message == o.message;
    }
};

/// @p text without the characters that a cell cannot hold: CR and LF,
/// which would cut its settings line in two at the next exit, and TAB, which
/// would move the fields after it when the line is read back.
std::string CellText(std::string_view text);

class UserDxTable {
public:
    explicit UserDxTable(DxList list);

    DxList List() const { return list_; }
    int ColumnCount() const { return UserDxColumnCount(list_); }

    /// The text of a cell; empty outside the table.
    const std::string& Cell(int row, int column) const;
    /// Sets a cell as the operator edits it: CellText of @p text. Outside
    /// the table, or in the 11-metre table's missing column, nothing.
    void SetCell(int row, int column, std::string_view text);

    /// Fills the entry rows from the settings lines of this list (the text
    /// after "DX=" or "DXCB=", in file order), as LoadUserDxTable reads them:
    /// line n into row n when valid, checked and upper-cased. Every other
    /// line that holds text (an invalid one, one after the first empty line,
    /// one past the 99th) is kept as it came, to be written back after the
    /// table's own lines: what the operator stored is never lost at exit.
    /// The header row is left as it is.
    void Load(const std::vector<std::string>& lines, std::string_view decimalSeparator);

    /// OK's walk over rows 1-99 in order. A row with columns 0-5 all empty is
    /// passed over (a UTC text alone is no entry). In any other row each
    /// column is checked in turn and, when it passes, rewritten in its
    /// checked form: the degrees by the tolerant number check, the
    /// hemisphere letters upper-cased. The walk stops at the first failure
    /// and gives it; the cells rewritten before it stay rewritten.
    std::optional<UserDxFailure> CheckRows(std::string_view decimalSeparator);

    /// Copies every cell of rows 1-99 from @p other (the snapshot at each
    /// showing, and Cancel putting it back). Headers and kept lines stay.
    void CopyEntryRowsFrom(const UserDxTable& other);

    /// The entries for the working list: rows 1-99 in order whose Call is
    /// not empty, as they stand.
    std::vector<DxRecord> Entries() const;

    /// The settings lines to write at exit: each entry's fields joined by
    /// TAB (the ham Utc only when not empty), in row order, as they stand
    /// whether OK checked them or not; then the stored lines the table did
    /// not take, unchanged and in their order.
    std::vector<std::string> SettingsLines() const;

    /// The stored lines the last Load did not put into the table.
    const std::vector<std::string>& KeptLines() const { return kept_; }

private:
    DxList list_;
    std::array<std::array<std::string, UserDxMaxColumns>, UserDxTableRows> cells_;
    std::vector<std::string> kept_;
};

}  // namespace korvalen::dx
