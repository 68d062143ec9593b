#include "report/style_sheet.h"

#include <initializer_list>
#include <string_view>

namespace quarvel {
namespace {

struct StyleRule {
  std::string_view selector;
  std::initializer_list<std::string_view> declarations;
};

// The colours "#00000" are written as the page has always had them.
const StyleRule kRules[] = {
    {"body",
     {"background-color: #6699CC;", "color: #00000;",
      "font-family: 'Trebuchet MS', Verdana, Geneva, Arial, Helvetica, sans-serif;", "font-size: small;",
      "margin-left: 8%;", "margin-right: 8%;"}},
    {"acronym.premier", {"cursor:help;"}},
    {"#article-modele",
     {"font-family: Arial, Helvetica, sans-serif;", "font-size: 24px;", "font-weight: bold;",
      "color: #CCCCCC;"}},
    {"#tableRAG",
     {"border-style:solid;", "border-width:1px;", "border-color:#000;", "border-collapse:collapse;",
      "padding:10px;", "float:left;", "text-align:center;"}},
    {"#table-entete",
     {"font-size:14px;", "font-family:Verdana, arial, helvetica, sans-serif;", "font-weight: bold;",
      "color: #67CB02;", "background-color: #06324B;"}},
    {"#header",
     {"top: 3%;", "background-color: #06324B;", "margin-bottom: 1em;", "border-width: 1px 0 1px 0;",
      "border-style: solid;", "border-color: #3F4541;"}},
    {"#header h1", {"margin: 0em 1em 0em 1em;", "text-align: center;"}},
    {"#menu",
     {"float:right;", "position:relative;", "text-align: center;", "margin-top: 0em;", "margin-bottom: 1em;",
      "border-right: 1px solid #000;"}},
    {"#menu ul", {"border-top: 1px solid #000;", "padding:0;", "margin:0;"}},
    {"#menu li",
     {"border-bottom:1px solid #000;", "border-left: 1px solid #000;", "list-style:none;",
      "padding-left:0em;", "margin:0;", "float:left;"}},
    {"#menu a",
     {"display:block;", "text-decoration:none;", "color:#CCCCCC;", "background-color: #00000;",
      "padding-left:1em;", "padding-right:1em;"}},
    {"#menu a:hover", {"background-color: #06324B;", "color: #67CB02;"}},
    {"#main",
     {"background-color: transparent;", "margin-top: 3em;", "margin-bottom: 1em;",
      "border-width: 4px 0 4px 0;", "border-style: solid;", "border-color: #3F4541;"}},
    {"#main h1", {"margin: 2em 2em 2em 2em;"}},
    {"#main p", {"margin: 1em 1em 1em 1em;", "font-weight: bold;"}},
    {"#footer",
     {"left:3%;", "text-align: center;", "margin-top: 1em;", "color: #67CB02;", "background-color: #06324B;",
      "border-width: 1px 0 1px 0;", "border-style: solid;", "border-color: #3F4541;", "font-size: 0.9em;"}},
    {"#footer p", {"margin: 0.2em 0 0.2em 0;", "text-align: center;"}},
};

}  // namespace

void writeStyleSheet(std::ostream& out) {
  for (const StyleRule& rule : kRules) {
    out << rule.selector << " {\n";
    for (std::string_view declaration : rule.declarations) out << '\t' << declaration << '\n';
    out << "}\n";
  }
}

}  // namespace quarvel
