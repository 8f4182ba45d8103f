#pragma once
// Whole files in and out, for tests that write a settings file and read back what the program made of it.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace tg::test {

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::filesystem::path& path, std::string_view text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace tg::test
