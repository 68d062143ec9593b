#pragma once

#include <string>

namespace quarvel::test {

// A fresh, uniquely named folder under the system's temporary directory, removed
// with everything in it when the object goes out of scope.
//
//   TempFolder folder;
//   writeClassImage(folder.file("in.bmp"), {{1, 2}, {3, 4}});
class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  // The folder itself.
  const std::string& path() const { return path_; }
  // The path of a file called name inside the folder (the file is not created).
  std::string file(const std::string& name) const;

 private:
  std::string path_;
};

// Makes a folder the process's working folder for its lifetime, then goes back
// to the previous one (for code that writes into the working folder).
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::string& path);
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;
  ~WorkingFolder();

 private:
  std::string previous_;
};

}  // namespace quarvel::test
