// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// tarnvel-board: every part of a board against a random-vibration requirement.
#include "tarnvel-board/options.h"
#include "tarnvel-board/output.h"
#include "tarnvel-board/report.h"

#include "board/analysis.h"
#include "board/parts.h"
#include "board/psd.h"
#include "board/text.h"

#include <cstdio>
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

    // The random input.
    board::PsdReading psd;
    if (options.psdProfile.starts_with("@")) {
        const std::string path = options.psdProfile.substr(1);
        const auto text = board_cli::ReadWhole(path, error);
        if (!text)
            return Fail("cannot read the profile " + board::OneLine(path) + ": " + error);
        psd = board::ParsePsdText(*text);
        if (!psd.psd)
            return Fail(board::OneLine(path) + ": " + psd.error);
    } else {
        psd = board::ParsePsdBreakpoints(options.psdProfile);
        if (!psd.psd)
            return Fail("--psd: " + psd.error);
    }
    options.board.psd = std::move(*psd.psd);

    // The parts.
    // The list's name as messages write it, on one line whatever the file is called.
    const std::string name = options.parts == "-" ? "<stdin>" : board::OneLine(options.parts);
    const auto text = board_cli::ReadWhole(options.parts, error);
    if (!text)
        return Fail("cannot read " + name + ": " + error);
    std::string_view body(*text);
    if (body.starts_with("\xEF\xBB\xBF"))
        body.remove_prefix(3);
    if (body.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return Fail(name + " is empty");
    std::optional<board::PartsReader> reader = board::PartsReader::Open(*text, error);
    if (!reader)
        return Fail(name + ": " + error);
    const std::optional<board::BoardEvaluator> evaluator = board::BoardEvaluator::Make(options.board, error);
    if (!evaluator)
        return Fail(error);
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
    board_cli::Provenance from;
    from.parts = name;
    from.psd = options.psdProfile;
    from.mass = options.massText;
    const board::Report head = evaluator->Start();
    const std::unique_ptr<board_cli::ReportWriter> writer =
        board_cli::MakeWriter(options.format, from, reader->dialect(),
                              [&output](std::string_view piece) { return output.Write(piece); });
    board_cli::RowsWritten rows{};
    rows.written = writer->Start(head);
    if (rows.written)
        rows = board_cli::WriteRows(
            *reader, row, part, rowError, *evaluator, head, *writer, [&name](const board::RowError& bad) {
                std::fprintf(stderr, "%s:%zu: %s\n", name.c_str(), bad.line, bad.message.c_str());
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
