#pragma once
// The two user DX list editors. They hold the user's DX rows as the settings
// file carried them; their grids come with the editors themselves.
#include <QWidget>

#include <array>
#include <string>
#include <vector>

#include "dx/dx_row.h"

namespace korvalen::dx {

/// One editor window and the rows it keeps: each a record text, the fields
/// joined by TAB, in table order.
class UserDxEditor : public QWidget {
    Q_OBJECT
public:
    UserDxEditor(const char* objectName, const QString& caption, DxList list);

    /// The rows collected from the settings file at start: the table is
    /// loaded from them, and they are kept to be written back.
    void Load(const std::vector<std::string>& records);
    /// The rows to write back at exit.
    const std::vector<std::string>& Records() const { return records_; }
    /// The entries of the table, in table order, for the working list.
    std::vector<DxRecord> Entries() const { return UserEntries(table_); }

private:
    const DxList list_;
    std::vector<std::string> records_;
    std::array<DxRecord, UserDxRows> table_;
};

/// Editor of the user's ham DX list ("My DX").
class TFormListeDXCC : public UserDxEditor {
    Q_OBJECT
public:
    TFormListeDXCC();
};

/// Editor of the user's 11-metre DX list ("My 11m DX").
class TFormListeDXCB : public UserDxEditor {
    Q_OBJECT
public:
    TFormListeDXCB();
};

}  // namespace korvalen::dx
