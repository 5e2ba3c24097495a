#pragma once
// A temporary folder for one test, removed with everything in it afterwards.

#include <filesystem>
#include <string>

namespace rs::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // name inside path(), joined the way the system joins paths ("\\" on
    // Windows), so it compares equal to the paths the program forms.
    std::string file(const std::string& name) const;
    std::string make_dir(const std::string& name) const;

  private:
    std::string path_;
};

// name inside folder, joined the way the system joins paths.
std::string path_in(const std::string& folder, const std::string& name);

// Reads a whole file (empty text when missing).
std::string slurp(const std::string& path);
// Writes a whole file.
void spit(const std::string& path, const std::string& content);

}  // namespace rs::test
