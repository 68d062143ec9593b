#include "report/html_page.h"

#include <algorithm>
#include <utility>

#include "report/report_paths.h"

namespace quarvel {
namespace {

// The image cell's source is an unquoted attribute value: a blank in the name
// would end it and start another attribute, so blanks are written as URL
// character codes. Names typed at the dialogue never hold a blank; every other
// character stays as typed.
std::string imageSource(const std::string& fileName) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string source;
  for (char c : fileName) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r') {
      const auto code = static_cast<unsigned char>(c);
      source += '%';
      source += kHex[code >> 4];
      source += kHex[code & 15];
    } else {
      source += c;
    }
  }
  return source;
}

void writeHead(std::ostream& out, const ReportPage& page) {
  out << "<html>\n"
         "<head>\n"
         "  <meta http-equiv='Content-Type' content='text/html; charset=utf-8' />\n"
         "  <title>"
      << escapeHtml(page.directoryName)
      << "</title>\n"
         "  <link rel='stylesheet' type='text/css' href='CSS/style.css' media='screen' title='style' />\n"
         "</head>\n";
}

void writeFrame(std::ostream& out) {
  out << "<body>\n"
         "  <div id='page'>\n"
         "   <!-- Code de l'entete -->\n"
         "   <div id='header'>\n"
         "      <h1><img src='logo.jpg'></h1>\n"
         "   </div>\n"
         "   <!-- Code du menu -->\n"
         "   <div id='menu'>\n"
         "    <ul>\n"
         "     <li><a href='#img'><b>Images</b></a></li>\n"
         "     <li><a href='#rag'><b>RAG</b></a></li>\n"
         "     <li><a href='#reg'><b>Region</b></a></li>\n"
         "    </ul>\n"
         "   </div>\n";
}

// The pictures: the regions as labelled, the operator's image (its copy beside
// the page), the regions after the fusion.
void writePictures(std::ostream& out, const ReportPage& page) {
  out << "   <!-- Code principal -->\n"
         "   <div id='main'>\n"
         "\t\t<p>Traitement du "
      << page.processedAt
      << "\n"
         "\t\t<table border='0' align='center'>\n"
         "    \t\t<tr> \t<th align='left'><span id='article-modele'><br><b>Images Depart</b></th>\n"
         "    \t\t\t \t<th align='left'><span id='article-modele'><br><b>Images Cluster</b></th>\n"
         "    \t\t\t \t<th align='left'><span id='article-modele'><br><b>Images Obtenu</b></th>\n"
         "\t\t\t</tr>\n"
         "    \t\t<tr> \t<td><img src='origine.bmp' width=200></td>\n"
         "\t\t\t\t\t<td><img src="
      << escapeHtml(imageSource(lastComponent(page.imageName, kPathSeparator)))
      << " width=200></td>\n"
         "\t\t\t\t\t<td><img src='resultat.bmp' width=200></td>\n"
         "\t\t\t</tr>\n"
         "    \t</table>\n";
}

void writeImageSection(std::ostream& out, const ReportPage& page) {
  out << "\t    <table border='0'>\n"
         "    \t\t<tr> \t<th colspan='2' align='left'><span id='article-modele'><br><b><a "
         "name='img'>Images</a></b><br></span></th>\n"
         "\t\t\t</tr>\n"
         "    \t\t<tr> \t<td><br>\n"
         "\t\t\t\t\t<b><u>Caracteristiques de l'Image</b></u><br>\n"
         "\t\t\t\t\tNom: "
      << escapeHtml(page.imageName) << "<br>\n"
      << "                  Taille: " << page.fileSize << "<br>\n"
      << "                  Dimensions: .Largeur " << page.width << " .Hauteur " << page.height << "<br>\n"
      << "                  Pixels: " << page.pixelCount << "<br>\n"
      << "                  Epsilon: " << page.epsilon << "<br>\n"
      << "                  Nombre de Regions avant traitement: " << page.regionCountBefore << "<br>\n"
      << "                  Nombre de Regions apres traitement: " << page.regionCountAfter << "<br>\n"
      << "                  Nombre de Pixels Minimum: " << page.nbPixMin << "<br>\n"
      << "                  <br>Nombre de Clusters: " << page.clusterCount << "<br>\n"
      << "                  Nombre de Regions: " << page.regions.size() << "<br></td>\n"
      << "\t\t\t</tr>\n"
         "    \t</table>\n";
}

// The weights of each row of the table in increasing column order, from the
// listed pairs; the table is symmetric, so a pair lands in both its rows.
std::vector<std::vector<std::pair<int, float>>> tableRows(const ReportPage& page) {
  std::vector<std::vector<std::pair<int, float>>> rows(page.graphSize > 0 ? page.graphSize : 0);
  for (const GraphEdge& edge : page.edges) {
    if (edge.first < 0 || edge.second < 0 || edge.first >= page.graphSize || edge.second >= page.graphSize ||
        edge.first == edge.second) {
      continue;
    }
    rows[edge.first].emplace_back(edge.second, edge.weight);
    rows[edge.second].emplace_back(edge.first, edge.weight);
  }
  for (auto& row : rows) {
    std::stable_sort(row.begin(), row.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  }
  return rows;
}

void writeGraphSection(std::ostream& out, const ReportPage& page) {
  out << "      <table border='0'>\n"
         "    \t\t<tr> \t<th colspan='2' align='left'><span id='article-modele'><br><b><a "
         "name='rag'>RAG</a></b><br></span></th>\n"
         "\t\t\t</tr>\n"
         "    \t\t<tr> \t<td><br>\n"
         "\t\t\t\t\t<b><u>Caracteristiques du RAG</b></u><br><br>\n"
         "      <table border='1' id='tableRAG'>\n"
         "    \t<tr>\n";
  for (int i = 0; i < page.graphSize; ++i) {
    out << "    \t<td width='100' id='table-entete'> " << i << " </td>\n";
  }
  out << "    \t</tr>\n";
  const auto rows = tableRows(page);
  for (int i = 1; i < page.graphSize; ++i) {
    out << "    \t\t<tr><td width='100' id='table-entete'> " << i << " </td>\n";
    const auto& row = rows[i];
    auto next = row.begin();
    for (int j = 1; j < page.graphSize; ++j) {
      while (next != row.end() && next->first < j) ++next;
      if (next != row.end() && next->first == j) {
        out << "    \t\t\t<td> " << next->second << " </td>\n";
      } else {
        out << "    \t\t\t<td> 0 </td>\n";
      }
    }
    out << "    \t\t</tr>\n";
  }
  out << "      </table>\n"
         "\t\t\t\t\t</td>\n"
         "\t\t\t</tr>\n"
         "    \t</table>\n";
}

void writeRegionSection(std::ostream& out, const ReportPage& page) {
  out << "      <table border='0'>\n"
         "    \t\t<tr> \t<th colspan='2' align='left'><span id='article-modele'><br><b><a "
         "name='reg'>Regions</a></b><br></span></th>\n"
         "\t\t\t</tr>\n"
         "    \t\t<tr> \t<td><br>\n"
         "\t\t\t\t\t<b><u>Caracteristiques des Regions</b></u><br>\n"
         "\t\t\t\t\tNombre de Regions: "
      << page.regions.size() << "<br>\n";
  for (const RegionEntry& region : page.regions) {
    out << "<br>Numero Region: " << region.number << "\n"
        << "<br>Nombre de Points: " << region.pixelCount << "\n"
        << "<br>Descripteurs:\n";
    for (float descriptor : region.descriptors) out << " ~ " << descriptor << "\n";
    out << "<br>\n";
  }
  out << "\t\t\t</td>\n"
         "\t\t\t</tr>\n"
         "    \t </table>\n"
         "   </div>\n";
}

void writeFooter(std::ostream& out) {
  out << "   <!-- Code du pied de page -->\n"
         "   <div id='footer'>\n"
         "    <p>Rapport produit par Quarvel v 1.0 - 2 juin 2025\n"
         "   </div>\n"
         "  </div>\n"
         " </body>\n"
         "</html>\n";
}

}  // namespace

std::string escapeHtml(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

void writeHtmlPage(std::ostream& out, const ReportPage& page) {
  writeHead(out, page);
  writeFrame(out);
  writePictures(out, page);
  writeImageSection(out, page);
  writeGraphSection(out, page);
  writeRegionSection(out, page);
  writeFooter(out);
}

}  // namespace quarvel
