// The folders' layering as the README states it, held against every
// `#include "folder/..."` of the code.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

using Layering = std::map<std::string, std::set<std::string>>;

// The table of the README's Layout: "    folder -> other other ...".
Layering readLayering(const fs::path& readme) {
    Layering layering;
    std::ifstream in(readme);
    const std::regex row(R"(^    ([a-z_]+) +-> *([a-z_ ]*)$)");
    for (std::string line; std::getline(in, line);) {
        std::smatch match;
        if (!std::regex_match(line, match, row)) continue;
        std::set<std::string>& allowed = layering[match[1]];
        std::istringstream others(match[2]);
        for (std::string other; others >> other;)
            allowed.insert(other);
    }
    return layering;
}

// Every include of another folder that the layering does not allow, as
// "file:line includes folder/...". Folders the table does not name are
// not looked at; a folder may always include its own files.
std::vector<std::string> forbiddenIncludes(const fs::path& root, const Layering& layering) {
    const std::regex include(R"(^\s*#\s*include\s+"([a-z_]+)/)");
    std::vector<std::string> found;
    for (const auto& [folder, allowed] : layering) {
        std::vector<fs::path> files;
        for (const fs::path& base : {root / "src" / folder, root / folder}) {
            if (!fs::is_directory(base)) continue;
            for (const auto& entry : fs::recursive_directory_iterator(base)) {
                const std::string extension = entry.path().extension().string();
                if (extension == ".h" || extension == ".cpp") files.push_back(entry.path());
            }
        }
        for (const fs::path& file : files) {
            std::ifstream in(file);
            int lineNumber = 0;
            for (std::string line; std::getline(in, line);) {
                ++lineNumber;
                std::smatch match;
                if (!std::regex_search(line, match, include)) continue;
                const std::string other = match[1];
                if (other == folder || allowed.contains(other)) continue;
                found.push_back(fs::relative(file, root).string() + ":" +
                                std::to_string(lineNumber) + " includes " + other + "/");
            }
        }
    }
    return found;
}

TEST(IncludeLayering, EveryIncludeFollowsTheReadmesTable) {
    const fs::path root = VELMORA_SOURCE_DIR;
    const Layering layering = readLayering(root / "README.md");
    ASSERT_GE(layering.size(), 10u) << "the README's layering table was not found";
    for (const char* folder :
         {"base", "interfaces", "model", "outside", "render", "disc", "workspace", "cli"})
        EXPECT_TRUE(layering.contains(folder)) << folder;
    std::set<std::string> present;
    for (const auto& entry : fs::directory_iterator(root / "src")) {
        if (entry.is_directory()) present.insert(entry.path().filename().string());
    }
    for (const std::string& folder : present)
        EXPECT_TRUE(layering.contains(folder)) << "src/" << folder << " is not in the table";

    const std::vector<std::string> forbidden = forbiddenIncludes(root, layering);
    EXPECT_TRUE(forbidden.empty())
        << forbidden.front() << " (and " << forbidden.size() - 1 << " more)";
}

TEST(IncludeLayering, AForbiddenIncludeIsNamed) {
    test::TemporaryFolder tree;
    const auto write = [&](const fs::path& file, const std::string& text) {
        fs::create_directories((tree.path() / file).parent_path());
        std::ofstream(tree.path() / file) << text;
    };
    write("README.md", "    base  -> \n    menu  -> base\n");
    write("src/base/a.h", "#include \"base/b.h\"\n#include <vector>\n");
    write("src/menu/m.cpp", "#include \"menu/m.h\"\n#include \"base/a.h\"\n");
    write("src/base/b.cpp", "// fine\n  #  include \"menu/m.h\"\n");
    const std::vector<std::string> forbidden =
        forbiddenIncludes(tree.path(), readLayering(tree.path() / "README.md"));
    EXPECT_EQ(forbidden, std::vector<std::string>{"src/base/b.cpp:2 includes menu/"});
}

}  // namespace
}  // namespace velmora
