#include "review/ReviewText.h"

#include <cmath>

namespace review {

namespace {

std::string SpanText(TimeMs span) {
    if (span < kMinuteMs)
        return std::to_string(std::max<TimeMs>(0, (span + 500) / 1000)) + " s";
    return FormatInterval(span);
}

} // namespace

std::string SummaryText(const SessionSummary& summary, TimeMs now) {
    std::string text;
    if (summary.reviewed == 0) {
        text = "Nothing to review now.";
    } else {
        text = "Reviewed " + std::to_string(summary.reviewed) + ", recalled " +
               std::to_string(summary.recalled) + " (" +
               std::to_string(static_cast<int>(std::lround(summary.RecalledPercent()))) + "%) in " +
               SpanText(summary.spentMs) + ".";
    }
    if (summary.nextDue > 0)
        text += " The next word falls due in " + FormatInterval(summary.nextDue - now) + ".";
    return text;
}

std::string AnswerDiffText(const AnswerCheck& check) {
    if (check.exact)
        return "Exact.";
    std::string text;
    for (const AnswerSegment& segment : check.segments) {
        switch (segment.kind) {
        case AnswerSegment::Kind::Same:
            text += segment.text;
            break;
        case AnswerSegment::Kind::Missing:
            text += "[" + segment.text + "]";
            break;
        case AnswerSegment::Kind::Extra:
            text += "{" + segment.text + "}";
            break;
        }
    }
    return text;
}

std::string GradeName(memory::Grade grade, bool twoAnswers) {
    switch (grade) {
    case memory::Grade::Again:
        return twoAnswers ? "1 Forgot" : "1 Again";
    case memory::Grade::Hard:
        return twoAnswers ? "" : "2 Hard";
    case memory::Grade::Good:
        return twoAnswers ? "2 Knew" : "3 Good";
    case memory::Grade::Easy:
        return twoAnswers ? "" : "4 Easy";
    }
    return "";
}

} // namespace review
