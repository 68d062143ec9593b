#include "report/html_page.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace quarvel {
namespace {

ReportPage photoPage(int graphSize, std::vector<GraphEdge> edges) {
  ReportPage page{"photo.bmp",
                  "photo.bmp_0.5_5_5",
                  "Mon Jun  2 10:04:05 2025\n",
                  3000054.0,
                  200,
                  150,
                  30000.0,
                  0.5f,
                  5,
                  12,
                  2,
                  6,
                  {},
                  0,
                  {}};
  page.regions = {RegionEntry{1.0, 120.0, {0.5f, 12.0f}}, RegionEntry{2.0, 29880.0, {}}};
  page.graphSize = graphSize;
  page.edges = std::move(edges);
  return page;
}

std::string pageText(const ReportPage& page) {
  std::ostringstream out;
  writeHtmlPage(out, page);
  return out.str();
}

// The credit line's wording is free; it must be one "<p>" line naming the
// product and its version. It is checked, then cut out.
std::string withoutCreditLine(const std::string& text) {
  const std::string footer = "   <div id='footer'>\n";
  const std::size_t start = text.find(footer) + footer.size();
  const std::size_t end = text.find('\n', start);
  const std::string credit = text.substr(start, end - start);
  EXPECT_EQ(credit.rfind("    <p>", 0), 0u) << credit;
  EXPECT_NE(credit.find("Quarvel"), std::string::npos) << credit;
  EXPECT_NE(credit.find("v 1.0"), std::string::npos) << credit;
  return text.substr(0, start) + text.substr(end + 1);
}

std::string headerCell(int i) {
  return "    \t<td width='100' id='table-entete'> " + std::to_string(i) + " </td>\n";
}
std::string rowStart(int i) {
  return "    \t\t<tr><td width='100' id='table-entete'> " + std::to_string(i) + " </td>\n";
}
std::string cell(const std::string& text) { return "    \t\t\t<td> " + text + " </td>\n"; }
const std::string kRowEnd = "    \t\t</tr>\n";

// The page of photoPage() around the given rows of the adjacency table.
std::string expectedPage(const std::string& tableRows) {
  return std::string(
             "<html>\n<head>\n"
             "  <meta http-equiv='Content-Type' content='text/html; charset=utf-8' />\n"
             "  <title>photo.bmp_0.5_5_5</title>\n"
             "  <link rel='stylesheet' type='text/css' href='CSS/style.css' media='screen' title='style' />\n"
             "</head>\n<body>\n  <div id='page'>\n   <!-- Code de l'entete -->\n   <div id='header'>\n"
             "      <h1><img src='logo.jpg'></h1>\n   </div>\n   <!-- Code du menu -->\n   <div id='menu'>\n"
             "    <ul>\n     <li><a href='#img'><b>Images</b></a></li>\n"
             "     <li><a href='#rag'><b>RAG</b></a></li>\n     <li><a href='#reg'><b>Region</b></a></li>\n"
             "    </ul>\n   </div>\n   <!-- Code principal -->\n   <div id='main'>\n"
             "\t\t<p>Traitement du Mon Jun  2 10:04:05 2025\n\n\t\t<table border='0' align='center'>\n"
             "    \t\t<tr> \t<th align='left'><span id='article-modele'><br><b>Images Depart</b></th>\n"
             "    \t\t\t \t<th align='left'><span id='article-modele'><br><b>Images Cluster</b></th>\n"
             "    \t\t\t \t<th align='left'><span id='article-modele'><br><b>Images Obtenu</b></th>\n"
             "\t\t\t</tr>\n    \t\t<tr> \t<td><img src='origine.bmp' width=200></td>\n"
             "\t\t\t\t\t<td><img src=photo.bmp width=200></td>\n"
             "\t\t\t\t\t<td><img src='resultat.bmp' width=200></td>\n\t\t\t</tr>\n    \t</table>\n"
             "\t    <table border='0'>\n    \t\t<tr> \t<th colspan='2' align='left'><span "
             "id='article-modele'>"
             "<br><b><a name='img'>Images</a></b><br></span></th>\n\t\t\t</tr>\n    \t\t<tr> \t<td><br>\n"
             "\t\t\t\t\t<b><u>Caracteristiques de l'Image</b></u><br>\n\t\t\t\t\tNom: photo.bmp<br>\n"
             "                  Taille: 3.00005e+06<br>\n"
             "                  Dimensions: .Largeur 200 .Hauteur 150<br>\n"
             "                  Pixels: 30000<br>\n                  Epsilon: 0.5<br>\n"
             "                  Nombre de Regions avant traitement: 12<br>\n"
             "                  Nombre de Regions apres traitement: 2<br>\n"
             "                  Nombre de Pixels Minimum: 5<br>\n"
             "                  <br>Nombre de Clusters: 6<br>\n"
             "                  Nombre de Regions: 2<br></td>\n\t\t\t</tr>\n    \t</table>\n"
             "      <table border='0'>\n    \t\t<tr> \t<th colspan='2' align='left'><span "
             "id='article-modele'>"
             "<br><b><a name='rag'>RAG</a></b><br></span></th>\n\t\t\t</tr>\n    \t\t<tr> \t<td><br>\n"
             "\t\t\t\t\t<b><u>Caracteristiques du RAG</b></u><br><br>\n"
             "      <table border='1' id='tableRAG'>\n    \t<tr>\n") +
         tableRows +
         "      </table>\n\t\t\t\t\t</td>\n\t\t\t</tr>\n    \t</table>\n"
         "      <table border='0'>\n    \t\t<tr> \t<th colspan='2' align='left'><span id='article-modele'>"
         "<br><b><a name='reg'>Regions</a></b><br></span></th>\n\t\t\t</tr>\n    \t\t<tr> \t<td><br>\n"
         "\t\t\t\t\t<b><u>Caracteristiques des Regions</b></u><br>\n\t\t\t\t\tNombre de Regions: 2<br>\n"
         "<br>Numero Region: 1\n<br>Nombre de Points: 120\n<br>Descripteurs:\n ~ 0.5\n ~ 12\n<br>\n"
         "<br>Numero Region: 2\n<br>Nombre de Points: 29880\n<br>Descripteurs:\n<br>\n"
         "\t\t\t</td>\n\t\t\t</tr>\n    \t </table>\n   </div>\n"
         "   <!-- Code du pied de page -->\n   <div id='footer'>\n   </div>\n  </div>\n </body>\n</html>\n";
}

struct GraphCase {
  const char* label;
  int graphSize;
  std::vector<GraphEdge> edges;
  std::string tableRows;  // from the header row's cells to the last data row
};

class PageTest : public testing::TestWithParam<GraphCase> {};

TEST_P(PageTest, WritesTheWholeSkeletonAroundTheAdjacencyTable) {
  const GraphCase& c = GetParam();
  EXPECT_EQ(withoutCreditLine(pageText(photoPage(c.graphSize, c.edges))), expectedPage(c.tableRows));
}

const float kInfinity = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Graphs, PageTest,
    testing::Values(
        GraphCase{"empty", 0, {}, "    \t</tr>\n"},
        GraphCase{"three",
                  3,
                  {GraphEdge{1, 2, 0.75f}},
                  headerCell(0) + headerCell(1) + headerCell(2) + "    \t</tr>\n" + rowStart(1) + cell("0") +
                      cell("0.75") + kRowEnd + rowStart(2) + cell("0.75") + cell("0") + kRowEnd},
        // Row and column 0 are never shown; large and tiny weights in exponent form.
        GraphCase{"four",
                  4,
                  {GraphEdge{0, 1, 9.0f}, GraphEdge{2, 3, 0.00001f}, GraphEdge{1, 3, 1234567.0f}},
                  headerCell(0) + headerCell(1) + headerCell(2) + headerCell(3) + "    \t</tr>\n" +
                      rowStart(1) + cell("0") + cell("0") + cell("1.23457e+06") + kRowEnd + rowStart(2) +
                      cell("0") + cell("0") + cell("1e-05") + kRowEnd + rowStart(3) + cell("1.23457e+06") +
                      cell("1e-05") + cell("0") + kRowEnd},
        GraphCase{"infinite",
                  3,
                  {GraphEdge{1, 2, kInfinity}},
                  headerCell(0) + headerCell(1) + headerCell(2) + "    \t</tr>\n" + rowStart(1) + cell("0") +
                      cell("inf") + kRowEnd + rowStart(2) + cell("inf") + cell("0") + kRowEnd}),
    [](const testing::TestParamInfo<GraphCase>& info) { return std::string(info.param.label); });

struct NameCase {
  const char* imageName;
  const char* directoryName;
  std::vector<std::string> expectedLines;
};

class PageNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(PageNameTest, WritesNamesAsTextAndPointsAtTheCopy) {
  ReportPage page = photoPage(0, {});
  page.imageName = GetParam().imageName;
  page.directoryName = GetParam().directoryName;
  const std::string text = pageText(page);
  for (const std::string& line : GetParam().expectedLines)
    EXPECT_NE(text.find(line), std::string::npos) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Names, PageNameTest,
    testing::Values(NameCase{"<b>it's\"&.bmp",
                             "<b>it's\"&.bmp_1_5_5",
                             {"  <title>&lt;b&gt;it&#39;s&quot;&amp;.bmp_1_5_5</title>\n",
                              "<td><img src=&lt;b&gt;it&#39;s&quot;&amp;.bmp width=200></td>\n",
                              "\t\t\t\t\tNom: &lt;b&gt;it&#39;s&quot;&amp;.bmp<br>\n"}},
                    NameCase{"pics/a>b.bmp",
                             "pics/a>b.bmp_0.5_5_5",
                             {"  <title>pics/a&gt;b.bmp_0.5_5_5</title>\n",
                              "<td><img src=a&gt;b.bmp width=200></td>\n",
                              "\t\t\t\t\tNom: pics/a&gt;b.bmp<br>\n"}}));

}  // namespace
}  // namespace quarvel
