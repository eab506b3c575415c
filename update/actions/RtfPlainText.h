#pragma once
// The visible text of rich text (RTF) as plain UTF-8, for a terminal or a log: paragraphs and
// line breaks end lines, tabs stay, formatting, pictures, objects, headers and the other
// non-text parts are left out. The same rules as the Qt reader's choose what is text and its
// code page. The text comes from a server: any input ends in bounded time and memory, linear
// in its length, and what could be read is kept.

#include <string>
#include <string_view>

namespace vyn {

// Control characters other than tab and line feed are dropped, so the text cannot steer the
// terminal it is printed on.
std::string RtfToPlainText(std::string_view rtf);

}  // namespace vyn
