#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace quarvel {

// The tool as started from the shell, its arguments without the program name:
// none runs the dialogue on in, out and err; "--help" writes the usage and
// "--version" the version on out; anything else writes the usage on err and
// runs nothing. Answers the exit status.
int runTool(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
            std::ostream& err);

// Makes a write that fails answer an error rather than end the process with a
// signal (standard output on a closed pipe, a file beyond the size limit), so
// that the failure is told and no temporary file is left behind.
void ignoreWriteSignals();

// The short usage: the questions of the dialogue, the outputs, the exit statuses.
const char* usageText();

}  // namespace quarvel
