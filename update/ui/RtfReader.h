#pragma once
// Reads the rich text (RTF) that an update server sends as what's new or licence text into a
// QTextDocument: paragraphs, bold, italic, underline, point sizes, colours, alignment and the
// document's characters; pictures, objects, headers and the other non-text parts are left out.
// The text comes from a server: any input ends in bounded time and memory, linear in its
// length, and what could be read is kept.

#include <string_view>

class QTextDocument;

namespace vyn {

// Replaces the contents of `document` with what can be read of `rtf`.
void ReadRtf(std::string_view rtf, QTextDocument& document);

}  // namespace vyn
