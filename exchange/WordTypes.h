// The word types a list writes beside its words ("n.", "vt.", "adj./adv.", "名词").
#pragma once

#include <string_view>

// True for a word type such as "n.", "vt.", "adj./adv." or "noun": every part between '/',
// ',', ';', '&' and blanks is a known type, with or without a closing dot.
bool LooksLikeWordType(std::string_view text);
