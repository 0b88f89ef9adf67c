// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// libFuzzer target: one whole Calculate. The input is five lines: a header "<mode><row>" (mode '0' = C typed
// by hand, any other byte = C from the component list; row = byte - '0', so '/' is no selection), then the
// L, C, B and h field texts. Evaluate must agree with an independent reference of the rule.
#include "calc/displacement.h"
#include "calc/evaluation.h"
#include "calc/tables.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

using calc::Message;

void Require(bool ok, const char* what, std::string_view input) {
    if (ok)
        return;
    std::fprintf(stderr, "MISMATCH %s, input %zu bytes: \"%.*s\"\n", what, input.size(),
                 static_cast<int>(std::min<std::size_t>(input.size(), 200)), input.data());
    std::abort();
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string ResultTextInCLocale(double z) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = uselocale(c);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%11.3g ", z);
    uselocale(previous);
    return buf;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view lines[5]; // header, L, C, B, h; missing lines are empty
    std::string_view rest = input;
    for (std::string_view& line : lines) {
        const std::size_t end = rest.find('\n');
        line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    const bool manual = lines[0].empty() || lines[0][0] == '0';
    const int row = lines[0].size() > 1 ? static_cast<unsigned char>(lines[0][1]) - '0' : -1;

    calc::Readings in;
    in.L = calc::FieldValue(lines[1]);
    in.C = calc::FieldValue(lines[2]);
    in.B = calc::FieldValue(lines[3]);
    in.h = calc::FieldValue(lines[4]);
    const calc::PositionRow* position = calc::PositionAt(row);
    in.r = position != nullptr ? position->r : 0.0;
    const calc::Evaluation got = calc::Evaluate(in, manual);

    // The reference, written out from the rule.
    const double kFactors[] = {1.0, 0.707, 0.5};
    const double r = row >= 0 && row < 3 ? kFactors[row] : 0.0;
    Require(SameBits(in.r, r), "position factor", input);
    const double L = in.L, C = in.C, B = in.B, h = in.h;
    std::vector<Message> messages;
    if (manual && (!(C >= 0.75) || C > 2.25))
        messages.push_back(Message::RangeWarning);
    if (h > 0.5)
        messages.push_back(Message::ThicknessWarning);
    const double z = (B * 0.00022) / (((std::sqrt(L) * C) * r) * h);
    const bool ok = L > 0 && C > 0 && B > 0 && h > 0 && r > 0 && std::isfinite(z) && z > 0;
    if (!ok)
        messages.push_back(Message::InputError);

    const auto gotMessages = got.Messages();
    Require(std::equal(gotMessages.begin(), gotMessages.end(), messages.begin(), messages.end()), "messages",
            input);
    Require(got.succeeded == ok, "succeeded", input);
    if (ok) {
        Require(SameBits(got.z, z), "z", input);
        Require(got.resultText == ResultTextInCLocale(z), "resultText", input);
    } else {
        Require(got.resultText.empty(), "resultText not empty", input);
    }
    return 0;
}
