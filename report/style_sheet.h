#pragma once

#include <ostream>

namespace quarvel {

// Writes the report's style sheet: each rule's selector and " {" on one line,
// one tab-indented declaration a line, then "}".
void writeStyleSheet(std::ostream& out);

}  // namespace quarvel
