#pragma once

#include "core/Hp48Codec.h"

#include <QValidator>

// The search texts of the find dialog and the scanner hold at most 35 calculator codes.
// Typing or pasting beyond that is refused whole; x with its bar counts once, a character
// without code counts as one.
class SearchTextValidator : public QValidator {
  public:
    static constexpr int kMaxCodes = 35;
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return hp48::encodedLength(input) <= kMaxCodes ? Acceptable : Invalid;
    }
};
