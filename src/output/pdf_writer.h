// A PDF document of drawing pages: each page is a list of shapes in points
// (1/72 inch, y downwards as in the drawing), written as vector graphics with
// the standard fonts Helvetica and Helvetica-Bold (texts in the Windows code
// page: German letters, °, ², ³), each page's drawing compressed.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "output/profile_drawing.h"

namespace rivola::output {

// Writes `pages` (width and height of each in points) as one PDF document
// with `title` in its properties; false when the stream failed.
bool write_pdf(const std::vector<const ProfileDrawing*>& pages, const std::string& title, std::ostream& out);

// The width of a text in Helvetica of size 1 (bold a little wider), for
// placing texts that are centred or end at their anchor.
double helvetica_width(const std::string& utf8, bool bold);

// UTF-8 text in the Windows code page 1252 (a letter it lacks becomes "?").
std::string to_cp1252(const std::string& utf8);

}  // namespace rivola::output
