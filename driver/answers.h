#pragma once

#include <istream>
#include <string>

namespace quarvel {

// Every answer of the dialogue is one word: a run of characters without white
// space, leading white space skipped. Reading only fails at the end of input.

// A yes/no answer: o or oui (yes), n or non (no).
struct YesNoAnswer {
  bool ended = false;
  bool understood = false;
  bool yes = false;
  std::string word;
};
YesNoAnswer readYesNo(std::istream& in);

// A number answer: the whole word must be a number in a form that the C++
// stream reads for the type (no fraction or exponent for an int). A number
// too large for the type is understood but does not fit; nothing can be
// stored for it.
template <typename T>
struct NumberAnswer {
  bool ended = false;
  bool understood = false;
  bool fits = false;
  T value{};
  std::string word;
};
NumberAnswer<float> readFloatAnswer(std::istream& in);
NumberAnswer<int> readIntAnswer(std::istream& in);

// The lines on the error stream for a refused answer (no line end).
std::string yesNoRefusalLine(const std::string& word);
std::string notFloatLine(const std::string& word);
std::string notIntLine(const std::string& word);
std::string outOfRangeLine(const std::string& word, const std::string& low, const std::string& high);

}  // namespace quarvel
