#include "driver/answers.h"

#include <limits>
#include <locale>
#include <sstream>
#include <string>

#include "model/number_text.h"

namespace quarvel {
namespace {

struct YesNoAnswer {
  bool ended = false;
  bool understood = false;
  bool yes = false;
  std::string word;
};

template <typename T>
struct NumberAnswer {
  bool ended = false;
  bool understood = false;  // a number, though perhaps too large for T
  bool fits = false;
  T value{};
  std::string word;
};

// A typed word as the error line repeats it: a very long one is cut.
std::string quoted(const std::string& word) {
  constexpr std::size_t kShown = 40;
  if (word.size() <= kShown) return "\"" + word + "\"";
  return "\"" + word.substr(0, kShown) + "...\"";
}

template <typename T>
NumberAnswer<T> readNumberAnswer(std::istream& in) {
  NumberAnswer<T> answer;
  if (!(in >> answer.word)) {
    answer.ended = true;
    return answer;
  }
  std::istringstream text(answer.word);
  text.imbue(std::locale::classic());
  T value{};
  text >> value;
  const bool failed = text.fail();
  text.clear();
  const bool whole = text.peek() == std::istringstream::traits_type::eof();
  if (!whole) return answer;
  if (!failed) {
    answer.understood = answer.fits = true;
    answer.value = value;
    return answer;
  }
  // The stream gives the largest value of the type, with its sign, for a
  // number too large for it, and 0 when the word is no number at all.
  answer.understood = value == std::numeric_limits<T>::max() || value == std::numeric_limits<T>::lowest();
  return answer;
}

YesNoAnswer readYesNo(std::istream& in) {
  YesNoAnswer answer;
  if (!(in >> answer.word)) {
    answer.ended = true;
    return answer;
  }
  answer.yes = answer.word == "o" || answer.word == "oui";
  answer.understood = answer.yes || answer.word == "n" || answer.word == "non";
  return answer;
}

std::string yesNoRefusalLine(const std::string& word) {
  return "Reponse " + quoted(word) + " refusee: tapez o, oui, n ou non";
}

// A decimal comma gets the word back with points, when that makes a number.
std::string notFloatLine(const std::string& word) {
  std::string line = quoted(word) + " n est pas un nombre";
  if (word.find(',') == std::string::npos) return line;
  line += ": le separateur decimal est le point";
  std::string withPoints = word;
  for (char& c : withPoints) {
    if (c == ',') c = '.';
  }
  std::istringstream again(withPoints);
  if (readNumberAnswer<float>(again).understood) line += " (" + withPoints + ")";
  return line;
}

std::string notIntLine(const std::string& word) { return quoted(word) + " n est pas un nombre entier"; }

std::string outOfRangeLine(const std::string& word, const std::string& low, const std::string& high) {
  return "Valeur " + quoted(word) + " hors de l intervalle [" + low + ", " + high + "]";
}

std::string numberText(float value) {
  std::string text;
  appendNumber(text, value);
  return text;
}
std::string numberText(int value) { return std::to_string(value); }

template <typename T>
Asked askNumber(std::istream& in, std::ostream& err, const std::function<void()>& ask, T low, T high,
                const std::function<void(T)>& store, std::string (*notANumber)(const std::string&)) {
  for (;;) {
    ask();
    const NumberAnswer<T> answer = readNumberAnswer<T>(in);
    if (answer.ended) return Asked::Ended;
    if (!answer.understood) {
      err << notANumber(answer.word) << std::endl;
      continue;
    }
    if (answer.fits) {
      store(answer.value);
      if (!(answer.value > high || answer.value < low)) return Asked::Answered;
    }
    err << outOfRangeLine(answer.word, numberText(low), numberText(high)) << std::endl;
  }
}

}  // namespace

Asked askYesNo(std::istream& in, std::ostream& err, const std::function<void()>& ask, bool& yes) {
  for (;;) {
    ask();
    const YesNoAnswer answer = readYesNo(in);
    if (answer.ended) return Asked::Ended;
    if (answer.understood) {
      yes = answer.yes;
      return Asked::Answered;
    }
    err << yesNoRefusalLine(answer.word) << std::endl;
  }
}

Asked askFloat(std::istream& in, std::ostream& err, const std::function<void()>& ask, float low, float high,
               const std::function<void(float)>& store) {
  return askNumber(in, err, ask, low, high, store, notFloatLine);
}

Asked askInt(std::istream& in, std::ostream& err, const std::function<void()>& ask, int low, int high,
             const std::function<void(int)>& store) {
  return askNumber(in, err, ask, low, high, store, notIntLine);
}

}  // namespace quarvel
