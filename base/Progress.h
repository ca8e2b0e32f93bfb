// Told how far a long piece of work has come, so that whoever waits for it can say so.
#pragma once

#include <string_view>

class Progress {
public:
    // The figure of work done whole.
    static constexpr int kWhole = 1000;

    virtual ~Progress() = default;
    // `step` says what is under way, as the learner reads it ("Saving WL.txt: merging the
    // changed file"); `permille` how much of the whole work is done, never less than in the
    // report before. The last report of a piece of work gives kWhole, however it ended.
    virtual void Report(std::string_view step, int permille) = 0;
};
