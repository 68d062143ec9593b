#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "driver/command_line.h"
#include "driver/dialogue.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace quarvel {
namespace {

const std::string kImagePrompt = "Tapez le nom de l image\n";
const std::string kDescriptorPrompt = "Tapez le nom du fichier de descripteurs de l image\n";
const std::string kOpened =
    kImagePrompt + "Ouverture Image OK\n" + kDescriptorPrompt + "Ouverture Descripteurs OK\n";
const std::string kQuestion = "Voulez vous la modifier? [o ou n]\n";
const std::string kEpsilonPrompt = "Tapez la valeur desiree pour epsilon [ 0<=epsilon<=1 ]\n";
const std::string kNbPixMinPrompt = "Tapez la valeur desiree pour NbPixMin\n";

std::string epsilonQuestion(const std::string& value) {
  return "La valeur par default de epsilon est de " + value + "\n" + kQuestion;
}
std::string nbPixMinQuestion(const std::string& value) {
  return "La valeur par default du nombre de pixels minimum est de " + value + "\n" + kQuestion;
}

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// A 4 x 3 checkerboard of tones 1 and 2 (twelve one-pixel regions) and its
// descriptor file, in a temporary working folder.
class Dialogue : public testing::Test {
 protected:
  Dialogue() : working_(folder_.path()) {
    test::writeClassImage("img.bmp", {{1, 2, 1, 2}, {2, 1, 2, 1}, {1, 2, 1, 2}});
    test::writeTextFile("d.txt", "2 0.1 0.2\n");
  }
  Outcome run(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = runDialogue(segmenter_, in, out, err);
    return {status, out.str(), err.str()};
  }

  test::TempFolder folder_;
  test::WorkingFolder working_;
  Segmenter segmenter_;
};

struct ParameterCase {
  const char* answers;  // typed after the two file names
  std::string expectedOut;
  float epsilon;
  int nbPixMin;
  std::string expectedErr = "";  // the refusals, before the end-of-input line
};

const std::string kEnded = "Fin des donnees d entree avant la fin du dialogue: arret.\n";

class DialogueParameters : public Dialogue, public testing::WithParamInterface<ParameterCase> {};

// The input ends once the parameters are given, so the run stops at the
// region count with status 1 after labelling.
TEST_P(DialogueParameters, AsksAgainUntilTheAnswerIsValidAndStoresIt) {
  const ParameterCase& c = GetParam();
  const Outcome result = run(std::string("img.bmp d.txt ") + c.answers);
  EXPECT_EQ(result.out.substr(0, result.out.find("DCC OK\n")), kOpened + c.expectedOut);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(segmenter_.epsilon(), c.epsilon);
  EXPECT_EQ(segmenter_.nbPixMin(), c.nbPixMin);
  EXPECT_EQ(result.err, c.expectedErr + kEnded);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DialogueParameters,
    testing::Values(
        ParameterCase{"n n", epsilonQuestion("0.5") + nbPixMinQuestion("5"), 0.5f, 5},
        ParameterCase{
            "O N n n",
            epsilonQuestion("0.5") + epsilonQuestion("0.5") + epsilonQuestion("0.5") + nbPixMinQuestion("5"),
            0.5f, 5,
            "Reponse \"O\" refusee: tapez o, oui, n ou non\nReponse \"N\" refusee: tapez o, oui, n ou non\n"},
        ParameterCase{
            "o 1.5 -0.1 1 n",
            epsilonQuestion("0.5") + kEpsilonPrompt + kEpsilonPrompt + kEpsilonPrompt + nbPixMinQuestion("5"),
            1.0f, 5,
            "Valeur \"1.5\" hors de l intervalle [0, 1]\nValeur \"-0.1\" hors de l intervalle [0, 1]\n"},
        ParameterCase{"o 0 n", epsilonQuestion("0.5") + kEpsilonPrompt + nbPixMinQuestion("5"), 0.0f, 5},
        // A decimal comma refuses the whole word, which is given back with a point.
        ParameterCase{"o 0,3 0.3 n",
                      epsilonQuestion("0.5") + kEpsilonPrompt + kEpsilonPrompt + nbPixMinQuestion("5"), 0.3f,
                      5, "\"0,3\" n est pas un nombre: le separateur decimal est le point (0.3)\n"},
        ParameterCase{"o 1,5,3 1 n",
                      epsilonQuestion("0.5") + kEpsilonPrompt + kEpsilonPrompt + nbPixMinQuestion("5"), 1.0f,
                      5, "\"1,5,3\" n est pas un nombre: le separateur decimal est le point\n"},
        ParameterCase{"oui 0.25 non", epsilonQuestion("0.5") + kEpsilonPrompt + nbPixMinQuestion("5"), 0.25f,
                      5},
        ParameterCase{"non oui 12", epsilonQuestion("0.5") + nbPixMinQuestion("5") + kNbPixMinPrompt, 0.5f,
                      12},
        ParameterCase{"o 3abc 1e-1 n",
                      epsilonQuestion("0.5") + kEpsilonPrompt + kEpsilonPrompt + nbPixMinQuestion("5"), 0.1f,
                      5, "\"3abc\" n est pas un nombre\n"},
        ParameterCase{"o .75 n", epsilonQuestion("0.5") + kEpsilonPrompt + nbPixMinQuestion("5"), 0.75f, 5},
        ParameterCase{
            "o 1e39 -1e39 +1 n",
            epsilonQuestion("0.5") + kEpsilonPrompt + kEpsilonPrompt + kEpsilonPrompt + nbPixMinQuestion("5"),
            1.0f, 5,
            "Valeur \"1e39\" hors de l intervalle [0, 1]\nValeur \"-1e39\" hors de l intervalle [0, 1]\n"},
        ParameterCase{"n o -1 0",
                      epsilonQuestion("0.5") + nbPixMinQuestion("5") + kNbPixMinPrompt + kNbPixMinPrompt,
                      0.5f, 0, "Valeur \"-1\" hors de l intervalle [0, 2147483647]\n"},
        ParameterCase{"n o +007", epsilonQuestion("0.5") + nbPixMinQuestion("5") + kNbPixMinPrompt, 0.5f, 7},
        ParameterCase{"n o 3.5 1e1 3,5 3",
                      epsilonQuestion("0.5") + nbPixMinQuestion("5") + kNbPixMinPrompt + kNbPixMinPrompt +
                          kNbPixMinPrompt + kNbPixMinPrompt,
                      0.5f, 3,
                      "\"3.5\" n est pas un nombre entier\n\"1e1\" n est pas un nombre entier\n"
                      "\"3,5\" n est pas un nombre entier\n"},
        ParameterCase{"n o abc 99999999999999999999 -2 7",
                      epsilonQuestion("0.5") + nbPixMinQuestion("5") + kNbPixMinPrompt + kNbPixMinPrompt +
                          kNbPixMinPrompt + kNbPixMinPrompt,
                      0.5f, 7,
                      "\"abc\" n est pas un nombre entier\n"
                      "Valeur \"99999999999999999999\" hors de l intervalle [0, 2147483647]\n"
                      "Valeur \"-2\" hors de l intervalle [0, 2147483647]\n"}));

TEST_F(Dialogue, WrongFileNamesBringThePromptBackWithTheReasonOnTheErrorStream) {
  test::writeTextFile("zero.txt", "0 1 2\n");
  const Outcome result = run("absent.bmp img.bmp absent.txt zero.txt d.txt n n");
  EXPECT_EQ(result.out.substr(0, result.out.find("La valeur")),
            kImagePrompt + kImagePrompt + "Ouverture Image OK\n" + kDescriptorPrompt + kDescriptorPrompt +
                kDescriptorPrompt + "Ouverture Descripteurs OK\n");
  EXPECT_EQ(std::string(segmenter_.name()), "img.bmp");
  EXPECT_EQ(result.err,
            "Impossible d ouvrir l image absent.bmp: No such file or directory\n"
            "Impossible d ouvrir le fichier de descripteurs absent.txt: No such file or directory\n"
            "Le fichier de descripteurs zero.txt annonce 0 bloc pour 2 valeurs\n" +
                kEnded);
}

struct EndCase {
  const char* input;
  std::string expectedOut;
  std::string expectedErr = "";  // the refusals, before the end-of-input line
};

class DialogueEnd : public Dialogue, public testing::WithParamInterface<EndCase> {};

TEST_P(DialogueEnd, StopsWithStatusOneAndOneLineOnTheErrorStream) {
  const Outcome result = run(GetParam().input);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, GetParam().expectedOut);
  EXPECT_EQ(result.err, GetParam().expectedErr + kEnded);
}

INSTANTIATE_TEST_SUITE_P(
    AtEachPrompt, DialogueEnd,
    testing::Values(EndCase{"", kImagePrompt},
                    EndCase{"  \n absent.bmp\n", kImagePrompt + kImagePrompt,
                            "Impossible d ouvrir l image absent.bmp: No such file or directory\n"},
                    EndCase{"img.bmp", kImagePrompt + "Ouverture Image OK\n" + kDescriptorPrompt},
                    EndCase{"img.bmp d.txt", kOpened + epsilonQuestion("0.5")},
                    EndCase{"img.bmp d.txt o", kOpened + epsilonQuestion("0.5") + kEpsilonPrompt},
                    EndCase{"img.bmp d.txt o -",
                            kOpened + epsilonQuestion("0.5") + kEpsilonPrompt + kEpsilonPrompt,
                            "\"-\" n est pas un nombre\n"},
                    EndCase{"img.bmp d.txt o abc",
                            kOpened + epsilonQuestion("0.5") + kEpsilonPrompt + kEpsilonPrompt,
                            "\"abc\" n est pas un nombre\n"},
                    EndCase{"img.bmp d.txt oui", kOpened + epsilonQuestion("0.5") + kEpsilonPrompt},
                    EndCase{"img.bmp d.txt ou", kOpened + epsilonQuestion("0.5") + epsilonQuestion("0.5"),
                            "Reponse \"ou\" refusee: tapez o, oui, n ou non\n"},
                    EndCase{"img.bmp d.txt o 0.75",
                            kOpened + epsilonQuestion("0.5") + kEpsilonPrompt + nbPixMinQuestion("5")},
                    EndCase{"img.bmp d.txt n o",
                            kOpened + epsilonQuestion("0.5") + nbPixMinQuestion("5") + kNbPixMinPrompt}));

const std::string kCountPrompt =
    "Cette image comporte 12 regions\nTapez le nombre de regions desirees apres fusion\n";

TEST_F(Dialogue, RegionCountOutsideOneToTheCountIsAskedAgain) {
  const Outcome result = run("img.bmp d.txt n n 0 13 x 12");
  const std::string stages = "DCC OK\n" + kCountPrompt + kCountPrompt + kCountPrompt + kCountPrompt +
                             "Detection Contours OK\nCalcul du RAG OK\nFusion OK\nIMAGE: img.bmp\n";
  EXPECT_NE(result.out.find(stages), std::string::npos) << result.out.substr(0, 2000);
  EXPECT_EQ(segmenter_.nbRegFin(), 12);
  EXPECT_EQ(result.err,
            "Valeur \"0\" hors de l intervalle [1, 12]\nValeur \"13\" hors de l intervalle [1, 12]\n"
            "\"x\" n est pas un nombre entier\n"
            "Attention: pas de copie de logo.jpg dans le rapport: No such file or directory\n"
            "Rapport: C:/img.bmp_0.5_5_12/index.html\n");
}

TEST_F(Dialogue, CompleteRunEndsWithTheOutputsAndStatusZero) {
  const Outcome result = run("img.bmp d.txt o 0.25 o 0 11");
  EXPECT_EQ(result.status, 0);
  // No logo.jpg in the working folder: a warning, not a failure.
  EXPECT_EQ(result.err,
            "Attention: pas de copie de logo.jpg dans le rapport: No such file or directory\n"
            "Rapport: C:/img.bmp_0.25_0_11/index.html\n");
  const std::string ending = "Generation HTML OK\nGeneration BMP OK\n";
  ASSERT_GE(result.out.size(), ending.size());
  EXPECT_EQ(result.out.substr(result.out.size() - ending.size()), ending);
  EXPECT_NE(result.out.find("\nEpsilon:  0.25\nNbPixMin: 0\nNbRegFin: 11\n"), std::string::npos);
  EXPECT_NE(result.out.find("\nNombre de Regions: 11\n"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists("origine.bmp"));
}

enum class Shown { Nothing, Usage, Version, Dialogue };

struct ArgumentCase {
  const char* name;
  std::vector<std::string> arguments;
  int status;
  Shown out;
  Shown err;
};

class CommandLine : public Dialogue, public testing::WithParamInterface<ArgumentCase> {};

// The usage names the dialogue's questions, the outputs and the exit statuses.
void expectUsage(const std::string& text) {
  for (const char* part :
       {"Usage: quarvel [--help | --version]\n", "Tapez le nom de l image\n",
        "Tapez le nom du fichier de descripteurs de l image\n", "Voulez vous la modifier? [o ou n]  epsilon",
        "Voulez vous la modifier? [o ou n]  nombre de pixels minimum",
        "Tapez le nombre de regions desirees apres fusion", "origine.bmp", "index.html", "CSS/style.css",
        "resultat.bmp", "logo.jpg", "0 tout est ecrit", "1 entree terminee",
        "2 une sortie n a pas pu etre ecrite", "3 memoire insuffisante", "64 argument inconnu"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part;
  }
}

void expectShown(Shown shown, const std::string& text) {
  switch (shown) {
    case Shown::Nothing:
      EXPECT_EQ(text, "");
      break;
    case Shown::Usage:
      expectUsage(text);
      break;
    case Shown::Version:
      EXPECT_EQ(text, "quarvel 1.0\n");
      break;
    case Shown::Dialogue:
      EXPECT_EQ(text, kImagePrompt);
      break;
  }
}

// The input holds a whole analysis: a run that reads it leaves files behind.
TEST_P(CommandLine, AnswersTheArgumentsOrRunsTheDialogue) {
  const ArgumentCase& c = GetParam();
  std::istringstream in(c.out == Shown::Dialogue ? "" : "img.bmp d.txt n n 2\n");
  std::ostringstream out, err;
  EXPECT_EQ(runTool(c.arguments, in, out, err), c.status);
  expectShown(c.out, out.str());
  if (c.err == Shown::Dialogue) {
    EXPECT_EQ(err.str(), "Fin des donnees d entree avant la fin du dialogue: arret.\n");
  } else {
    expectShown(c.err, err.str());
  }
  if (c.out != Shown::Dialogue) {
    EXPECT_EQ(in.tellg(), 0) << "nothing read";
    EXPECT_FALSE(std::filesystem::exists("origine.bmp"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLine,
    testing::Values(ArgumentCase{"none", {}, 1, Shown::Dialogue, Shown::Dialogue},
                    ArgumentCase{"help", {"--help"}, 0, Shown::Usage, Shown::Nothing},
                    ArgumentCase{"version", {"--version"}, 0, Shown::Version, Shown::Nothing},
                    ArgumentCase{"short_help", {"-h"}, 64, Shown::Nothing, Shown::Usage},
                    ArgumentCase{"help_and_more", {"--help", "img.bmp"}, 64, Shown::Nothing, Shown::Usage},
                    ArgumentCase{
                        "version_twice", {"--version", "--version"}, 64, Shown::Nothing, Shown::Usage},
                    ArgumentCase{"image_name", {"img.bmp"}, 64, Shown::Nothing, Shown::Usage},
                    ArgumentCase{"empty_argument", {""}, 64, Shown::Nothing, Shown::Usage}),
    [](const testing::TestParamInfo<ArgumentCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quarvel
