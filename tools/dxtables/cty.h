// Reading cty.dat, the Big CTY country file: its DXCC entities and the
// prefixes that belong to them.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvalen::dxtables {

// North and east positive, decimal degrees.
struct Position {
    double latitude = 0;
    double longitude = 0;
};

struct Entity {
    std::string name;
    std::string primaryPrefix;  // without the "*" of the WAE-only entities
    std::string continent;      // "AF", "AS", "EU", "NA", "OC", "SA"
    Position position;
    double utcOffset = 0;  // hours, east positive ("UTC+5h30" is 5.5)
};

// What a prefix entry stands for: its entity, and the position or offset
// that the entry may carry for itself ("<lat/lon>", "~offset~").
struct Resolved {
    const Entity* entity = nullptr;
    Position position;
    double utcOffset = 0;
};

class Cty {
public:
    // Throws std::runtime_error on a malformed record.
    static Cty Parse(std::string_view text);

    // The longest prefix entry (entries starting with "=" are whole calls
    // and never match) that begins the text; no entity when none does.
    Resolved ByPrefix(std::string_view text) const;
    // Case-insensitive exact name; nullptr when no entity has it.
    const Entity* ByName(std::string_view name) const;
    const std::vector<Entity>& Entities() const { return entities_; }

private:
    struct Entry {
        std::size_t entity = 0;
        std::optional<Position> position;
        std::optional<double> utcOffset;
    };
    std::vector<Entity> entities_;
    std::map<std::string, Entry, std::less<>> prefixes_;
};

}  // namespace korvalen::dxtables
