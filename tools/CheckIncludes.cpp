// orvane-check-includes ROOT: checks every source file of the repository's src/, tools/ and demo/
// against the include rules table of ROOT/docs/architecture.md. A file may include the headers of
// its own folder and of what its folder's row allows; a folder whose row says "no" to Qt includes
// no Qt header. Every source folder needs a row. Prints one line per broken rule and exits with 1
// when there is any.
//
// The table is the one under the heading "## Include rules": rows of
//   | `folder` | `allowed`, `allowed`, ... | yes/no |
// where an allowed entry is a folder (its subfolders included) or a single header.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A file or the rules table that cannot be read.
class CheckError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct FolderRule {
    std::vector<std::string> allowed; // folders and single headers, as includes name them
    bool qt = false;
};

using Rules = std::map<std::string, FolderRule>;

std::string readFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw CheckError("cannot read " + file.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The backticked names of a table cell.
std::vector<std::string> namesIn(const std::string& cell)
{
    static const std::regex quoted("`([^`]+)`");
    std::vector<std::string> names;
    for (auto it = std::sregex_iterator(cell.begin(), cell.end(), quoted); it != std::sregex_iterator(); ++it)
        names.push_back((*it)[1]);
    return names;
}

Rules readRules(const fs::path& architecture)
{
    std::istringstream lines(readFile(architecture));
    static const std::regex row(R"(^\|\s*`([^`]+)`\s*\|([^|]*)\|\s*(yes|no)\b.*\|\s*$)");
    Rules rules;
    bool inSection = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("## "))
            inSection = line == "## Include rules";
        std::smatch match;
        if (inSection && std::regex_match(line, match, row))
            rules[match[1]] = {namesIn(match[2]), match[3] == "yes"};
    }
    if (rules.empty())
        throw CheckError(architecture.string() + " has no include rules table under \"## Include rules\"");
    return rules;
}

// The rule folder of a file: the longest row that is the file's folder or one above it.
const std::string* ruleFolderOf(const Rules& rules, const std::string& folder)
{
    const std::string* best = nullptr;
    for (const auto& [name, rule] : rules) {
        if ((folder == name || folder.starts_with(name + "/")) && (best == nullptr || name.size() > best->size()))
            best = &name;
    }
    return best;
}

bool allows(const std::string& ruleFolder, const FolderRule& rule, const std::string& include)
{
    if (include.starts_with(ruleFolder + "/"))
        return true;
    return std::ranges::any_of(
        rule.allowed, [&](const std::string& entry) { return include == entry || include.starts_with(entry + "/"); });
}

std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text.empty() ? "nothing outside itself" : text;
}

// The problems of one file, one line each.
std::vector<std::string> checkFile(const fs::path& root, const fs::path& file, const std::string& folder,
                                   const Rules& rules)
{
    const std::string* ruleFolder = ruleFolderOf(rules, folder);
    const std::string where = fs::relative(file, root).string();
    if (ruleFolder == nullptr)
        return {where + ": the folder " + folder + " has no row in the include rules"};
    const FolderRule& rule = rules.at(*ruleFolder);
    static const std::regex quotedInclude(R"re(^\s*#\s*include\s*"([^"]+)")re");
    static const std::regex qtInclude(R"(^\s*#\s*include\s*<(Q[A-Za-z]|Qt)[^>]*>)");
    std::vector<std::string> problems;
    std::istringstream lines(readFile(file));
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        std::smatch match;
        const std::string at = where + ":" + std::to_string(number) + ": ";
        if (std::regex_search(line, match, quotedInclude) && match[1].str().find('/') != std::string::npos &&
            !allows(*ruleFolder, rule, match[1]))
            problems.push_back(at + "includes " + match[1].str() + "; " + *ruleFolder + " may include " +
                               joined(rule.allowed));
        else if (!rule.qt && std::regex_search(line, qtInclude))
            problems.push_back(at + "includes a Qt header; " + *ruleFolder + " is built without Qt");
    }
    return problems;
}

bool isSource(const fs::path& file)
{
    const std::string extension = file.extension().string();
    return extension == ".cpp" || extension == ".h";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: orvane-check-includes REPOSITORY_ROOT\n";
        return 2;
    }
    try {
        const fs::path root = argv[1];
        const Rules rules = readRules(root / "docs" / "architecture.md");
        std::vector<std::string> problems;
        // Files under src/ are named by their folder below src/; tools/ and demo/ by their own name.
        const std::vector<std::pair<fs::path, fs::path>> trees{
            {root / "src", root / "src"}, {root / "tools", root}, {root / "demo", root}};
        for (const auto& [tree, base] : trees) {
            for (const auto& entry : fs::recursive_directory_iterator(tree)) {
                if (!entry.is_regular_file() || !isSource(entry.path()))
                    continue;
                const std::string folder = fs::relative(entry.path().parent_path(), base).generic_string();
                for (std::string& problem : checkFile(root, entry.path(), folder, rules))
                    problems.push_back(std::move(problem));
            }
        }
        for (const auto& [folder, rule] : rules) {
            const fs::path path = folder == "tools" || folder == "demo" ? root / folder : root / "src" / folder;
            if (!fs::is_directory(path))
                problems.push_back("docs/architecture.md: the include rules name " + folder + ", which is no folder");
        }
        std::ranges::sort(problems);
        for (const std::string& problem : problems)
            std::cout << problem << "\n";
        if (!problems.empty())
            std::cout << problems.size() << " include rule(s) broken; the rules are in docs/architecture.md\n";
        return problems.empty() ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "orvane-check-includes: " << e.what() << "\n";
        return 2;
    }
}
