// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// tarnvel-board: every part of a board against a random-vibration requirement.
#include "tarnvel-board/html.h"
#include "tarnvel-board/messages.h"
#include "tarnvel-board/options.h"
#include "tarnvel-board/output.h"
#include "tarnvel-board/provenance.h"
#include "tarnvel-board/report.h"
#include "tarnvel-board/svg.h"

#include "board/analysis.h"
#include "board/encoding.h"
#include "board/kicad.h"
#include "board/layout_parts.h"
#include "board/package_rules.h"
#include "board/parts.h"
#include "board/placement.h"
#include "board/psd.h"
#include "board/text.h"
#include "board/units.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr int kAllPass = 0;
constexpr int kSomeFail = 1;
constexpr int kError = 2;

int Fail(const std::string& message) {
    std::fprintf(stderr, "tarnvel-board: %s\n", message.c_str());
    return kError;
}

int Run(int argc, char** argv) {
    board_cli::UseBinaryStandardStreams();
    board_cli::CommandLine command = board_cli::ParseCommandLine(argc, argv);
    switch (command.status) {
    case board_cli::CommandLine::Status::Print:
        if (!command.text.ends_with('\n'))
            command.text.push_back('\n');
        return std::fwrite(command.text.data(), 1, command.text.size(), stdout) == command.text.size() &&
                       std::fflush(stdout) == 0
                   ? kAllPass
                   : kError;
    case board_cli::CommandLine::Status::Error:
        return Fail(command.text + " (see --help)");
    case board_cli::CommandLine::Status::Run:
        break;
    }
    board_cli::Options& options = command.options;
    std::string error;
    board_cli::Provenance from;
    from.version = board_cli::VersionText();
    const std::optional<std::time_t> now = board_cli::RunTime(std::getenv("SOURCE_DATE_EPOCH"));
    if (!now)
        return Fail("SOURCE_DATE_EPOCH is not a number of seconds");
    from.time = board_cli::IsoTime(*now);
    from.board = options.boardText;
    from.mass = options.massText;
    from.fn = options.fnText;
    from.psd = options.psdProfile;
    from.units = options.units;

    // The report may not replace a file it is computed from: checked before anything is read or written.
    const std::string profilePath = options.psdProfile.starts_with("@") ? options.psdProfile.substr(1) : "";
    // So may the page and the figures, and no two of the files written may be one.
    std::vector<std::pair<std::string, std::string>> written; // option, file
    if (options.output)
        written.emplace_back("--output", *options.output);
    if (options.report)
        written.emplace_back("--report", *options.report);
    for (const board_cli::Plot& plot : options.plots)
        written.emplace_back("--plot", plot.file);
    for (std::size_t w = 0; w < written.size(); ++w) {
        const auto& [option, file] = written[w];
        for (const std::string& input : {options.parts, profilePath, options.rules.value_or("")})
            if (!input.empty() && input != "-" && board_cli::SameFile(file, input))
                return Fail(option + ": " + board::OneLine(file) + " is " +
                            (input == options.parts ? "the parts list"
                             : input == profilePath ? "the profile"
                                                    : "the rules file") +
                            ", which the report would replace");
        for (std::size_t v = 0; v < w; ++v)
            if (file == written[v].second || board_cli::SameFile(file, written[v].second))
                return Fail(option + ": " + board::OneLine(file) + " is also the file of " +
                            written[v].first);
    }

    // The random input.
    board::PsdReading psd;
    if (!profilePath.empty()) {
        const auto text = board_cli::ReadWhole(profilePath, error);
        if (!text)
            return Fail("cannot read the profile " + board::OneLine(profilePath) + ": " + error);
        from.files.push_back({"profile", profilePath, text->size(), board_cli::Sha256Hex(*text)});
        const board::DecodedText decoded = board::DecodeText(*text);
        if (!decoded.text)
            return Fail(board::OneLine(profilePath) + ": " + decoded.error);
        psd = board::ParsePsdText(*decoded.text);
        if (!psd.psd)
            return Fail(board::OneLine(profilePath) + ": " + psd.error);
    } else {
        psd = board::ParsePsdBreakpoints(options.psdProfile);
        if (!psd.psd)
            return Fail("--psd: " + psd.error);
    }
    options.board.psd = std::move(*psd.psd);
    for (const board::NamedProfile& named : board::NamedProfiles())
        if (named.name == psd.name) {
            from.profileName = std::string(named.name);
            from.profileSource = std::string(named.source);
        }

    // The parts.
    // The list's name as messages write it, on one line whatever the file is called.
    const std::string name = options.parts == "-" ? "<stdin>" : board::OneLine(options.parts);
    from.parts = name;
    const auto bytes = board_cli::ReadWhole(options.parts, error);
    if (!bytes)
        return Fail("cannot read " + name + ": " + error);
    from.files.push_back({"parts", options.parts, bytes->size(), board_cli::Sha256Hex(*bytes)});
    // A spreadsheet's UTF-16 export is read as UTF-8, its byte-order mark kept as UTF-8's. Other text is
    // read as it is, without a copy.
    std::optional<std::string> decodedText;
    if (bytes->starts_with("\xFF\xFE") || bytes->starts_with("\xFE\xFF") ||
        bytes->find('\0') != std::string::npos) {
        board::DecodedText decoded = board::DecodeText(*bytes);
        if (!decoded.text)
            return Fail(name + ": " + decoded.error);
        decodedText = std::move(decoded.text);
    }
    const std::string* text = decodedText ? &*decodedText : &*bytes;
    std::string_view body(*text);
    if (body.starts_with("\xEF\xBB\xBF"))
        body.remove_prefix(3);
    if (body.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return Fail(name + " is empty");
    board::PartsOptions partsOptions;
    partsOptions.bareLength =
        options.units == board_cli::LengthUnit::Millimetre ? &board::kMillimetre : &board::kInch;

    // The package rules, the user's before the built-in ones.
    std::vector<board::PackageRule> rules;
    if (options.rules) {
        const std::string rulesName = board::OneLine(*options.rules);
        const auto rulesText = board_cli::ReadWhole(*options.rules, error);
        if (!rulesText)
            return Fail("cannot read the rules " + rulesName + ": " + error);
        from.files.push_back({"rules", *options.rules, rulesText->size(), board_cli::Sha256Hex(*rulesText)});
        std::vector<board::RowError> ruleErrors;
        auto read = board::ReadRules(*rulesText, ruleErrors);
        if (!read || !ruleErrors.empty()) {
            const board::RowError first = ruleErrors.empty() ? board::RowError{} : ruleErrors.front();
            return Fail(rulesName + (first.line > 0 ? ":" + std::to_string(first.line) : "") + ": " +
                        (first.message.empty() ? "not a rules file" : first.message));
        }
        rules = std::move(*read);
    }

    // What the parts are read from, told by content: a KiCad board file, a parts list, a placement file.
    std::optional<board::PartsReader> reader;
    std::optional<board::LayoutParts> layoutParts;
    std::vector<std::string> notes;
    const bool boardGiven = !options.boardText.empty();
    if (board::LooksLikeKicadBoard(*text)) {
        board::KicadReading kicad = board::ReadKicadBoard(*text);
        if (!kicad.layout)
            return Fail(name + ": " + kicad.error);
        notes = std::move(kicad.notes);
        const board::Layout& layout = *kicad.layout;
        from.source = "KiCad board";
        if (!boardGiven) {
            // The outline's extent is a × b; the plate model takes the outline itself where it is no
            // rectangle, or has cutouts.
            if (layout.outline.empty())
                return Fail(name + " has no outline on Edge.Cuts: give --board");
            if (!layout.thickness)
                return Fail(name + " gives no thickness: give --board");
            double a = 0.0, b = 0.0;
            for (const board::PlatePoint& p : layout.outline.front()) {
                a = std::max(a, p.x);
                b = std::max(b, p.y);
            }
            options.board.a = a;
            options.board.b = b;
            options.board.h = *layout.thickness;
            const double area = std::abs(board::SignedArea(layout.outline.front()));
            if (layout.outline.size() > 1 || std::abs(area - a * b) > 1e-6 * a * b) {
                const std::string letters = board::EdgeLetters(options.board.edges);
                if (options.supportsGiven && letters.find_first_not_of(letters.front()) != std::string::npos)
                    return Fail("--supports: " + name +
                                "'s outline is no rectangle: give one letter for its whole edge (SSSS, CCCC "
                                "or FFFF)");
                options.board.outline = layout.outline;
                options.board.outlineSupport = options.board.edges.y0;
                if (!options.supportsGiven)
                    options.board.outlineSupport = board::EdgeSupport::Free;
                notes.push_back(
                    "the outline is no rectangle: a and b are its extent, and the plate model takes "
                    "the outline itself");
            }
        }
        layoutParts.emplace(layout, rules, options.board.a, options.board.b);
    } else {
        std::string listError;
        reader = board::PartsReader::Open(*text, listError, partsOptions);
        if (!reader) {
            board::PlacementOptions placementOptions;
            placementOptions.originX = options.originX;
            placementOptions.originY = options.originY;
            placementOptions.columns = options.columns;
            board::PlacementReading placement = board::ReadPlacement(*text, placementOptions);
            if (!placement.error.empty())
                return Fail(name + ": " + listError + "; nor is it a placement file: " + placement.error);
            if (!boardGiven)
                return Fail("--board is required: a placement file has no outline");
            from.source = placement.format;
            board::Layout layout;
            layout.footprints = std::move(placement.footprints);
            layoutParts.emplace(layout, rules, options.board.a, options.board.b, std::move(placement.errors));
        } else if (!boardGiven) {
            return Fail("--board is required");
        }
    }
    if (layoutParts) {
        // Mounting holes hold the board, its edges free, unless the command line says how it is held.
        if (!options.supportsGiven && options.board.points.empty() && !layoutParts->supports().empty()) {
            options.board.edges = {board::EdgeSupport::Free, board::EdgeSupport::Free,
                                   board::EdgeSupport::Free, board::EdgeSupport::Free};
            options.board.outlineSupport = board::EdgeSupport::Free;
            options.board.points = layoutParts->supports();
        }
        options.board.masses = layoutParts->masses();
        from.skipped = layoutParts->skipped();
    }
    // The parts' own masses shape the board's mode: read first, where the list has them.
    if (reader && reader->hasMass()) {
        std::optional<board::PartsReader> masses = board::PartsReader::Open(*text, error, partsOptions);
        board::Part heavy;
        board::RowError ignored;
        for (board::PartsReader::Row r; (r = masses->Next(heavy, ignored)) != board::PartsReader::Row::End;)
            if (r == board::PartsReader::Row::Part && heavy.weight && !heavy.r)
                options.board.masses.push_back({heavy.x, heavy.y, *heavy.weight, heavy.L});
    }
    from.board = options.boardText;
    board::BoardProblem problem;
    const std::optional<board::BoardEvaluator> evaluator =
        board::BoardEvaluator::Make(options.board, problem);
    if (!evaluator)
        return Fail(board_cli::Describe(problem));
    // The first row before any output: a list with nothing after its header is refused.
    const board_cli::NextRow next = [&](board::Part& p, board::RowError& e) {
        return reader ? reader->Next(p, e) : layoutParts->Next(p, e);
    };
    board::Part part;
    board::RowError rowError;
    board::PartsReader::Row row = next(part, rowError);
    if (row == board::PartsReader::Row::End)
        return Fail(name + (reader ? ": no parts after the header" : ": no parts to evaluate"));

    board_cli::Output output;
    if (!output.Open(options.output, error))
        return Fail("cannot write " + board::OneLine(*options.output) + ": " + error);
    // The page and the figures, each whole or not at all, opened before anything is written.
    board_cli::Output page;
    if (options.report && !page.Open(options.report, error))
        return Fail("cannot write " + board::OneLine(*options.report) + ": " + error);
    std::vector<std::unique_ptr<board_cli::Output>> plots;
    for (const board_cli::Plot& plot : options.plots) {
        plots.push_back(std::make_unique<board_cli::Output>());
        if (!plots.back()->Open(plot.file, error))
            return Fail("cannot write " + board::OneLine(plot.file) + ": " + error);
    }
    // Refusals are one line each; what is said of the input comes once the report is sure to be written.
    for (const std::string& note : notes)
        std::fprintf(stderr, "tarnvel-board: %s: %s\n", name.c_str(), board::OneLine(note).c_str());
    if (layoutParts && !layoutParts->skipped().empty()) {
        std::string list;
        for (const board::SkippedFootprint& f : layoutParts->skipped())
            list += (list.empty() ? "" : ", ") + f.ref + " (" + f.reason + ")";
        std::fprintf(stderr, "tarnvel-board: %s: not evaluated: %s\n", name.c_str(),
                     board::OneLine(list).c_str());
    }
    const std::vector<std::string> ignored = reader ? reader->ignored() : std::vector<std::string>{};
    if (!ignored.empty()) {
        std::string columns;
        for (const std::string& c : ignored)
            columns += (columns.empty() ? "" : ", ") + c;
        std::fprintf(stderr, "tarnvel-board: %s: ignoring column%s %s\n", name.c_str(),
                     ignored.size() == 1 ? "" : "s", columns.c_str());
    }

    // Each row is evaluated as it is read, handed to the report's writer and a bad row said as it comes, so
    // in line order: no format holds the parts.
    const board::Report head = evaluator->Start();
    const std::unique_ptr<board_cli::ReportWriter> format =
        board_cli::MakeWriter(options.format, from, reader ? reader->dialect() : board::Dialect{},
                              [&output](std::string_view piece) { return output.Write(piece); });
    // The page and the figures need every part: kept as they pass.
    board::Report kept;
    std::optional<board_cli::KeepingWriter> keeping;
    if (options.report || !options.plots.empty())
        keeping.emplace(*format, kept);
    board_cli::ReportWriter* writer = keeping ? &*keeping : format.get();
    board_cli::RowsWritten rows{};
    rows.written = writer->Start(head);
    if (rows.written)
        rows = board_cli::WriteRows(next, row, part, rowError, *evaluator, head, *writer,
                                    [&name](const board::RowError& bad) {
                                        std::fprintf(stderr, "%s:%zu: %s\n", name.c_str(), bad.line,
                                                     board_cli::Describe(bad).c_str());
                                    });
    // The page and the figures are written before any file is put in place, so that a failure leaves
    // every file as it was.
    const auto cannot = [&error](const std::string& where) {
        return Fail("cannot write " + where + ": " + (error.empty() ? std::string("write error") : error));
    };
    const std::string outputName =
        options.output ? board::OneLine(*options.output) : std::string("to standard output");
    if (!rows.written) {
        output.Commit(error); // for the reason; a failed output is not put in place
        return cannot(outputName);
    }
    if (options.report && !page.Write(board_cli::HtmlReport(kept, keeping->ending(), from)))
        return cannot(board::OneLine(*options.report));
    for (std::size_t i = 0; i < plots.size(); ++i) {
        const board_cli::Plot& plot = options.plots[i];
        if (!plots[i]->Write(board_cli::SvgText(
                board_cli::PlotFigure(plot.kind, kept, keeping->ending(), options.units), true)))
            return cannot(board::OneLine(plot.file));
    }
    if (!output.Commit(error))
        return cannot(outputName);
    if (options.report && !page.Commit(error))
        return cannot(board::OneLine(*options.report));
    for (std::size_t i = 0; i < plots.size(); ++i)
        if (!plots[i]->Commit(error))
            return cannot(board::OneLine(options.plots[i].file));
    if (rows.errors > 0)
        return kError;
    return rows.allPass ? kAllPass : kSomeFail;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        return Fail("out of memory");
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}
