// The built-in DX tables as the program reads them: the keys and country
// texts in their stored order, the rows users know by heart, and the shapes
// of the coordinate and UTC fields that the row reader and the DX panel
// expect.
#include "data/dx_tables.h"
#include "tests/dx_tables/fields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iterator>
#include <map>
#include <ostream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using korvalen::data::ElevenMetreDxRows;
using korvalen::data::HamDxRows;

namespace {

using korvalen::testing::Fields;

// Every ham key, in stored order; repeated keys once per row.
constexpr const char* HamKeys = R"(
1A 1S 3A 3B6 3B7 3B8 3B9 3C 3C0 3D2 3DA-3DM 3DN-3DZ 3E-3F 3G 3H-3U 3V 3W 3X 3Y 3Z 4A-4C 4D-4I 4J-4K
4L 4M 4O 4P-4S 4T 4U 4U 4V 4W 4X 4Z 5A 5B 5C-5G 5H-5I 5H1 5J-5K 5L-5M 5N-5O 5P-5Q 5R-5S 5T 5U 5V 5W
5X 5Y-5Z 6A-6B 6C 6D-6J 6K-6N 6O 6P-6S 6T-6U 6V-6W 6Y 6Z 7A-7I 7J-7N 7O 7P 7Q 7R 7S 7T-7Y 7Z 8A-8I
8J 8K 8L 8M 8N 8O 8P 8Q 8R 8S 8T-8Y 8Z 9A 9B-9D 9E-9F 9G 9H 9H4 9I-9J 9K 9L 9M 9M6 9M8 9N 9O-9T 9U
9V 9X 9Y-9Z 9Z A2 A3 A4 A5 A6 A7 A8 A9 AA-AL AH0 AH1 AH2 AH3 AH4 AH5 AH5K AH6-7 AH7K AH8 AH9 AL
AM-AO AP-AS AT-AW AX AY-AZ B BS7 BV BV9P C2 C3 C4 C5 C6 C8-C9 CA-CE CE0A CE0X CE0Z CE9A CF-CK CL-CM
CN CO CP CQ-CT CT3 CU CV-CX CY0 CY9 CY-CZ D2-D3 D4 D5 D6 D7-D9 DA-DR DS-DT DU-DZ E2 E3 E4 E5 E5 E6
E7 EA6 EA8 EA9 EA-EH EI-EJ EK EL EM-EO EP-EQ ER ES ET EU-EW EX EY EZ F FG FH FJ FK FM FO FO FO0 FO/A
FP FR FR/E FR/G FR/J FR/T FS FT.W FT.X FT.Y FT.Z FW FY G GC GD GH GI GJ GM GN GP GS GT GU GW GX H2
H3 H4 H40 H6-7 H8-9 HA HB HB0 HC8 HC-HD HE HF HG HH HI HK0 HK0 HK0 HK0 HJ-HK HL HM HN HO-HP HR6
HQ-HR HS HT HV HW HZ I IM-IS IT J2 J3 J4 J5 J6 J7 J8 JA-JS JD1 JD1 JR6 JT-JV JW JX JY JZ K K2 K4 K4
K5 K6 K7 K9 KC4 KC6 KC6 KG1 KG4 KH0 KH1 KH2 KH3 KH4 KH5 KH5K KH6-7 KH7K KH8 KH9 KP1 KP2 KP3-4 KP5
L2-9 LA-LN LO-LW LX LY LZ M N NH0 NH1 NH2 NH3 NH4 NH5 NH5K NH6-7 NH7K NH8 NH9 NP1 NP2 NP3-4 NP5
OA-OC OD OE OF-OJ OH0 OH-OI OJ0 OK-OL OM ON-OT OR4 OU-OW OX OY OZ P2 P3 P4 P5 PA-PI PJ PJ2,4,9
PJ5-PJ8 PK-PO PP-PY PY0F PY0S PY0T PZ R1FJ R1MV RA-RZ S0 S2 S5 S6 S7 S8 S9 SA-SM SN-SR ST ST0 SU SV5
SV9 SV-SZ SY T2 T30 T31 T32 T33 T4 T5 T6 T7 T8 T9 TA-TC TD TE TF TG TI TI9 TJ TK TL TM TN TO TR TS
TT TU TV TY TZ UA0 UA0 UA0 UA0F UA1 UA2 UA9 UA9 UA-UI UJ-UM UN-UQ UR-UZ V2 V3 V4 V5 V6 V7 V8 VA-VG
VE1 VE2 VE3 VE4 VE5 VE6 VE7 VE8 VE9 VH-VN VK0 VK0 VK0 VK1 VK2 VK3 VK4 VK5 VK6 VK7 VK8 VK9C VK9L VK9M
VK9N VK9W VK9X VO VO1 VO2 VP2E VP2M VP2V VP5 VP6 VP8 VP8 VP8 VP8 VP8 VP9 VQ9 VR VT-VU VT-VU VU4 VU4
VU7 VW VX-VY VY1 VY2 W WH0 WH1 WH2 WH3 WH4 WH5 WH5K WH6-7 WH7K WH8 WH9 WP1 WP2 WP3-4 WP7 XA-XI XF4
XJ-XO XP XQ XS XT XU XV XW XX XY-XZ Y2-9 YA YB-YH YI YJ YK YL YM YN YO-YR YS YT-YU YV0 YV-YY Z2 Z3
ZA ZB ZC ZD7 ZD8 ZD9 ZF ZK ZK2 ZK3 ZL-ZM ZL7 ZL8 ZL9 ZP ZR-ZS ZS2M ZS7 ZS8 ZT-ZU
)";

// Every 11-metre row: number, blank, country text; rows end with ";".
constexpr const char* ElevenMetreCountries = R"(
1 Italia (Eu); 2 U.S.A. (NAm); 3 Brasil (SAm); 4 Argentina (SAm); 5 Venezuela (SAm);
6 Colombia (SAm); 7 Netherland Antilles (SAm) deleted; 8 Peru (SAm); 9 Canada ONTARIO (NAm);
10 Mexico (NAm); 11 Puerto Rico (NAm); 12 Uruguay (SAm); 13 Germany (Eu); 14 France (Eu);
15 Switzerland (Eu); 16 Belgium (Eu); 17 Hawaii (Oc); 18 Greece (Eu); 19 Holland (Eu);
20 Norway (Eu); 21 Sweden (Eu); 22 Fr. Guyana (SAm); 23 Jamaica (NAm); 24 Panama (NAm);
25 Japan (As); 26 England (Eu); 27 Iceland (Eu); 28 Honduras (NAm); 29 Irland (Eu); 30 Espana (Eu);
31 Portugal (Eu); 32 Chile (SAm); 33 Alaska (NAm); 34 Canary Is (Af); 35 Austria (Eu);
36 San Marino (Eu); 37 Dominican Republic (NAm); 38 Greenland (NAm); 39 Angola (Af);
40 Liechtenstein (Eu); 41 New Zealand (Oc); 42 Liberia (Af); 43 Australia (Oc);
44 South Africa (Af); 45 Yougoslavia (Eu); 46 East-Germany (Eu) deleted; 47 Denmark (Eu);
48 Saudi Arabia (As); 49 Balearic Is (Eu); 50 Russia (Eu+As); 51 Andorra (Eu); 52 Faroer Is (Eu);
53 Salvador (NAm); 54 Luxembourg (Eu); 55 Gibraltar (Eu); 56 Finland (Eu); 57 India (As);
58 East Malaysia (As); 59 Dodecanese (Eu); 60 Hong Kong (As); 61 Ecuador (SAm);
62 Guam & Mariana Is(Oc); 63 St Helen Is (Af); 64 Senegal (Af); 65 Sierra L'one (Af);
66 Mauritania (Af); 67 Paraguay (SAm); 68 North. Irland (Eu); 69 Costa Rica (NAm); 70 Samoa US (Oc);
71 Midway (Oc); 72 Guatemala (NAm); 73 Surinam (SAm); 74 Namibia (Af); 75 Azores Is (Eu);
76 Morocco (Af); 77 Ghana (Af); 78 Zambia (Af); 79 Philippines (Oc); 80 Bolivia (SAm);
81 St Andres & Providence(NAm); 82 Guantanamo Bay (NAm); 83 Tanzania (Af); 84 Ivory Coast (Af);
85 Zimbabwe (Af); 86 Nepal (As); 87 North Yemen (As) deleted; 88 Cuba (NAm); 89 Nigeria (Af);
90 Crete - Kriti (Eu); 91 Indonesia (Oc); 92 Libya (Af); 93 Malta (Eu);
94 United Arabian Emirates (As); 95 Mongolia (As); 96 Tonga (Oc); 97 Israel (As); 98 Singapore (As);
99 Fiji (Oc); 100 South Korea (As); 101 New Guinea Papua (Oc); 102 Kuwait (As); 103 Haiti (NAm);
104 Corsica (Eu); 105 Botswana (Af); 106 Ceuta & Melilla (Af); 107 Monaco (Eu); 108 Scotland (Eu);
109 Hungary (Eu); 110 Cyprus (As); 111 Jordan (As); 112 Lebanon (As); 113 West Malaysia (As);
114 Pakistan (As); 115 Qatar (As); 116 Turkey (As); 117 Egypt (Af); 118 Gambia (Af);
119 Madeira Is (Af); 120 Antigua-Barbuda (NAm); 121 Bahamas (NAm); 122 Barbados (NAm);
123 Bermuda (NAm); 124 Amsterdam & St Paul (Af); 125 Cayman (NAm); 126 Nicaragua (NAm);
127 Virgin Is (NAm); 128 British Virgin Is (NAm); 129 Macquarie (Oc); 130 Norfolk & Philip (Oc);
131 Guyana (SA); 132 Marshall Is (Oc); 133 North. Mariannes (Oc); 134 Palau & Belau (Oc);
135 Salomon Is(Oc); 136 Martinique (NAm); 137 Man Island (Eu); 138 Vatican (Eu);
139 South Yemen (As) deleted; 140 Antartica; 141 St Pierre & Miquelon (NAm); 142 Lesotho (Af);
143 Ste Lucie (Na); 144 Easter - Pascua Is(SAm); 145 Galapagos (SAm); 146 Algeria (Af);
147 Tunisia (Af); 148 Ascension (Af); 149 Laccadive (As); 150 Bahrain (As); 151 Iraq (As);
152 Maldives (As); 153 Thailand (As); 154 Iran (As); 155 Taiwan (As); 156 Cameroon (Af);
157 Montserrat (NAm); 158 Trinidad & Tobago (SAm); 159 Somalia (Af); 160 Sudan (Af);
161 Poland (Eu); 162 Zaire (Af); 163 Wales (Eu); 164 Togo (Af); 165 Sardegna (Eu);
166 St Marteen-Saba-St Eus(NAm) deleted; 167 Jersey (Eu); 168 Mauritius (Af); 169 Guernesey (Eu);
170 Burkina Faso(Af); 171 Svalbard (Eu); 172 New Caledonia (Oc); 173 Reunion Is (Af);
174 Uganda (Af); 175 Tchad (Af); 176 Central Africa Rep (Af); 177 Sri Lanka (As); 178 Bulgaria (Eu);
179 Czechoslovakia (Eu) deleted; 180 Oman (As); 181 Syria (As); 182 Guinea (Af); 183 Benin (Af);
184 Burundi (Af); 185 Comoros (Af); 186 Djibouti (Af); 187 Kenya (Af); 188 Malagasy (Af);
189 Mayotte (Af); 190 Seychelles (Af); 191 Swaziland (Af); 192 Cocos (NAm); 193 Cocos-Keeling (Oc);
194 Dominica Island (NAm); 195 Grenada (NAm); 196 Guadeloupe (NAm); 197 Vanuatu (New Hebrides) (Oc);
198 Falkland (SAm); 199 Equatorial Guinea (Af); 200 South Shetland Is (SAm); 201 Fr. Polynesia (Oc);
202 Bhutan (As); 203 China (As); 204 Mozambique (Af); 205 Cape Verde (Af); 206 Ethiopia (Af);
207 St Martin (NAm); 208 Glorieuses (Af); 209 Juan de Nova (Af); 210 Wallis & Futuna (Oc);
211 Jan Mayen (Eu); 212 Aaland (Eu); 213 Market Reef (Eu); 214 Congo (Af); 215 Gabon (Af);
216 Mali (Af); 217 Christmas (Oc); 218 Belize (NAm); 219 Anguilla (NAm);
220 St Vincent & Grenadines(NAm); 221 Sth. Orkney (SAm); 222 Sth. Sandwich (SAm);
223 Western Samoa (Oc); 224 West Kiribati (Oc); 225 Brunei (Oc); 226 Malawi (Af); 227 Rwanda (Af);
228 Chagos (Af); 229 Heard & Mc Donald (Af); 230 Macronesia (Oc); 231 St Peter & St Paul (SAm);
232 Aruba; 233 Romania (Eu); 234 Afghanistan (As); 235 ITU Geneva (Eu); 236 Bangladesh (As);
237 Birmania-Myanmar (As); 238 Cambodia-Kampuchea (As); 239 Laos (As); 240 Macao (As);
241 Spratley (As); 242 Vietnam (As); 243 Agalega (Af); 244 Annobon & Pagalu (Af); 245 Niger (Af);
246 Sao Tome & Principe (Af); 247 Navassa (NAm); 248 Turks & Caicos (NAm); 249 North. Cook (Oc);
250 South. Cook (Oc); 251 Albania (Eu); 252 Revilla Gigedo (NAm); 253 Andaman (As);
254 Mt Athos (Eu); 255 Kerguelen (Af); 256 Canada PRINCE EDWARD (NAm); 257 Rodrigues (Af);
258 Tristan da Cunha & Gough(Af); 259 Tromelin (Af); 260 Baker-Howland-Phoenix(Oc);
261 Chatham (Oc); 262 Johnston (Oc); 263 Kermadec & Raoul (Oc); 264 Kingman Reef (Oc);
265 Kiribati Phoenix (Oc); 266 Kiribati East (Oc); 267 Kure (Oc); 268 Lord Howe (Oc);
269 Mellish Reef (Oc); 270 Minami Torishima (Oc); 271 Nauru (Oc); 272 Niue (Oc);
273 Palmyra-Jarvis (Oc); 274 Pitcairn (Oc); 275 Tokelau (Oc); 276 Tuvalu (Oc); 277 Sable (NAm);
278 Wake-Wilkes-Peale Is(Oc); 279 Willis (Oc); 280 Aves (NAm); 281 Ogasawara (As);
282 Auckland-Campbell (Oc); 283 St Kitts-Nevis (NAm); 284 St Paul (NAm);
285 Fernando de Noronha (SAm); 286 Juan Fernandez (SAm); 287 Malpelo (SAm); 288 San Felix (SAm);
289 Sth. Georgia (SAm); 290 Trinidade & Martim Vaz(SAm); 291 Dhekelia & Akrotiri Cyprus (As);
292 Abu Ail Island (As) deleted; 293 Guinea-Bissau (Af); 294 Peter 1st Is (SAm);
295 South Sudan (Af) deleted; 296 Clipperton (NAm); 297 Bouvet (Af); 298 Crozet (Af);
299 Desecheo Is (NAm); 300 W. Sahara (Af); 301 Armenia (As); 302 Asiatic Russia (As);
303 Azerbaidjan (As); 304 Estonia (Eu); 305 Franz Josef land(Eu); 306 Georgia (As);
307 Kaliningrad (Eu); 308 Kazakhstan (As); 309 Kirghizstan (As); 310 Latvia (Eu);
311 Lithuania (Eu); 312 Moldavia (Eu); 313 Tadzhikstan (As); 314 Turkmenistan (As);
315 Ukrainia (Eu); 316 Uzbekistan (As); 317 Belarus (Eu); 318 S.M.O.M (Eu);
319 UN Headquaters (NAm); 320 Ocean Banaba Is(Oc); 321 Conway reef (Oc); 322 Walvis Bay (Af);
323 Yemen (As); 324 Penguin Is (Oc) deleted; 325 Rotuma Is (Oc); 326 Malij Vysotskij Is (Eu);
327 Slovenia (Eu); 328 Croatia (Eu); 329 Czech Rep. (Eu); 330 Slovaquia (Eu); 331 Bosnia (Eu);
332 Macedonia (Eu); 333 Eritrea (Af); 334 North. korea (As); 335 Scarborough Reff (As);
336 Pratas Is (As); 337 Temotu Is (Oc); 338 Marquesas Is (Oc); 339 Austral Is (Oc);
340 Palestine (As); 341 East Timor (As); 342 Chesterfield Is (Oc); 343 Ducie Is (Oc);
344 Montenegro (Eu); 345 Swains Is (Oc); 346 St Barthelemy (Na); 347 Curaçao (SA);
348 St Maarten (SA); 349 Saba St-Eustatius (SA); 350 Bonaire (SA); 351 South Sudan (AF);
)";

std::string Trim(const std::string& s) {
    const auto from = s.find_first_not_of(" \n");
    if (from == std::string::npos) return {};
    return s.substr(from, s.find_last_not_of(" \n") - from + 1);
}

// Decimal degrees of a field such as "35,83N" (south and west negative).
double Degrees(const std::string& field) {
    std::string number = field.substr(0, field.size() - 1);
    std::replace(number.begin(), number.end(), ',', '.');
    const double value = std::stod(number);
    return field.back() == 'S' || field.back() == 'W' ? -value : value;
}

TEST(HamDxTable, HoldsTheKeysInTheirStoredOrderWithFiveFieldsEach) {
    std::istringstream keys(HamKeys);
    std::vector<std::string> expected{std::istream_iterator<std::string>(keys), std::istream_iterator<std::string>()};
    ASSERT_EQ(expected.size(), HamDxRows.size());
    for (std::size_t i = 0; i < HamDxRows.size(); ++i) {
        const auto fields = Fields(HamDxRows[i]);
        ASSERT_EQ(fields.size(), 5u) << "row " << i << ": " << HamDxRows[i];
        EXPECT_EQ(fields[0], expected[i]) << "row " << i;
        EXPECT_FALSE(fields[1].empty()) << "row " << i;
    }
}

TEST(ElevenMetreDxTable, HoldsTheNumberedCountriesInOrderWithFourFieldsButRow292) {
    std::istringstream list(ElevenMetreCountries);
    std::string item;
    std::size_t index = 0;
    while (std::getline(list, item, ';')) {
        item = Trim(item);
        if (item.empty()) continue;
        ASSERT_LT(index, ElevenMetreDxRows.size());
        const auto blank = item.find(' ');
        const auto fields = Fields(ElevenMetreDxRows[index]);
        EXPECT_EQ(fields[0], std::to_string(index + 1));
        EXPECT_EQ(fields[0], item.substr(0, blank));
        EXPECT_EQ(fields[1], item.substr(blank + 1)) << "row " << fields[0];
        EXPECT_EQ(fields.size(), index + 1 == 292 ? 2u : 4u) << "row " << fields[0];
        ++index;
    }
    EXPECT_EQ(index, ElevenMetreDxRows.size());
}

// A row that must stand in a table exactly as written: the whole row, or
// (whole = false) its first fields, for rows whose country is fixed but
// whose point is data.
struct KnownRow {
    const char* name;
    bool hamList;
    const char* text;
    bool whole;
};

void PrintTo(const KnownRow& row, std::ostream* os) { *os << row.name; }

class KnownRows : public ::testing::TestWithParam<KnownRow> {};

TEST_P(KnownRows, StandInTheTable) {
    const KnownRow& expected = GetParam();
    const std::string_view text = expected.text;
    const auto matches = [&](std::string_view row) {
        return expected.whole ? row == text : row.substr(0, text.size()) == text;
    };
    const bool found = expected.hamList ? std::any_of(HamDxRows.begin(), HamDxRows.end(), matches)
                                        : std::any_of(ElevenMetreDxRows.begin(), ElevenMetreDxRows.end(), matches);
    EXPECT_TRUE(found) << text;
}

const KnownRow KnownRowCases[] = {
    {"Ham_Malta", true, "1A\tMalta (Eu)\t35,83N\t14,58E\tUTC+1*", true},
    {"Ham_Swaziland", true, "3DA-3DM\tSwaziland (Af)\t26,5S\t31,5E\tUTC+2", true},
    {"Ham_Hawaii", true, "AH6-7\tHawa\xC3\xAF (Oc)\t20N\t157,75W\tUTC-10", true},
    {"Ham_StPaul", true, "CY9\tSt Paul (NAm)\t47,25N\t60,17W\tUTC-4", true},
    {"Ham_Canada", true, "CY-CZ\tCanada (NAm)\t51N\t85W\tUTC-4/-8*", true},
    {"Ham_France", true, "F\tFrance (Eu)\t46N\t2E\tUTC+1*", true},
    {"Ham_Austral", true, "FO/A\tAustral Is(Oc)\t23S\t150W\tUTC-10", true},
    {"Ham_Crozet", true, "FT.W\tCrozet (Af)\t46S\t52E\tUTC+4", true},
    {"Ham_England", true, "G\tEngland (Eu)\t52,5N\t1,5W\tUTC+0*", true},
    {"Ham_BajoNuevo", true, "HK0\tBajo Nuevo (NAm)\t16,33N\t79,17W\tUTC-5", true},
    {"Ham_Usa", true, "K\tU.S.A. (NAm)\t38N\t97W\tUTC-5/-8*", true},
    {"Ham_BonaireCuracao", true, "PJ2,4,9\tBonaire & Curacao (NAm)\t12,17N\t68,25W\tUTC-4", true},
    {"Ham_Bombay", true, "VT-VU\tIndia BOMBAY (As)\t18,97N\t72,83E\tUTC+5h30", true},
    {"Ham_SouthAfrica", true, "ZT-ZU\tSouth Africa (Af)\t30S\t26E\tUTC+2", true},
    {"Ham_Tromelin", true, "FR/T\tTromelin (Af)\t", false},
    {"Ham_Deutschland", true, "DA-DR\tDeutschland (Eu)\t", false},
    {"Ham_Canarias", true, "EA8\tCanarias Is (Af)\t", false},
    {"Ham_Marion", true, "ZS2M\tMarion Is (Af)\t", false},
    {"Ham_Spratley", true, "1S\tSpratley (As)\t", false},
    {"Ham_Botswana", true, "A2\tBotswana (Af)\t", false},
    {"Ham_Israel", true, "4X\tIsra\xC3\xABl (As)\t", false},
    {"Ham_StBarthelemy", true, "FJ\tSt Barth\xC3\xA9l\xC3\xA9my (NAm)\t", false},
    {"Ham_GuineeBissau", true, "J5\tGuin\xC3\xA9" "e-Bissau (Af)\t", false},
    {"Eleven_Italia", false, "1\tItalia (Eu)\t42,83N\t12,83E", true},
    {"Eleven_NetherlandAntilles", false, "7\tNetherland Antilles (SAm) deleted\t12,25N\t69W", true},
    {"Eleven_France", false, "14\tFrance (Eu)\t46N\t2E", true},
    {"Eleven_AbuAil", false, "292\tAbu Ail Island (As) deleted", true},
    {"Eleven_SouthSudanDeleted", false, "295\tSouth Sudan (Af) deleted\t8N\t33E", true},
    {"Eleven_SouthSudan", false, "351\tSouth Sudan (AF)\t4,85N\t31,6E", true},
};

INSTANTIATE_TEST_SUITE_P(DxTables, KnownRows, ::testing::ValuesIn(KnownRowCases),
                         [](const ::testing::TestParamInfo<KnownRow>& info) { return std::string(info.param.name); });

// A key that stands on several rows, one per place; places are words that
// the rows' countries hold, in stored order, where the places are fixed.
struct RepeatedKey {
    const char* key;
    std::size_t rows;
    std::vector<const char*> places;
};

void PrintTo(const RepeatedKey& key, std::ostream* os) { *os << key.key; }

class RepeatedKeys : public ::testing::TestWithParam<RepeatedKey> {};

TEST_P(RepeatedKeys, NameDistinctPlacesAtDistinctPoints) {
    const RepeatedKey& expected = GetParam();
    std::vector<std::vector<std::string>> rows;
    for (const std::string_view row : HamDxRows)
        if (Fields(row)[0] == expected.key) rows.push_back(Fields(row));
    ASSERT_EQ(rows.size(), expected.rows);
    std::set<std::string> countries, points;
    for (const auto& row : rows) {
        countries.insert(row[1]);
        points.insert(row[2] + " " + row[3]);
    }
    EXPECT_EQ(countries.size(), rows.size());
    EXPECT_EQ(points.size(), rows.size());
    for (std::size_t i = 0; i < expected.places.size(); ++i)
        EXPECT_NE(rows[i][1].find(expected.places[i]), std::string::npos) << rows[i][1];
}

const RepeatedKey RepeatedKeyCases[] = {
    {"4U", 2, {"ITU Geneva", "UN Headquaters"}},
    {"E5", 2, {"North. Cook", "South. Cook"}},
    {"FO", 2, {"Fr. Polynesia", "Marquises Is"}},
    {"HK0", 4, {"Bajo Nuevo"}},
    {"JD1", 2, {}},
    {"K4", 2, {"MIAMI", "ATLANTA"}},
    {"KC6", 2, {}},
    {"UA0", 3, {}},
    {"UA9", 2, {"NOVOSIBIRSK", "OMSK"}},
    {"VK0", 3, {}},
    {"VP8", 5, {}},
    {"VT-VU", 2, {"BOMBAY", "CALCUTTA"}},
    {"VU4", 2, {"Andaman", "Nicobar"}},
};

INSTANTIATE_TEST_SUITE_P(HamDxTable, RepeatedKeys, ::testing::ValuesIn(RepeatedKeyCases),
                         [](const ::testing::TestParamInfo<RepeatedKey>& info) {
                             std::string name = info.param.key;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(HamDxTable, RepeatedKeysAreExactlyTheThirteenListed) {
    std::map<std::string, int> counts;
    for (const std::string_view row : HamDxRows) ++counts[Fields(row)[0]];
    std::set<std::string> repeated;
    for (const auto& [key, count] : counts)
        if (count > 1) repeated.insert(key);
    std::set<std::string> listed;
    for (const RepeatedKey& key : RepeatedKeyCases) listed.insert(key.key);
    EXPECT_EQ(repeated, listed);
}

// The program sorts the ham list case-insensitively by the whole row; the
// call-sign lookup lands on the first HK0 row, which must be Bajo Nuevo in
// stored order and in that sort alike.
TEST(HamDxTable, BajoNuevoIsTheFirstHk0RowStoredAndSorted) {
    std::vector<std::string> rows;
    for (const std::string_view row : HamDxRows)
        if (Fields(row)[0] == "HK0") rows.emplace_back(row);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(Fields(rows.front())[1], "Bajo Nuevo (NAm)");
    const auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    const auto first = std::min_element(rows.begin(), rows.end(),
                                        [&](const std::string& a, const std::string& b) { return lower(a) < lower(b); });
    EXPECT_EQ(Fields(*first)[1], "Bajo Nuevo (NAm)");
}

TEST(DxTables, DegreesAreUnsignedWithACommaAndAtMostTwoFractionDigits) {
    // No trailing zero in the fraction, no leading zero but for "0".
    const std::regex latitude(R"((0|[1-9][0-9]?)(,[0-9]?[1-9])?[NS])");
    const std::regex longitude(R"((0|[1-9][0-9]{0,2})(,[0-9]?[1-9])?[EW])");
    std::vector<std::vector<std::string>> points;
    for (const std::string_view row : HamDxRows) points.push_back(Fields(row));
    for (const std::string_view row : ElevenMetreDxRows)
        if (Fields(row).size() == 4) points.push_back(Fields(row));
    for (const auto& row : points) {
        EXPECT_TRUE(std::regex_match(row[2], latitude)) << row[0] << " " << row[2];
        EXPECT_TRUE(std::regex_match(row[3], longitude)) << row[0] << " " << row[3];
        EXPECT_LE(std::abs(Degrees(row[2])), 89) << row[0];
        EXPECT_LE(std::abs(Degrees(row[3])), 180) << row[0];
    }
}

TEST(HamDxTable, UtcFieldsHaveTheShapesTheListUses) {
    // UTC+1, UTC-10, UTC+5h30, UTC+7/+9, each optionally with a final "*".
    const std::regex utc(R"(UTC[+-](0|1[0-4]|[1-9])(h(30|45))?(/[+-](1[0-4]|[1-9]))?\*?)");
    for (const std::string_view row : HamDxRows) {
        const auto fields = Fields(row);
        EXPECT_TRUE(std::regex_match(fields[4], utc)) << fields[0] << " " << fields[4];
    }
}

// The rows are compiled in as UTF-8; a stray Latin-1 byte would show as a
// replacement character in the list.
TEST(DxTables, RowsAreValidUtf8) {
    const auto valid = [](std::string_view text) {
        for (std::size_t i = 0; i < text.size();) {
            const auto c = static_cast<unsigned char>(text[i]);
            const std::size_t length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
            if (length == 0 || i + length > text.size() || (length == 2 && c < 0xC2)) return false;
            for (std::size_t k = 1; k < length; ++k)
                if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
            i += length;
        }
        return true;
    };
    for (const std::string_view row : HamDxRows) EXPECT_TRUE(valid(row)) << row;
    for (const std::string_view row : ElevenMetreDxRows) EXPECT_TRUE(valid(row)) << row;
}

}  // namespace
