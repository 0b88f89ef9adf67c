// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "calc/evaluation.h"

#include "calc/displacement.h"
#include "calc/texts.h"

#include <cmath>

namespace calc {

bool NeedsRangeWarning(double C) {
    return !(C >= 0.75) || C > 2.25;
}

bool NeedsThicknessWarning(double h) {
    return h > 0.5;
}

bool AllPositive(double L, double C, double B, double h, double r) {
    return L > 0.0 && C > 0.0 && B > 0.0 && h > 0.0 && r > 0.0;
}

const char* MessageText(Message message) {
    switch (message) {
    case Message::RangeWarning:
        return kRangeWarning;
    case Message::ThicknessWarning:
        return kThicknessWarning;
    case Message::InputError:
        return kInputError;
    }
    return kInputError;
}

Evaluation Evaluate(const Readings& in, bool checkRange) {
    Evaluation out;
    auto add = [&out](Message m) { out.messageSlots[out.messageCount++] = m; };

    if (checkRange && NeedsRangeWarning(in.C))
        add(Message::RangeWarning);
    if (NeedsThicknessWarning(in.h))
        add(Message::ThicknessWarning);

    if (AllPositive(in.L, in.C, in.B, in.h, in.r)) {
        const double z = RelativeDisplacementLimit(in.B, in.h, in.L, in.C, in.r);
        if (std::isfinite(z) && z > 0.0) {
            out.succeeded = true;
            out.z = z;
            out.resultText = ResultText(z);
            return out;
        }
    }
    add(Message::InputError);
    return out;
}

} // namespace calc
