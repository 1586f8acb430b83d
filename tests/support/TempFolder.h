#pragma once
// A fresh folder under the system temporary folder for one test, removed with everything in it
// when the guard goes, also when the test fails halfway.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

namespace orvane::test {

inline void writeFile(const std::filesystem::path& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every file under folder whose name starts with prefix, each as its name, ":" and its content; ""
// when the folder does not exist. Tests read the logs a failure leaves this way.
inline std::string folderText(const std::filesystem::path& folder, std::string_view prefix = {})
{
    std::string text;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error))
        if (entry.is_regular_file() && entry.path().filename().string().starts_with(prefix))
            text += entry.path().filename().string() + ":" + readFile(entry.path());
    return text;
}

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvane-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::filesystem::filesystem_error("cannot create a temporary folder", pattern,
                                                    std::error_code(errno, std::generic_category()));
        path_ = pattern;
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    // Writes a file at a path relative to the folder, making its folders; answers its full path.
    std::filesystem::path write(const std::filesystem::path& relative, const std::string& content) const
    {
        const std::filesystem::path file = path_ / relative;
        std::filesystem::create_directories(file.parent_path());
        writeFile(file, content);
        return file;
    }

private:
    std::filesystem::path path_;
};

} // namespace orvane::test
