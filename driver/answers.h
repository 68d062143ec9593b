#pragma once

#include <functional>
#include <istream>
#include <ostream>

namespace quarvel {

// The questions of the dialogue. Every answer is one word: a run of characters
// without white space, leading white space skipped. Reading only fails at the
// end of input.

// Whether a question got its answer or met the end of input.
enum class Asked { Answered, Ended };

// Asks (ask writes the question) until the answer is o or oui (yes), n or non
// (no); each other word writes its refusal line on err.
Asked askYesNo(std::istream& in, std::ostream& err, const std::function<void()>& ask, bool& yes);

// Asks until a number from low to high is typed: the whole word must be a
// number in a form that the C++ stream reads for the type (no fraction or
// exponent for an int). Every number that fits its type is stored as soon as
// it is read, in range or not; a word that is not a number, or a number too
// large for its type, stores nothing. Each refused word writes its line on err.
Asked askFloat(std::istream& in, std::ostream& err, const std::function<void()>& ask, float low, float high,
               const std::function<void(float)>& store);
Asked askInt(std::istream& in, std::ostream& err, const std::function<void()>& ask, int low, int high,
             const std::function<void(int)>& store);

}  // namespace quarvel
