#include "support/test_files.h"

#include <fstream>
#include <iomanip>
#include <iterator>
#include <limits>

namespace quarvel::test {
namespace {

void putLittleEndian(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> classImageBytes(const ToneGrid& tones) {
  const std::size_t height = tones.size();
  const std::size_t width = height == 0 ? 0 : tones[0].size();
  const std::size_t rowBytes = 3 * width + width % 4;
  std::vector<std::uint8_t> bytes(54 + height * rowBytes, 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  putLittleEndian(bytes, 2, static_cast<std::uint32_t>(bytes.size()), 4);
  putLittleEndian(bytes, 10, 54, 4);
  putLittleEndian(bytes, 14, 40, 4);
  putLittleEndian(bytes, 18, static_cast<std::uint32_t>(width), 4);
  putLittleEndian(bytes, 22, static_cast<std::uint32_t>(height), 4);
  putLittleEndian(bytes, 26, 1, 2);
  putLittleEndian(bytes, 28, 24, 2);
  putLittleEndian(bytes, 34, static_cast<std::uint32_t>(height * rowBytes), 4);
  for (std::size_t stored = 0; stored < height; ++stored) {
    const std::vector<int>& row = tones[height - 1 - stored];
    std::size_t at = 54 + stored * rowBytes;
    for (std::size_t c = 0; c < width; ++c) {
      const auto tone = static_cast<std::uint8_t>(row[c]);
      bytes[at++] = tone;
      bytes[at++] = tone;
      bytes[at++] = tone;
    }
  }
  return bytes;
}

bool writeClassImage(const std::string& path, const ToneGrid& tones) {
  return writeBytes(path, classImageBytes(tones));
}

bool writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool writeTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

bool writeDescriptorFile(const std::string& path, double blockCount, const std::vector<float>& values) {
  std::ofstream out(path, std::ios::trunc);
  out << std::setprecision(std::numeric_limits<float>::max_digits10) << blockCount;
  for (float value : values) out << ' ' << value;
  out << '\n';
  return static_cast<bool>(out);
}

}  // namespace quarvel::test
