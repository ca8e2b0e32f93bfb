// Compares a typed answer with the expected one: what matched, what is missing, what is extra,
// and the grade the difference suggests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "review/MemoryModel.h"

namespace review {

struct AnswerSegment {
    enum class Kind { Same, Missing, Extra }; // Missing: expected, not typed; Extra: typed only
    Kind kind = Kind::Same;
    std::string text;
};

struct AnswerCheck {
    std::vector<AnswerSegment> segments; // in reading order, merged by kind
    bool exact = false;                  // equal apart from ASCII case and surrounding blanks
    memory::Grade suggested = memory::Grade::Again; // a suggestion; the learner decides
};

// Both texts are compared by UTF-8 characters, ASCII letters without case. Over 400 characters
// the difference is not worked out: the whole typed text is extra and the expected missing.
AnswerCheck CheckAnswer(std::string_view typed, std::string_view expected);

} // namespace review
