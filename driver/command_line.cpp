#include "driver/command_line.h"

#include <csignal>
#include <new>

#include "driver/dialogue.h"
#include "driver/stage.h"
#include "model/segmenter.h"

#ifndef QUARVEL_VERSION
#define QUARVEL_VERSION "1.0"
#endif

namespace quarvel {
namespace {

// --help and --version write only on out; a lost line is told like a lost
// summary.
int written(std::ostream& out, std::ostream& err) {
  out.flush();
  if (out) return kStatusComplete;
  err << "Erreur d ecriture sur la sortie standard" << std::endl;
  return kStatusOutputFailed;
}

}  // namespace

void ignoreWriteSignals() {
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

const char* usageText() {
  return "Usage: quarvel [--help | --version]\n"
         "Segmente en regions une image de classes (un bitmap BMP: le bleu d un pixel est sa classe).\n"
         "Questions du dialogue, reponses lues sur l entree standard:\n"
         "  Tapez le nom de l image\n"
         "  Tapez le nom du fichier de descripteurs de l image\n"
         "  Voulez vous la modifier? [o ou n]  epsilon: 0.5 par defaut, de 0 a 1\n"
         "  Voulez vous la modifier? [o ou n]  nombre de pixels minimum: 5 par defaut, 0 ou plus\n"
         "  Tapez le nombre de regions desirees apres fusion  de 1 au nombre de regions trouvees\n"
         "Sorties: le resume sur la sortie standard, origine.bmp dans le dossier courant, et le\n"
         "dossier C:/<image>_<epsilon>_<NbPixMin>_<NbRegFin>/ avec index.html, CSS/style.css,\n"
         "resultat.bmp et les copies de logo.jpg, origine.bmp et de l image.\n"
         "Statut de sortie: 0 tout est ecrit; 1 entree terminee avant la fin du dialogue;\n"
         "2 une sortie n a pas pu etre ecrite; 3 memoire insuffisante; 64 argument inconnu.\n";
}

int runTool(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
            std::ostream& err) {
  if (arguments.size() == 1 && arguments[0] == "--help") {
    out << usageText();
    return written(out, err);
  }
  if (arguments.size() == 1 && arguments[0] == "--version") {
    out << "quarvel " << QUARVEL_VERSION << '\n';
    return written(out, err);
  }
  if (!arguments.empty()) {
    err << usageText() << std::flush;
    return kStatusUsage;
  }
  try {
    Segmenter segmenter;
    return runDialogue(segmenter, in, out, err);
  } catch (const std::bad_alloc&) {
    // The stages say which of them ran out; this is the dialogue itself.
    err << "Memoire insuffisante: arret." << std::endl;
    return kStatusOutOfMemory;
  }
}

}  // namespace quarvel
