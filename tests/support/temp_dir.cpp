#include "tests/support/temp_dir.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace rs::test {

TempDir::TempDir() {
#ifdef _WIN32
    // No mkdtemp: a name made unique by the clock and a counter, created
    // only when it did not exist.
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
        const auto p = std::filesystem::temp_directory_path() /
                       ("rs-test-" + std::to_string(tick) + "-" + std::to_string(++counter));
        std::error_code ec;
        if (std::filesystem::create_directory(p, ec))
            path_ = p.string();
    }
    if (path_.empty())
        throw std::runtime_error("no temporary folder could be made");
#else
    std::string tmpl = (std::filesystem::temp_directory_path() / "rs-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
#endif
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const {
    return path_in(path_, name);
}

std::string path_in(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

std::string TempDir::make_dir(const std::string& name) const {
    std::string p = file(name);
    std::filesystem::create_directories(p);
    return p;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void spit(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

}  // namespace rs::test
