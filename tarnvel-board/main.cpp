// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// tarnvel-board: every part of a board against a random-vibration specification.
#include "tarnvel-board/options.h"
#include "tarnvel-board/output.h"
#include "tarnvel-board/report.h"

#include "board/analysis.h"
#include "board/parts.h"
#include "board/psd.h"

#include <cstdio>
#include <string>
#include <string_view>

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
    if (options.psdSpec.starts_with("@")) {
        const std::string path = options.psdSpec.substr(1);
        const auto text = board_cli::ReadWhole(path, error);
        if (!text)
            return Fail("cannot read the profile " + path + ": " + error);
        psd = board::ParsePsdText(*text);
        if (!psd.psd)
            return Fail(path + ": " + psd.error);
    } else {
        psd = board::ParsePsdSpec(options.psdSpec);
        if (!psd.psd)
            return Fail("--psd: " + psd.error);
    }
    options.board.psd = std::move(*psd.psd);

    // The parts.
    const std::string name = options.parts == "-" ? "<stdin>" : options.parts;
    const auto text = board_cli::ReadWhole(options.parts, error);
    if (!text)
        return Fail("cannot read " + name + ": " + error);
    std::string_view body(*text);
    if (body.starts_with("\xEF\xBB\xBF"))
        body.remove_prefix(3);
    if (body.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return Fail(name + " is empty");
    board::PartsReading parts = board::ReadPartsList(*text);
    if (!parts.list)
        return Fail(name + ": " + parts.error);
    if (parts.list->parts.empty() && parts.list->errors.empty())
        return Fail(name + ": no parts after the header");
    const board::Dialect dialect = parts.list->dialect;
    if (!parts.list->ignored.empty()) {
        std::string columns;
        for (const std::string& c : parts.list->ignored)
            columns += (columns.empty() ? "" : ", ") + c;
        std::fprintf(stderr, "tarnvel-board: %s: ignoring column%s %s\n", name.c_str(),
                     parts.list->ignored.size() == 1 ? "" : "s", columns.c_str());
    }

    board::Analysis analysis = board::Analyse(options.board, std::move(*parts.list));
    if (!analysis.report)
        return Fail(analysis.error);
    const board::Report& report = *analysis.report;
    for (const board::RowError& e : report.errors)
        std::fprintf(stderr, "%s:%zu: %s\n", name.c_str(), e.line, e.message.c_str());

    board_cli::Output output;
    if (!output.Open(options.output, error))
        return Fail("cannot write " + *options.output + ": " + error);
    bool written = false;
    switch (options.format) {
    case board_cli::Format::Table:
        written = output.Write(board_cli::TableText(report, {name, options.psdSpec, options.massText}));
        break;
    case board_cli::Format::Csv:
        written = board_cli::WriteCsv(report, dialect,
                                      [&output](std::string_view piece) { return output.Write(piece); });
        break;
    case board_cli::Format::Json:
        written = output.Write(board_cli::JsonText(report));
        break;
    }
    if (!output.Commit(error) || !written)
        return Fail("cannot write " + (options.output ? *options.output : std::string("to standard output")) +
                    ": " + (error.empty() ? std::string("write error") : error));
    if (!report.errors.empty())
        return kError;
    return report.AllPass() ? kAllPass : kSomeFail;
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
