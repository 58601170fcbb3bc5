#include "tools/dxtables/cty.h"

#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace korvalen::dxtables {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

double Number(std::string_view text, std::string_view record) {
    const std::string s(Trim(text));
    char* end = nullptr;
    const double value = std::strtod(s.c_str(), &end);
    if (s.empty() || *end != '\0')
        throw std::runtime_error("cty.dat: bad number \"" + s + "\" in " + std::string(record.substr(0, 40)));
    return value;
}

// The text between open and close in an entry's tail, e.g. "<12.5/-45>".
std::optional<std::string_view> Between(std::string_view tail, char open, char close) {
    const auto from = tail.find(open);
    if (from == std::string_view::npos) return std::nullopt;
    const auto to = tail.find(close, from + 1);
    if (to == std::string_view::npos) return std::nullopt;
    return tail.substr(from + 1, to - from - 1);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

Cty Cty::Parse(std::string_view text) {
    Cty cty;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find(';', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view record = Trim(text.substr(start, end - start));
        start = end + 1;
        if (record.empty()) continue;

        // name: CQ zone: ITU zone: continent: lat: lon: offset: primary: prefixes
        std::vector<std::string_view> fields;
        std::size_t from = 0;
        while (fields.size() < 8) {
            const auto colon = record.find(':', from);
            if (colon == std::string_view::npos)
                throw std::runtime_error("cty.dat: short record " + std::string(record.substr(0, 40)));
            fields.push_back(Trim(record.substr(from, colon - from)));
            from = colon + 1;
        }
        Entity entity;
        entity.name = std::string(fields[0]);
        entity.continent = std::string(fields[3]);
        // The file counts longitude positive west and the offset as the
        // hours to add to local time to get UTC: both the other way round
        // from the lists.
        entity.position = {Number(fields[4], record), -Number(fields[5], record)};
        entity.utcOffset = -Number(fields[6], record);
        std::string_view primary = fields[7];
        if (!primary.empty() && primary.front() == '*') primary.remove_prefix(1);
        entity.primaryPrefix = std::string(primary);
        const std::size_t index = cty.entities_.size();
        cty.entities_.push_back(entity);

        std::string_view list = record.substr(from);
        while (!list.empty()) {
            const auto comma = list.find(',');
            const std::string_view item = Trim(list.substr(0, comma));
            list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
            if (item.empty() || item.front() == '=') continue;
            const auto tailAt = item.find_first_of("([<{~");
            const std::string prefix(item.substr(0, tailAt));
            const std::string_view tail = tailAt == std::string_view::npos ? std::string_view() : item.substr(tailAt);
            Entry entry;
            entry.entity = index;
            if (const auto ll = Between(tail, '<', '>')) {
                const auto slash = ll->find('/');
                if (slash == std::string_view::npos) throw std::runtime_error("cty.dat: bad position in " + std::string(item));
                entry.position = Position{Number(ll->substr(0, slash), item), -Number(ll->substr(slash + 1), item)};
            }
            if (const auto off = Between(tail, '~', '~')) entry.utcOffset = -Number(*off, item);
            // A prefix listed twice keeps its first entity, so that the
            // result does not depend on the map's insertion behaviour.
            cty.prefixes_.emplace(prefix, entry);
        }
    }
    return cty;
}

Resolved Cty::ByPrefix(std::string_view text) const {
    for (std::size_t length = text.size(); length > 0; --length) {
        const auto it = prefixes_.find(text.substr(0, length));
        if (it == prefixes_.end()) continue;
        const Entity& entity = entities_[it->second.entity];
        return {&entity, it->second.position.value_or(entity.position), it->second.utcOffset.value_or(entity.utcOffset)};
    }
    return {};
}

const Entity* Cty::ByName(std::string_view name) const {
    for (const Entity& entity : entities_)
        if (EqualNoCase(entity.name, name)) return &entity;
    return nullptr;
}

}  // namespace korvalen::dxtables
