// A private folder for one test, benchmark or fuzz run.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zarn::test {

// A fresh folder with a unique name, removed with everything in it when the object goes.
// Unique names let the same test run in several build trees at once.
class TempDir {
public:
    // Made in `parent` (the system's temporary folder when empty), named `prefix` and six
    // random characters. Throws std::runtime_error when the folder cannot be made.
    explicit TempDir(std::string_view prefix = "zarn", const std::filesystem::path& parent = {});
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of `name` in the folder, as the string the core takes.
    std::string file(std::string_view name) const;
    // Writes `bytes` to `name` in the folder and returns the file's path.
    std::string write(std::string_view name, std::string_view bytes) const;
    // The bytes of `name` in the folder; empty when it cannot be read.
    std::string read(std::string_view name) const;

private:
    std::filesystem::path path_;
};

} // namespace zarn::test
