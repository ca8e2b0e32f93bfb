// The review window's texts that carry numbers: the end-of-review summary and a typed answer's
// difference, made here so that they are tested without a window.
#pragma once

#include <string>

#include "review/AnswerCheck.h"
#include "review/ReviewSession.h"

namespace review {

// "Reviewed 5, recalled 4 (80%) in 3 min. The next word falls due in 10 min." Time under a
// minute reads in seconds; without a review the first sentence is "Nothing to review now."
std::string SummaryText(const SessionSummary& summary, TimeMs now);

// The typed answer with what is missing in [ ] and what is extra in { }: "ap[p]le{s}";
// "Exact." when it matches.
std::string AnswerDiffText(const AnswerCheck& check);

// "1 Again", "2 Hard"...; with two answers "1 Forgot" and "2 Knew" on the Again and Good
// buttons. Empty for a grade the two-answer mode has no button for.
std::string GradeName(memory::Grade grade, bool twoAnswers);

} // namespace review
