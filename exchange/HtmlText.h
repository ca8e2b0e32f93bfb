// Turns the HTML of a flashcard field into plain text.
#pragma once

#include <string>
#include <string_view>

// Appends the plain text of `html` to `out`: tags dropped, "<br>" a blank, entities decoded,
// sound references like "[sound:x.mp3]" dropped, blanks at both ends trimmed. Linear in the
// length of `html`, whatever it holds.
void AppendHtmlText(std::string_view html, std::string& out);

std::string HtmlToText(std::string_view html);
