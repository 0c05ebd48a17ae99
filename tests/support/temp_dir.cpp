#include "support/temp_dir.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace pelmora::test {

// A random name, made only when no one has it: create_directory fails on an
// existing folder, so two tests never share one.
TempDir::TempDir()
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / ("pelmora-test-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(folder, error)) {
            path_ = folder;
            return;
        }
    }
    throw std::runtime_error("no temporary folder could be made");
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& content)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
}

std::size_t FilesIn(const std::filesystem::path& folder)
{
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++files;
    }
    return files;
}

} // namespace pelmora::test
