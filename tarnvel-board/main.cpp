// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// tarnvel-board: every part of a board against a random-vibration requirement.
#include "tarnvel-board/messages.h"
#include "tarnvel-board/options.h"
#include "tarnvel-board/output.h"
#include "tarnvel-board/provenance.h"
#include "tarnvel-board/report.h"

#include "board/analysis.h"
#include "board/encoding.h"
#include "board/parts.h"
#include "board/psd.h"
#include "board/text.h"
#include "board/units.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
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
    if (options.output) {
        for (const std::string& input : {options.parts, profilePath})
            if (!input.empty() && input != "-" && board_cli::SameFile(*options.output, input))
                return Fail("--output: " + board::OneLine(*options.output) + " is " +
                            (input == options.parts ? "the parts list" : "the profile") +
                            ", which the report would replace");
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
    std::optional<board::PartsReader> reader = board::PartsReader::Open(*text, error, partsOptions);
    if (!reader)
        return Fail(name + ": " + error);
    // The parts' own masses shape the board's mode: read first, where the list has them.
    if (reader->hasMass()) {
        std::optional<board::PartsReader> masses = board::PartsReader::Open(*text, error, partsOptions);
        board::Part heavy;
        board::RowError ignored;
        for (board::PartsReader::Row r; (r = masses->Next(heavy, ignored)) != board::PartsReader::Row::End;)
            if (r == board::PartsReader::Row::Part && heavy.weight && !heavy.r)
                options.board.masses.push_back({heavy.x, heavy.y, *heavy.weight, heavy.L});
    }
    board::BoardProblem problem;
    const std::optional<board::BoardEvaluator> evaluator =
        board::BoardEvaluator::Make(options.board, problem);
    if (!evaluator)
        return Fail(board_cli::Describe(problem));
    // The first row before any output: a list with nothing after its header is refused.
    board::Part part;
    board::RowError rowError;
    board::PartsReader::Row row = reader->Next(part, rowError);
    if (row == board::PartsReader::Row::End)
        return Fail(name + ": no parts after the header");

    board_cli::Output output;
    if (!output.Open(options.output, error))
        return Fail("cannot write " + board::OneLine(*options.output) + ": " + error);
    // Refusals are one line each; what is said of the input comes once the report is sure to be written.
    const std::vector<std::string>& ignored = reader->ignored();
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
    const std::unique_ptr<board_cli::ReportWriter> writer =
        board_cli::MakeWriter(options.format, from, reader->dialect(),
                              [&output](std::string_view piece) { return output.Write(piece); });
    board_cli::RowsWritten rows{};
    rows.written = writer->Start(head);
    if (rows.written)
        rows = board_cli::WriteRows(*reader, row, part, rowError, *evaluator, head, *writer,
                                    [&name](const board::RowError& bad) {
                                        std::fprintf(stderr, "%s:%zu: %s\n", name.c_str(), bad.line,
                                                     board_cli::Describe(bad).c_str());
                                    });
    const bool written = rows.written;
    if (!output.Commit(error) || !written)
        return Fail("cannot write " +
                    (options.output ? board::OneLine(*options.output) : std::string("to standard output")) +
                    ": " + (error.empty() ? std::string("write error") : error));
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
