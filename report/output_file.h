#pragma once

#include <cstdio>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace quarvel {

// One output file that appears whole or not at all. The bytes go to a new
// temporary file in the destination's folder, which replaces the destination
// only once it is written, flushed and closed; until then a file already at the
// destination stays as it was. The temporary file is removed on any failure and
// when the object is dropped without commit(), so an interrupted write leaves
// nothing behind.
//
//   OutputFile file("report/index.html");
//   writeHtmlPage(file.stream(), page);
//   if (const int error = file.commit()) err << std::strerror(error);
class OutputFile {
 public:
  explicit OutputFile(std::string destination);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  // Where the content goes. When the temporary file could not be made, or a
  // write has failed, the stream is bad and takes nothing more.
  std::ostream& stream() { return stream_; }
  const std::string& destination() const { return destination_; }

  // Puts the file in place: 0 when it is there, else the system's error number
  // of the first failure (creating, writing, closing or renaming). Only the
  // first call does anything.
  int commit();

 private:
  // Hands the stream's bytes to the temporary file and keeps the error number
  // of the first write that fails.
  class Buffer : public std::streambuf {
   public:
    Buffer();
    // Starts sending to file; until then, or with a null file, every write
    // fails with the given error number.
    void attach(std::FILE* file, int error);
    int error() const { return error_; }
    // Writes what is buffered; false (with error() set) when it cannot.
    bool drain();

   protected:
    int_type overflow(int_type c) override;
    int sync() override;

   private:
    static constexpr std::size_t kSize = std::size_t{1} << 16;
    std::FILE* file_ = nullptr;
    std::unique_ptr<char[]> bytes_;
    int error_ = 0;
  };

  void discard();

  std::string destination_;
  std::string temporary_;
  std::FILE* file_ = nullptr;
  bool done_ = false;
  int result_ = 0;
  Buffer buffer_;
  std::ostream stream_;
};

}  // namespace quarvel
