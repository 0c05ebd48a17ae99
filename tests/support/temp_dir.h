#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace pelmora::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& content);
// How many entries `folder` holds: a replacement must leave no temporary behind.
std::size_t FilesIn(const std::filesystem::path& folder);

} // namespace pelmora::test
