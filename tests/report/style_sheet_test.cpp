#include "report/style_sheet.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quarvel {
namespace {

// The seventeen rules, each opening line, its tab-indented declarations and a
// closing brace, with nothing before, between or after them.
const char kExpectedSheet[] =
    "body {\n\tbackground-color: #6699CC;\n\tcolor: #00000;\n"
    "\tfont-family: 'Trebuchet MS', Verdana, Geneva, Arial, Helvetica, sans-serif;\n"
    "\tfont-size: small;\n\tmargin-left: 8%;\n\tmargin-right: 8%;\n}\n"
    "acronym.premier {\n\tcursor:help;\n}\n"
    "#article-modele {\n\tfont-family: Arial, Helvetica, sans-serif;\n\tfont-size: 24px;\n\tfont-weight: "
    "bold;\n"
    "\tcolor: #CCCCCC;\n}\n"
    "#tableRAG "
    "{\n\tborder-style:solid;\n\tborder-width:1px;\n\tborder-color:#000;\n\tborder-collapse:collapse;\n"
    "\tpadding:10px;\n\tfloat:left;\n\ttext-align:center;\n}\n"
    "#table-entete {\n\tfont-size:14px;\n\tfont-family:Verdana, arial, helvetica, sans-serif;\n"
    "\tfont-weight: bold;\n\tcolor: #67CB02;\n\tbackground-color: #06324B;\n}\n"
    "#header {\n\ttop: 3%;\n\tbackground-color: #06324B;\n\tmargin-bottom: 1em;\n\tborder-width: 1px 0 1px "
    "0;\n"
    "\tborder-style: solid;\n\tborder-color: #3F4541;\n}\n"
    "#header h1 {\n\tmargin: 0em 1em 0em 1em;\n\ttext-align: center;\n}\n"
    "#menu {\n\tfloat:right;\n\tposition:relative;\n\ttext-align: center;\n\tmargin-top: 0em;\n"
    "\tmargin-bottom: 1em;\n\tborder-right: 1px solid #000;\n}\n"
    "#menu ul {\n\tborder-top: 1px solid #000;\n\tpadding:0;\n\tmargin:0;\n}\n"
    "#menu li {\n\tborder-bottom:1px solid #000;\n\tborder-left: 1px solid #000;\n\tlist-style:none;\n"
    "\tpadding-left:0em;\n\tmargin:0;\n\tfloat:left;\n}\n"
    "#menu a {\n\tdisplay:block;\n\ttext-decoration:none;\n\tcolor:#CCCCCC;\n\tbackground-color: #00000;\n"
    "\tpadding-left:1em;\n\tpadding-right:1em;\n}\n"
    "#menu a:hover {\n\tbackground-color: #06324B;\n\tcolor: #67CB02;\n}\n"
    "#main {\n\tbackground-color: transparent;\n\tmargin-top: 3em;\n\tmargin-bottom: 1em;\n"
    "\tborder-width: 4px 0 4px 0;\n\tborder-style: solid;\n\tborder-color: #3F4541;\n}\n"
    "#main h1 {\n\tmargin: 2em 2em 2em 2em;\n}\n"
    "#main p {\n\tmargin: 1em 1em 1em 1em;\n\tfont-weight: bold;\n}\n"
    "#footer {\n\tleft:3%;\n\ttext-align: center;\n\tmargin-top: 1em;\n\tcolor: #67CB02;\n"
    "\tbackground-color: #06324B;\n\tborder-width: 1px 0 1px 0;\n\tborder-style: solid;\n"
    "\tborder-color: #3F4541;\n\tfont-size: 0.9em;\n}\n"
    "#footer p {\n\tmargin: 0.2em 0 0.2em 0;\n\ttext-align: center;\n}\n";

TEST(StyleSheetTest, HoldsTheSeventeenRulesAndNothingElse) {
  std::ostringstream out;
  writeStyleSheet(out);
  EXPECT_EQ(out.str(), kExpectedSheet);
}

}  // namespace
}  // namespace quarvel
