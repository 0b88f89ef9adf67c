// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes as tarnvel-board's arguments, split at NUL bytes. Reading them never throws;
// it ends in a run, something to print or an error of one line; a run with --board has a board of positive
// size, a given Q of 1 or more, a floor of r between 0 and 1 and a required life above 0.
#include "require.h"

#include "tarnvel-board/options.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args{"tarnvel-board"};
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    args.push_back(current);
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());

    const board_cli::CommandLine command =
        board_cli::ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    using Status = board_cli::CommandLine::Status;
    switch (command.status) {
    case Status::Run: {
        const board::BoardInput& b = command.options.board;
        // Without --board the size comes from a KiCad board file, or the program asks for it.
        Require(command.options.boardText.empty() || (b.a > 0.0 && b.b > 0.0 && b.h > 0.0),
                "a board of positive size");
        Require(b.q.rule != board::Transmissibility::Rule::Fixed || b.q.fixed >= 1.0,
                "a given Q of 1 or more");
        Require(b.rMin >= 0.0 && b.rMin <= 1.0, "a floor of r between 0 and 1");
        Require(b.density > 0.0, "a density above 0");
        for (const board::PlatePoint& point : b.points)
            Require(std::isfinite(point.x) && std::isfinite(point.y), "a point support's place is finite");
        Require(!b.requiredHours || *b.requiredHours > 0.0, "a required life above 0");
        break;
    }
    case Status::Print:
        Require(!command.text.empty(), "something to print");
        break;
    case Status::Error:
        Require(!command.text.empty() && command.text.find('\n') == std::string::npos,
                "an error in one line");
        break;
    }
    return 0;
}
