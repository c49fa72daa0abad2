// Text put into the HTML files the desk writes (the program, the points and
// ranking lists, the live results pages).
#pragma once

#include <string>
#include <string_view>

namespace meet {

// The text with &, <, >, " and ' written as character references. Works on
// UTF-8 and on CP932 alike: none of the five is ever a byte of a two-byte
// character.
std::string HtmlEscaped(std::string_view text);

}  // namespace meet
