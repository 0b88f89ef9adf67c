// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/package_rules.h"

#include "board/csv.h"
#include "board/text.h"
#include "board/units.h"

#include "calc/tables.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace board {

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

PackageRule Kind(std::string pattern, const char* kind, std::string why) {
    PackageRule rule;
    rule.pattern = std::move(pattern);
    rule.kind = FindKind(kind);
    rule.why = std::move(why);
    return rule;
}

PackageRule Other(std::string pattern, PackageRule::Action action, std::string why) {
    PackageRule rule;
    rule.pattern = std::move(pattern);
    rule.action = action;
    rule.why = std::move(why);
    return rule;
}

// Imperial chip codes and their bodies, mm (EIA: the code is length and width in hundredths of an inch;
// the metric sizes are the ones data sheets give).
struct Chip {
    std::string_view code;
    double x, y;
};
constexpr std::array<Chip, 10> kChips{{{"01005", 0.4, 0.2},
                                       {"0201", 0.6, 0.3},
                                       {"0402", 1.0, 0.5},
                                       {"0603", 1.6, 0.8},
                                       {"0805", 2.0, 1.25},
                                       {"1206", 3.2, 1.6},
                                       {"1210", 3.2, 2.5},
                                       {"1812", 4.5, 3.2},
                                       {"2010", 5.0, 2.5},
                                       {"2512", 6.3, 3.2}}};

// JEDEC outlines whose names give no size: the moulded body, mm, along the footprint's x and y as KiCad
// draws them (SOT: the pins' rows along y; SOD and SMA/SMB/SMC: the two pads along x).
struct Outline {
    std::string_view name;
    double x, y;
};
constexpr std::array<Outline, 9> kOutlines{{{"SOT-23", 1.3, 2.9},
                                            {"SOT-223", 3.5, 6.5},
                                            {"SOT-89", 2.5, 4.5},
                                            {"SOD-123", 2.7, 1.6},
                                            {"SOD-323", 1.7, 1.25},
                                            {"SOD-523", 1.2, 0.8},
                                            {"SMA", 4.3, 2.6},
                                            {"SMB", 4.3, 3.6},
                                            {"SMC", 6.9, 5.9}}};

std::vector<PackageRule> MakeBuiltInRules() {
    using A = PackageRule::Action;
    std::vector<PackageRule> rules{
        // Not parts: a mounting hole holds the board (a point support of the plate model); fiducials, test
        // points and logos carry no mass worth a joint's check.
        Other("MountingHole:*", A::Support, "mounting hole"),
        Other("MountingHole*", A::Support, "mounting hole"),
        Other("Fiducial:*", A::Skip, "fiducial"),
        Other("Fiducial*", A::Skip, "fiducial"),
        Other("TestPoint:*", A::Skip, "test point"),
        Other("TestPoint*", A::Skip, "test point"),
        Other("Symbol:*", A::Skip, "logo"),
        Other("*Logo*", A::Skip, "logo"),
        // Before the libraries: KiCad keeps PLCCs in Package_LCC, but their J leads flex like the table's
        // LCCC with J wires, not like castellations.
        Kind("*PLCC*", "lccc-j", "PLCC: J leads on four sides, the table's LCCC with J wires"),
        // KiCad's standard libraries.
        Kind("Resistor_SMD:*", "resistor", "chip resistor"),
        Kind("Resistor_THT:*", "resistor", "axial or radial resistor"),
        Kind("Capacitor_*", "capacitor", "capacitor, chip or leaded"),
        Kind("Diode_*", "diode", "diode, chip or leaded"),
        Kind("LED_*", "diode", "LED: a diode's body and leads"),
        Kind("Inductor_*", "resistor",
             "inductor: a two-terminal chip or axial body like a resistor's; the table has no inductor row "
             "and resistor, capacitor and diode share C = 0.75 (give its mass: inductors are heavy)"),
        Kind("Package_DIP:*", "dip", "DIP"),
        Kind("Package_BGA:*", "bga", "BGA"),
        Kind("Package_CSP:*", "bga", "chip-scale package: solder balls under the body, as a BGA"),
        Kind("Package_LCC:*", "lccc", "leadless chip carrier: castellations, the stiffest joint"),
        Kind("Package_DFN_QFN:*", "lccc", "DFN or QFN: leadless, bottom terminations as an LCCC's"),
        Kind("Package_QFP:*", "fine-pitch", "QFP: fine-pitch gull-wing leads on four sides"),
        Kind("Package_SO:*", "two-row", "small outline: two parallel rows of leads"),
        Kind("Package_TO_SOT_SMD:*", "two-row", "SOT or TO outline: leads in two parallel rows"),
        Kind("Package_SON:*", "two-row", "SON: two rows of terminations"),
        Kind("Connector*", "two-row",
             "connector: two parallel rows of pins is the nearest row; mating forces and a cable's pull are "
             "not modelled, and a heavy connector needs its mass"),
        // The package texts of placement files.
        Kind("R_*", "resistor", "resistor"),
        Kind("C_*", "capacitor", "capacitor"),
        Kind("CP_*", "capacitor", "polarised capacitor"),
        Kind("D_*", "diode", "diode"),
        Kind("L_*", "resistor", "inductor: a two-terminal body like a resistor's (C = 0.75)"),
        Kind("SOD-*", "diode", "diode in an SOD outline"),
        Kind("*BGA*", "bga", "BGA"),
        Kind("*QFP*", "fine-pitch", "QFP: fine-pitch gull-wing leads on four sides"),
        Kind("*QFN*", "lccc", "QFN: leadless, bottom terminations as an LCCC's"),
        Kind("*DFN*", "lccc", "DFN: leadless, bottom terminations as an LCCC's"),
        Kind("DIP-*", "dip", "DIP"),
        Kind("PDIP-*", "dip", "DIP"),
        Kind("*SOIC*", "two-row", "small outline: two parallel rows of leads"),
        Kind("*SSOP*", "two-row", "small outline: two parallel rows of leads"),
        Kind("*SOP-*", "two-row", "small outline: two parallel rows of leads"),
        Kind("SOT-*", "two-row", "SOT outline: leads in two parallel rows"),
    };
    // An imperial chip code alone ("0805") says the size, not what the part is: resistor, capacitor and
    // diode share C, so the resistor's row stands for all three.
    for (const Chip& chip : kChips)
        rules.push_back(Kind(std::string(chip.code), "resistor",
                             "two-terminal chip (resistor, capacitor and diode share C = 0.75)"));
    return rules;
}

std::string_view NameOf(std::string_view libId) {
    const std::size_t colon = libId.rfind(':');
    return colon == std::string_view::npos ? libId : libId.substr(colon + 1);
}

// A number at `i` ([0-9.]+), advancing `i`.
std::optional<double> NumberAt(std::string_view text, std::size_t& i) {
    const std::size_t start = i;
    while (i < text.size() && (IsDigit(text[i]) || text[i] == '.'))
        ++i;
    return ParseNumber(text.substr(start, i - start));
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

constexpr double kMm = 1.0 / kMillimetresPerInch;

// "_17.0x17.0mm": the first such size right after an underscore.
std::optional<Body> SizeInName(std::string_view name) {
    for (std::size_t at = 0; at < name.size(); ++at) {
        if (!(at == 0 || name[at - 1] == '_') || !IsDigit(name[at]))
            continue;
        std::size_t i = at;
        const auto x = NumberAt(name, i);
        if (!x || i >= name.size() || Lower(name[i]) != 'x')
            continue;
        ++i;
        const auto y = NumberAt(name, i);
        if (!y || !StartsWithIgnoringCase(name.substr(i), "mm"))
            continue;
        return Body{*x * kMm, *y * kMm, 0.0, 0.0};
    }
    return std::nullopt;
}

// "_2012Metric": length and width in tenths of a millimetre.
std::optional<Body> MetricCode(std::string_view name) {
    for (std::size_t at = name.find("Metric"); at != std::string_view::npos;
         at = name.find("Metric", at + 1)) {
        if (at < 4 || !(at == 4 || name[at - 5] == '_'))
            continue;
        const std::string_view code = name.substr(at - 4, 4);
        if (!std::all_of(code.begin(), code.end(), IsDigit))
            continue;
        const double x = (code[0] - '0') * 10 + (code[1] - '0'), y = (code[2] - '0') * 10 + (code[3] - '0');
        return Body{x / 10.0 * kMm, y / 10.0 * kMm, 0.0, 0.0};
    }
    return std::nullopt;
}

// The words of a name between underscores whose first letter is `letter` and which read as "<n>mm".
std::optional<double> Dimension(std::string_view name, char letter) {
    for (std::string_view word : Split(name, '_')) {
        if (word.size() < 4 || word[0] != letter || !word.ends_with("mm"))
            continue;
        if (const auto value = ParseNumber(word.substr(1, word.size() - 3)))
            return *value * kMm;
    }
    return std::nullopt;
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// KiCad's through-hole names: origin on pin 1; "DIP-8_W7.62mm" (rows W apart, pins 0.1 in apart along -y),
// "R_Axial_..._L6.3mm_D2.5mm_P10.16mm_Horizontal" (pin 2 at P along x), "CP_Radial_D5.0mm_P2.00mm".
std::optional<Body> ThroughHole(std::string_view name) {
    const std::optional<double> pitch = Dimension(name, 'P');
    for (std::string_view prefix : {"DIP-", "PDIP-"}) {
        if (!StartsWithIgnoringCase(name, prefix))
            continue;
        std::size_t i = prefix.size();
        const std::size_t start = i;
        while (i < name.size() && IsDigit(name[i]))
            ++i;
        const auto pins = ParseNumber(name.substr(start, i - start));
        if (!pins || *pins < 2.0 || *pins > 1000.0)
            return std::nullopt;
        // The moulded body is about as long as the pins' rows and a 0.05 in narrower than their spacing.
        const double rows = Dimension(name, 'W').value_or(0.3), step = 0.1, perRow = std::ceil(*pins / 2.0);
        return Body{rows - 0.05, perRow * step, rows / 2.0, -(perRow - 1.0) * step / 2.0};
    }
    // Pin headers and sockets, "PinHeader_2x05_P2.54mm_Vertical": columns along x, pins along -y.
    if (pitch && (Contains(name, "PinHeader") || Contains(name, "PinSocket")))
        for (std::string_view word : Split(name, '_')) {
            const std::size_t x = word.find('x');
            if (x == std::string_view::npos)
                continue;
            const auto columns = ParseNumber(word.substr(0, x)), pins = ParseNumber(word.substr(x + 1));
            if (!columns || !pins || *columns < 1.0 || *pins < 1.0 || *columns > 1000.0 || *pins > 1000.0)
                continue;
            return Body{*columns * *pitch, *pins * *pitch, (*columns - 1.0) * *pitch / 2.0,
                        -(*pins - 1.0) * *pitch / 2.0};
        }
    const std::optional<double> length = Dimension(name, 'L'), width = Dimension(name, 'W'),
                                diameter = Dimension(name, 'D');
    const bool leaded = Contains(name, "Axial") || Contains(name, "Radial") || Contains(name, "Disc");
    if (!leaded)
        return std::nullopt;
    const double centre = Contains(name, "Vertical") ? 0.0 : pitch.value_or(0.0) / 2.0;
    if (length && (width || diameter))
        return Body{Contains(name, "Vertical") ? *(width ? width : diameter) : *length,
                    *(width ? width : diameter), centre, 0.0};
    if (diameter)
        return Body{*diameter, width.value_or(*diameter), centre, 0.0};
    return std::nullopt;
}

std::optional<Body> KnownOutline(std::string_view name) {
    for (std::string_view word : Split(name, '_'))
        for (const Outline& o : kOutlines)
            if (EqualsIgnoringCase(word, o.name) ||
                (StartsWithIgnoringCase(word, o.name) && word.size() > o.name.size() &&
                 word[o.name.size()] == '-'))
                return Body{o.x * kMm, o.y * kMm, 0.0, 0.0};
    return std::nullopt;
}

std::optional<Body> ChipCode(std::string_view name) {
    for (std::string_view piece : Split(name, '_'))
        for (std::string_view word : Split(piece, '-')) {
            while (!word.empty() && !IsDigit(word.front()))
                word.remove_prefix(1);
            for (const Chip& chip : kChips)
                if (word == chip.code)
                    return Body{chip.x * kMm, chip.y * kMm, 0.0, 0.0};
        }
    return std::nullopt;
}

double Normalised(double degrees) {
    double angle = std::fmod(degrees, 360.0);
    if (angle < 0.0)
        angle += 360.0;
    return angle < 360.0 ? angle : 0.0;
}

} // namespace

std::span<const PackageRule> BuiltInRules() {
    static const std::vector<PackageRule> kRules = MakeBuiltInRules();
    return kRules;
}

bool GlobMatch(std::string_view pattern, std::string_view text) {
    // Iterative, with one backtrack point: the last '*' and where its run ends.
    std::size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(text[t]))) {
            ++p;
            ++t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

const PackageRule* FindRule(const Footprint& fp, std::span<const PackageRule> user) {
    const std::string_view name = NameOf(fp.libId);
    const auto match = [&](const PackageRule& rule) {
        return GlobMatch(rule.pattern, fp.libId) ||
               (name.size() != fp.libId.size() && GlobMatch(rule.pattern, name));
    };
    for (std::span<const PackageRule> rules : {user, BuiltInRules()})
        for (const PackageRule& rule : rules)
            if (match(rule))
                return &rule;
    return nullptr;
}

std::optional<Body> BodyFromName(std::string_view name) {
    name = NameOf(name);
    for (auto from : {MetricCode, SizeInName, ThroughHole, KnownOutline, ChipCode})
        if (auto body = from(name); body && body->x > 0.0 && body->y > 0.0)
            return body;
    return std::nullopt;
}

std::optional<std::vector<PackageRule>> ReadRules(std::string_view csv, std::vector<RowError>& errors) {
    enum { Pattern, KindColumn, Constant, Length, Mass, ActionColumn, Why, kColumns };
    constexpr std::array<std::string_view, kColumns> kNames{"pattern", "kind",   "C",  "L",
                                                            "mass",    "action", "why"};
    constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);
    CsvReader reader(csv);
    Record record;
    if (!reader.Next(record)) {
        errors.push_back({1, "the rules file is empty"});
        return std::nullopt;
    }
    std::array<std::size_t, kColumns> index;
    index.fill(kAbsent);
    std::array<const Unit*, kColumns> units{};
    for (std::size_t i = 0; i < record.cells.size(); ++i) {
        std::string_view cell = Trim(record.cells[i]), unit;
        if (!cell.empty() && (cell.back() == ')' || cell.back() == ']')) {
            const std::size_t open = cell.find_last_of(cell.back() == ')' ? '(' : '[');
            if (open != std::string_view::npos) {
                unit = Trim(cell.substr(open + 1, cell.size() - open - 2));
                cell = Trim(cell.substr(0, open));
            }
        }
        for (std::size_t c = 0; c < kColumns; ++c) {
            if (!EqualsIgnoringCase(cell, kNames[c]) || index[c] != kAbsent)
                continue;
            index[c] = i;
            if (c == Length)
                units[c] = FindUnit(kLengthUnits, unit);
            else if (c == Mass)
                units[c] = FindUnit(kMassUnits, unit);
        }
    }
    if (index[Pattern] == kAbsent) {
        errors.push_back({record.line, "the rules file has no pattern column"});
        return std::nullopt;
    }
    std::vector<PackageRule> rules;
    while (reader.Next(record)) {
        const auto cell = [&](std::size_t c) {
            return index[c] < record.cells.size() ? Trim(record.cells[index[c]]) : std::string_view();
        };
        if (std::all_of(record.cells.begin(), record.cells.end(),
                        [](std::string_view c) { return Trim(c).empty(); }))
            continue;
        RowError error{record.line, {}, RowError::Kind::Value};
        PackageRule rule;
        rule.pattern = std::string(cell(Pattern));
        const std::string_view kind = cell(KindColumn), c = cell(Constant), length = cell(Length),
                               mass = cell(Mass), action = cell(ActionColumn);
        if (record.unterminated) {
            error.message = "a quoted cell runs to the end of the file";
        } else if (rule.pattern.empty()) {
            error.message = "no pattern";
        } else if (!action.empty() && !EqualsIgnoringCase(action, "part") &&
                   !EqualsIgnoringCase(action, "skip") && !EqualsIgnoringCase(action, "support")) {
            error.message = "action " + Quote(action) + " is not part, skip or support";
        } else if (!kind.empty() && (rule.kind = FindKind(kind)) < 0) {
            error.message = "unknown kind " + Quote(kind);
            error.kind = RowError::Kind::UnknownKind;
        } else if (!c.empty() && !((rule.C = ParseNumber(c)) && *rule.C > 0.0)) {
            error.message = "C " + Quote(c) + " is not a positive number";
        } else if (!length.empty() &&
                   !((rule.L = ParseQuantity(length, kLengthUnits, units[Length] ? units[Length] : &kInch)) &&
                     *rule.L > 0.0)) {
            error.message = "L " + Quote(length) + " is not a positive length (a number, in, mm, cm or mil)";
        } else if (!mass.empty() &&
                   !((rule.mass = ParseQuantity(mass, kMassUnits, units[Mass])) && *rule.mass >= 0.0)) {
            error.message = "mass " + Quote(mass) + " is not a mass with its unit (g, kg, lb or oz)";
        }
        if (error.message.empty()) {
            rule.action = EqualsIgnoringCase(action, "skip")      ? PackageRule::Action::Skip
                          : EqualsIgnoringCase(action, "support") ? PackageRule::Action::Support
                                                                  : PackageRule::Action::Part;
            if (rule.action == PackageRule::Action::Part && rule.kind < 0 && !rule.C)
                error.message = "no kind or C for a part";
        }
        if (!error.message.empty()) {
            errors.push_back(std::move(error));
            continue;
        }
        rule.why =
            cell(Why).empty() ? "rules file, line " + std::to_string(record.line) : std::string(cell(Why));
        rules.push_back(std::move(rule));
    }
    return rules;
}

Resolved Resolve(const Footprint& fp, std::span<const PackageRule> user, double boardA, double boardB) {
    Resolved out;
    out.part.ref = fp.ref;
    out.part.line = fp.line;
    out.part.x = fp.x;
    out.part.y = fp.y;
    const PackageRule* rule = FindRule(fp, user);
    if (rule != nullptr && rule->action == PackageRule::Action::Support) {
        out.what = Resolved::What::Support;
        out.reason = rule->why;
        return out;
    }
    const char* attribute = fp.dnp              ? "dnp"
                            : fp.boardOnly      ? "board only"
                            : fp.excludeFromBom ? "excluded from the BOM"
                                                : nullptr;
    if (attribute != nullptr || (rule != nullptr && rule->action == PackageRule::Action::Skip)) {
        out.what = Resolved::What::Skip;
        out.reason = attribute != nullptr ? attribute : rule->why;
        return out;
    }
    if (rule == nullptr) {
        out.reason = "no rule for footprint " + Quote(fp.libId) + " (add one)";
        return out;
    }

    std::optional<Body> body;
    if (fp.bodyX && fp.bodyY && *fp.bodyX > 0.0 && *fp.bodyY > 0.0)
        body = Body{*fp.bodyX, *fp.bodyY, fp.bodyCentreX, fp.bodyCentreY};
    else
        body = BodyFromName(fp.libId);
    const double longer = body ? std::max(body->x, body->y) : 0.0,
                 shorter = body ? std::min(body->x, body->y) : 0.0;
    const double L = rule->L ? *rule->L : longer;
    if (!(L > 0.0) || !std::isfinite(L)) {
        out.reason =
            "no body size for footprint " + Quote(fp.libId) + " in the file or its name (add a rule with L)";
        return out;
    }

    Part& part = out.part;
    part.L = L;
    part.kind = rule->C ? -1 : rule->kind;
    part.C = rule->C ? *rule->C : calc::ComponentTable[static_cast<std::size_t>(rule->kind)].c;
    part.weight = rule->mass;
    const double rotation = Normalised(fp.rotation) * kPi / 180.0;
    if (body) {
        // The body's centre, seen from the top: mirrored in x on the bottom side, then rotated.
        const double cx = fp.bottom ? -body->centreX : body->centreX, cy = body->centreY;
        part.x = fp.x + cx * std::cos(rotation) - cy * std::sin(rotation);
        part.y = fp.y + cx * std::sin(rotation) + cy * std::cos(rotation);
        // The longer side's direction, modulo 180°; mirroring keeps its edge.
        const double direction =
            std::fmod(Normalised(fp.rotation) + (body->x >= body->y ? 0.0 : 90.0), 180.0);
        part.across = shorter;
        part.direction = direction;
        const bool square = longer - shorter < 0.1 * longer;
        const bool diagonal = std::abs(std::fmod(direction, 90.0) - 45.0) < 10.0;
        if (!square && !diagonal)
            part.parallel = direction < 45.0 || direction > 135.0 ? Edge::A : Edge::B;
    }
    out.what = Resolved::What::Part;
    out.reason = rule->why;
    if (boardA > 0.0 && boardB > 0.0 &&
        !(part.x >= 0.0 && part.x <= boardA && part.y >= 0.0 && part.y <= boardB))
        out.reason += "; its centre is off the board";
    return out;
}

} // namespace board
