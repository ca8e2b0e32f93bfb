#include "exchange/ImportedWords.h"

#include <utility>

#include "base/AsciiText.h"

void ImportedWords::AddProblem(std::size_t line, std::string reason) {
    ++problemCount;
    if (problems.size() < kMaxProblems) {
        problems.push_back({line, std::move(reason)});
    }
}

std::size_t ImportedWords::ProblemsLeftOut() const {
    return problemCount > problems.size() ? problemCount - problems.size() : 0;
}

bool IsNoWord(std::string_view word) {
    return ascii::IsAllSpace(word);
}

std::string ProblemText(const ImportProblem& problem) {
    return "line " + std::to_string(problem.line) + ": " + problem.reason;
}

std::string PreviewField(std::string_view field) {
    if (field.size() <= kMaxPreviewFieldBytes) {
        return std::string(field);
    }
    std::size_t cut = kMaxPreviewFieldBytes;
    while (cut > 0 && (static_cast<unsigned char>(field[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(field.substr(0, cut)) + "...";
}
