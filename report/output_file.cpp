#include "report/output_file.h"

#include <cerrno>
#include <chrono>
#include <cstdint>

namespace quarvel {
namespace {

// The error number the failed call left, or a general input/output error when
// it left none.
int lastError() { return errno != 0 ? errno : EIO; }

// The folder part of a path, separator included ("" for a bare file name).
std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A name that the tool's own outputs never take; short, so that it fits
// wherever the destination's own name fits.
std::string temporaryName(const std::string& folder, std::uint64_t draw) {
  static const char kHex[] = "0123456789abcdef";
  std::string name = folder + ".quarvel-";
  for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(draw >> shift) & 15];
  return name + ".tmp";
}

}  // namespace

OutputFile::Buffer::Buffer() : bytes_(new char[kSize]), error_(EBADF) {}

void OutputFile::Buffer::attach(std::FILE* file, int error) {
  file_ = file;
  error_ = file != nullptr ? 0 : error;
  setp(bytes_.get(), bytes_.get() + kSize);
}

bool OutputFile::Buffer::drain() {
  if (error_ != 0) return false;
  const std::size_t count = static_cast<std::size_t>(pptr() - pbase());
  if (count > 0) {
    errno = 0;
    if (std::fwrite(pbase(), 1, count, file_) != count) {
      error_ = lastError();
      setp(nullptr, nullptr);
      return false;
    }
  }
  setp(bytes_.get(), bytes_.get() + kSize);
  return true;
}

OutputFile::Buffer::int_type OutputFile::Buffer::overflow(int_type c) {
  if (!drain()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int OutputFile::Buffer::sync() { return drain() ? 0 : -1; }

OutputFile::OutputFile(std::string destination) : destination_(std::move(destination)), stream_(&buffer_) {
  const std::string folder = folderOf(destination_);
  auto draw = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  int error = EEXIST;
  for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
    draw = draw * 6364136223846793005u + 1442695040888963407u;
    temporary_ = temporaryName(folder, draw);
    errno = 0;
    // "x": the file is made new, never one that is already there.
    file_ = std::fopen(temporary_.c_str(), "wbx");
    error = file_ != nullptr ? 0 : lastError();
  }
  if (file_ != nullptr) std::setvbuf(file_, nullptr, _IONBF, 0);
  buffer_.attach(file_, error);
  if (file_ == nullptr) stream_.setstate(std::ios::badbit);
}

OutputFile::~OutputFile() {
  if (!done_) discard();
}

void OutputFile::discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
    std::remove(temporary_.c_str());
  }
}

int OutputFile::commit() {
  if (done_) return result_;
  done_ = true;
  int error = 0;
  if (!buffer_.drain()) {
    error = buffer_.error();
  } else if (!stream_) {
    error = EIO;
  }
  if (file_ == nullptr) {
    result_ = error;
    return result_;
  }
  errno = 0;
  if (std::fclose(file_) != 0 && error == 0) error = lastError();
  file_ = nullptr;
  if (error == 0) {
    errno = 0;
    if (std::rename(temporary_.c_str(), destination_.c_str()) != 0) error = lastError();
  }
  if (error != 0) std::remove(temporary_.c_str());
  result_ = error;
  return result_;
}

}  // namespace quarvel
