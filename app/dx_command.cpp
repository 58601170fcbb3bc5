#include "app/dx_command.h"

#include <QCoreApplication>

#include <cstdio>

#include "dx/call_lookup.h"
#include "dx/dx_panel.h"
#include "geo/geo.h"
#include "korvalen_version.h"
#include "settings/settings.h"

namespace korvalen::app {

const char kDxUsage[] =
    "  --list-dx ham|11m print the DX list (ham prefixes or 11 m countries)\n"
    "                    as the viewer shows it with the TAB separator: one\n"
    "                    row per line, the operator's own DX from\n"
    "                    korvalen.ini after the built-in rows, degrees with a\n"
    "                    decimal point, UTF-8\n"
    "  --beam CALL --from LOCATOR [--list ham|11m] [--unit km|mile]\n"
    "                    the beam heading from LOCATOR to the DX that typing\n"
    "                    CALL into the call box chooses (the ham list and km\n"
    "                    unless told otherwise); the word after --beam is the\n"
    "                    call even when it starts with a minus. Prints one\n"
    "                    line of TAB-separated fields: key, country, short-path\n"
    "                    azimuth and range, long-path azimuth and range, unit,\n"
    "                    UTC field. Exit status 3 when the DX cannot be\n"
    "                    chosen (the window would beep)\n";

namespace {

// The listing's notation, whatever the machine's locale.
constexpr char kDecimalPoint[] = ".";

int Fail(const std::string& message, int status = 2) {
    std::fprintf(stderr, "korvalen: %s\n", message.c_str());
    return status;
}

std::optional<dx::DxList> ListNamed(const std::string& name) {
    if (name == "ham") return dx::DxList::Ham;
    if (name == "11m") return dx::DxList::ElevenMetre;
    return std::nullopt;
}

// The operator's entries of @p list, read from korvalen.ini where the
// windows would read it. A file that stops early gives what it gave them,
// and its message goes to stderr.
std::vector<dx::DxRecord> StoredUserEntries(dx::DxList list, const std::string& programFolder) {
    QCoreApplication::setApplicationName(QStringLiteral(KORVALEN_NAME));
    const QString folder = settings::SettingsFolder(QString::fromStdString(programFolder));
    const settings::LoadResult read = settings::LoadSettings(folder, settings::SettingsFileExists(folder));
    if (read.error) std::fprintf(stderr, "korvalen: %s\n", read.error->text.c_str());
    const std::vector<std::string>& lines =
        list == dx::DxList::Ham ? read.values.hamDxRecords : read.values.elevenMetreDxRecords;
    return dx::UserEntries(dx::LoadUserDxTable(lines, list, kDecimalPoint));
}

std::vector<std::string> WorkingList(dx::DxList list, const std::string& programFolder) {
    return dx::FillDxList(list, dx::Separator::Default, StoredUserEntries(list, programFolder), kDecimalPoint);
}

}  // namespace

int ListDxCommand(const std::vector<std::string>& arguments, const std::string& programFolder) {
    if (arguments.size() != 2 || arguments[0] != "--list-dx")
        return Fail("--list-dx takes one value, ham or 11m, and nothing else (see --help)");
    const std::optional<dx::DxList> list = ListNamed(arguments[1]);
    if (!list) return Fail("--list-dx takes ham or 11m, not '" + arguments[1] + "'");
    for (const std::string& row : WorkingList(*list, programFolder)) std::printf("%s\n", row.c_str());
    return 0;
}

int BeamCommand(const std::vector<std::string>& arguments, const std::string& programFolder) {
    std::optional<std::string> call, from;
    dx::DxList list = dx::DxList::Ham;
    geo::Real unitFactor = geo::KilometreFactor;
    bool listGiven = false, unitGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a != "--beam" && a != "--from" && a != "--list" && a != "--unit")
            return Fail("unknown argument '" + a + "' (see --help)");
        if (i + 1 >= arguments.size()) return Fail(a + " needs a value (see --help)");
        const std::string& value = arguments[++i];
        bool repeated = false;
        if (a == "--beam") {
            repeated = call.has_value();
            call = value;
        } else if (a == "--from") {
            repeated = from.has_value();
            from = value;
        } else if (a == "--list") {
            repeated = listGiven;
            listGiven = true;
            const std::optional<dx::DxList> named = ListNamed(value);
            if (!named) return Fail("--list takes ham or 11m, not '" + value + "'");
            list = *named;
        } else {
            repeated = unitGiven;
            unitGiven = true;
            if (value != "km" && value != "mile") return Fail("--unit takes km or mile, not '" + value + "'");
            unitFactor = value == "km" ? geo::KilometreFactor : geo::StatuteMileFactor;
        }
        if (repeated) return Fail(a + " is given twice");
    }
    if (!call) return Fail("--from, --list and --unit go with --beam CALL (see --help)");
    // Blanks alone would be looked up as the start of the list (1A).
    if (call->find_first_not_of(" \t\r\n\v\f") == std::string::npos)
        return Fail("--beam needs a call sign or a country number");
    if (!from) return Fail("--beam needs --from LOCATOR (see --help)");
    const std::optional<geo::LatLong> centre = geo::LocatorToLatLong(*from);
    if (!centre) return Fail("'" + *from + "' is not a six-character QRA locator such as JN18EU");

    const std::vector<std::string> rows = WorkingList(list, programFolder);
    const std::string_view tab = dx::SeparatorText(dx::Separator::Default);
    const dx::CallLookup found = dx::LookupCall(rows, *call, list, tab);
    if (found.outcome != dx::CallLookup::Outcome::Row || found.row >= rows.size())
        return Fail("'" + *call + "' is not a number, or reaches a row whose key is not one"
                    " (the 11 m list is searched by number)", 3);
    const std::string& row = rows[found.row];
    const dx::RowChoice choice = dx::ChooseRow(row, tab, kDecimalPoint, *centre, unitFactor, "", "");
    if (!choice.beam) return Fail("the DX row '" + row + "' holds no position", 3);
    const dx::DxBeam& beam = *choice.beam;
    // The unit text as the read-outs end, without its leading blank.
    const std::string unit = geo::UnitText(unitFactor) + 1;
    std::printf("%s\t%s\t%d\t%d\t%d\t%d\t%s\t%s\n", choice.key->c_str(), choice.country->c_str(), beam.azimuth,
                beam.range, beam.longAzimuth, beam.longRange, unit.c_str(), choice.utc->c_str());
    return 0;
}

}  // namespace korvalen::app
