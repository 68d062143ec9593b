#pragma once

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace quarvel::fuzz {

// A private folder under the system's temporary directory for the files a fuzz
// program writes, created on first use and removed when the program exits. The
// name is never freed: the exit handler that removes the folder runs after
// the destructors of static objects.
inline const std::string& scratchFolder() {
  static const std::string* folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "quarvel-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("quarvel fuzz: cannot create a scratch folder");
      std::abort();
    }
    return new std::string(pattern);
  }();
  static const bool removedAtExit = std::atexit([] {
                                      std::error_code ignored;
                                      std::filesystem::remove_all(*folder, ignored);
                                    }) == 0;
  (void)removedAtExit;
  return *folder;
}

inline std::string scratchFile(const std::string& name) { return scratchFolder() + "/" + name; }

// Stops the program (the fuzzer then keeps the input) when a stated property
// of the code under test does not hold.
inline void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "quarvel fuzz: property broken: %s\n", what);
  std::abort();
}

inline void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  require(static_cast<bool>(out), "the scratch file could not be written");
}

// A 24-bit bitmap of width x height class pixels whose three bytes all hold the
// pixel's tone; tones are given row by row in the order the file stores them
// (bottom row first). Sizes go in one-byte fields: for tiny images only.
inline std::vector<std::uint8_t> classBitmap(int width, int height, const std::vector<std::uint8_t>& tones) {
  const int rowBytes = 3 * width + width % 4;
  std::vector<std::uint8_t> bytes(54 + static_cast<std::size_t>(rowBytes * height), 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  bytes[2] = static_cast<std::uint8_t>(bytes.size());
  bytes[10] = 54;
  bytes[14] = 40;
  bytes[18] = static_cast<std::uint8_t>(width);
  bytes[22] = static_cast<std::uint8_t>(height);
  bytes[26] = 1;
  bytes[28] = 24;
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      for (int k = 0; k < 3; ++k) bytes[54 + row * rowBytes + column * 3 + k] = tones[row * width + column];
    }
  }
  return bytes;
}

}  // namespace quarvel::fuzz
