#pragma once

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

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

}  // namespace quarvel::fuzz
