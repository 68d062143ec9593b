#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quarvel::test {

// A class image as the operator sees it: tones[r][c] is the tone of the pixel in
// picture row r (0 = top row) and column c. Every row has the same length.
using ToneGrid = std::vector<std::vector<int>>;

// The bytes of a standard 24-bit bitmap of the grid: a 54-byte header (file
// size, offset 54, info header 40, planes 1, 24 bits, everything else 0), then
// the rows bottom row first, each pixel stored as the three bytes tone, tone,
// tone, each row padded with zero bytes to a multiple of 4.
std::vector<std::uint8_t> classImageBytes(const ToneGrid& tones);
// Writes classImageBytes(tones) to path; false when the file cannot be written.
bool writeClassImage(const std::string& path, const ToneGrid& tones);

// Writes bytes to path as they stand.
bool writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
// Reads a whole file; empty when it cannot be opened.
std::vector<std::uint8_t> readBytes(const std::string& path);

// Writes text to path as it stands (for descriptor files with odd content).
bool writeTextFile(const std::string& path, const std::string& text);
// Writes a descriptor file: blockCount, then every value, separated by blanks,
// each value written so that it reads back as the same float.
bool writeDescriptorFile(const std::string& path, double blockCount, const std::vector<float>& values);

}  // namespace quarvel::test
