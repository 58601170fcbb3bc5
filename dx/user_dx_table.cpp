#include "dx/user_dx_table.h"

#include <utility>

namespace korvalen::dx {

namespace {

constexpr int kCall = static_cast<int>(UserDxColumn::Call);
constexpr int kEastWest = static_cast<int>(UserDxColumn::EastWest);
constexpr int kUtc = static_cast<int>(UserDxColumn::Utc);

const std::string kNoText;

}  // namespace

std::string CellText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n' && c != '\t') out += c;
    return out;
}

UserDxTable::UserDxTable(DxList list) : list_(list) {}

const std::string& UserDxTable::Cell(int row, int column) const {
    if (row < 0 || row >= UserDxTableRows || column < 0 || column >= ColumnCount()) return kNoText;
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void UserDxTable::SetCell(int row, int column, std::string_view text) {
    if (row < 0 || row >= UserDxTableRows || column < 0 || column >= ColumnCount()) return;
    cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = CellText(text);
}

void UserDxTable::Load(const std::vector<std::string>& lines, std::string_view decimalSeparator) {
    const std::array<DxRecord, UserDxRows> loaded = LoadUserDxTable(lines, list_, decimalSeparator);
    kept_.clear();
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (lines[n].empty()) continue;  // holds nothing to keep
        // LoadUserDxTable fills row n + 1 exactly when it took line n.
        if (n < UserDxRows && !loaded[n].Call.empty()) {
            const DxRecord& r = loaded[n];
            std::array<std::string, UserDxMaxColumns>& row = cells_[n + 1];
            row = {r.Call, r.Country, r.Latitude, r.NorthSouth, r.Longitude, r.EastWest, r.Utc};
        } else {
            kept_.push_back(lines[n]);
        }
    }
}

std::optional<UserDxFailure> UserDxTable::CheckRows(std::string_view decimalSeparator) {
    for (int row = 1; row < UserDxTableRows; ++row) {
        std::array<std::string, UserDxMaxColumns>& cells = cells_[static_cast<std::size_t>(row)];
        bool empty = true;
        for (int c = kCall; c <= kEastWest; ++c) empty = empty && cells[static_cast<std::size_t>(c)].empty();
        if (empty) continue;
        auto fail = [row](UserDxColumn column, UserDxMessage message) {
            return UserDxFailure{row, static_cast<int>(column), message};
        };
        auto cell = [&cells](UserDxColumn column) -> std::string& {
            return cells[static_cast<std::size_t>(column)];
        };
        // The columns in their order, each rewritten once it passed.
        if (cell(UserDxColumn::Call).empty()) return fail(UserDxColumn::Call, UserDxMessage::EmptyField);
        if (cell(UserDxColumn::Country).empty()) return fail(UserDxColumn::Country, UserDxMessage::EmptyField);
        const struct {
            UserDxColumn degrees, hemisphere;
            char positive, negative;
            UserDxMessage wrongLetter;
        } axes[] = {{UserDxColumn::Latitude, UserDxColumn::NorthSouth, 'N', 'S', UserDxMessage::NorthSouth},
                    {UserDxColumn::Longitude, UserDxColumn::EastWest, 'E', 'W', UserDxMessage::EastWest}};
        for (const auto& axis : axes) {
            std::string& degrees = cell(axis.degrees);
            if (degrees.empty()) return fail(axis.degrees, UserDxMessage::EmptyField);
            std::optional<std::string> number = TolerantNumber(degrees, decimalSeparator);
            if (!number) return fail(axis.degrees, UserDxMessage::BadNumber);
            degrees = std::move(*number);
            std::string& letter = cell(axis.hemisphere);
            if (letter.empty()) return fail(axis.hemisphere, UserDxMessage::EmptyField);
            std::string upper = AsciiUpper(letter);
            if (upper != std::string(1, axis.positive) && upper != std::string(1, axis.negative))
                return fail(axis.hemisphere, axis.wrongLetter);
            letter = std::move(upper);
        }
        // The UTC text is free: it stays as typed.
    }
    return std::nullopt;
}

void UserDxTable::CopyEntryRowsFrom(const UserDxTable& other) {
    for (int row = 1; row < UserDxTableRows; ++row)
        cells_[static_cast<std::size_t>(row)] = other.cells_[static_cast<std::size_t>(row)];
}

std::vector<DxRecord> UserDxTable::Entries() const {
    std::vector<DxRecord> entries;
    for (int row = 1; row < UserDxTableRows; ++row) {
        const std::array<std::string, UserDxMaxColumns>& c = cells_[static_cast<std::size_t>(row)];
        if (c[kCall].empty()) continue;
        entries.push_back({c[0], c[1], c[2], c[3], c[4], c[5], list_ == DxList::Ham ? c[kUtc] : std::string()});
    }
    return entries;
}

std::vector<std::string> UserDxTable::SettingsLines() const {
    std::vector<std::string> lines;
    for (const DxRecord& r : Entries()) {
        std::string line = r.Call;
        for (const std::string* field : {&r.Country, &r.Latitude, &r.NorthSouth, &r.Longitude, &r.EastWest}) {
            line += '\t';
            line += *field;
        }
        if (!r.Utc.empty()) {
            line += '\t';
            line += r.Utc;
        }
        lines.push_back(std::move(line));
    }
    lines.insert(lines.end(), kept_.begin(), kept_.end());
    return lines;
}

}  // namespace korvalen::dx
