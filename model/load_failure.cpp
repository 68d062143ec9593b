#include "model/load_failure.h"

#include <cerrno>
#include <system_error>

#include "model/number_text.h"

namespace quarvel {
namespace {

// "1 valeur", "2 valeurs".
std::string counted(std::size_t count, const char* word) {
  std::string text;
  appendUnsigned(text, count);
  text += ' ';
  text += word;
  if (count != 1) text += 's';
  return text;
}

}  // namespace

std::string imageRefusalLine(const std::string& fileName, const ImageFailure& failure) {
  const std::string image = "L image " + fileName;
  switch (failure.refusal) {
    case ImageRefusal::None:
      break;
    case ImageRefusal::CannotOpen:
      return "Impossible d ouvrir l image " + fileName + ": " + failure.detail;
    case ImageRefusal::NotABitmap:
      return image + " n est pas un bitmap: " + failure.detail;
    case ImageRefusal::UnsupportedDepth:
      return image + " a une profondeur non prise en charge: " + failure.detail;
    case ImageRefusal::UnsupportedCompression:
      return image + " a une compression non prise en charge: " + failure.detail;
    case ImageRefusal::CutShort:
      return image + " est tronquee: " + failure.detail;
    case ImageRefusal::ImpossibleSize:
      return image + " declare une taille impossible: " + failure.detail;
    case ImageRefusal::Damaged:
      return image + " est endommagee: " + failure.detail;
    case ImageRefusal::TooLargeForMemory:
      return image + " est trop grande pour la memoire disponible: " + failure.detail;
  }
  return image + " est refusee";
}

std::string descriptorRefusalLine(const std::string& fileName, const DescriptorFailure& failure) {
  const std::string file = "Le fichier de descripteurs " + fileName;
  std::string line;
  switch (failure.refusal) {
    case DescriptorRefusal::None:
      return file + " est refuse";
    case DescriptorRefusal::CannotOpen:
      return "Impossible d ouvrir le fichier de descripteurs " + fileName + ": " + failure.detail;
    case DescriptorRefusal::NoNumber:
      return file + " ne contient aucun nombre";
    case DescriptorRefusal::OnlyCount:
      line = file + " ne contient que le nombre de blocs (";
      appendNumber(line, failure.blockCount);
      return line + ")";
    case DescriptorRefusal::ZeroBlocks:
      return file + " annonce 0 bloc pour " + counted(failure.valuesHeld, "valeur");
    case DescriptorRefusal::TooFewValues:
      line = file + " contient " + counted(failure.valuesHeld, "valeur") +
             " apres le nombre de blocs, il en faut ";
      appendNumber(line, failure.valuesNeeded);
      line += " (" + counted(failure.receivers, "classe") + " a partir du ton 1, ";
      appendNumber(line, failure.blockLength);
      return line + " chacune)";
  }
  return file + " est refuse";
}

std::string lastSystemReason() {
  const int error = errno;
  if (error == 0) return "raison inconnue";
  return std::generic_category().message(error);
}

}  // namespace quarvel
