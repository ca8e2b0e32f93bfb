// The parameters in use, kept in env.ini's [Review] section as "Parameters=w0, w1, ..., w20".
#pragma once

#include <string>

#include "review/MemoryModel.h"
#include "settings/IniFile.h"

namespace review {

// The kept parameters; the defaults when none are kept or the text is not 21 numbers within
// the model's bounds (a hand-edited file must not break the schedule).
memory::Parameters<double> ReadReviewParameters(const IniFile& ini);

// Writes the parameters; false, with `message` for the learner, when the file could not be
// written (it is then unchanged).
bool WriteReviewParameters(IniFile& ini, const memory::Parameters<double>& w, std::string& message);

} // namespace review
