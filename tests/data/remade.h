// Test helper: the generator's books run again into a folder of their own, their files compared
// with the build's run folder and with the committed manifest's lines of the books' folders.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/common/temp_base_folder.h"
#include "tools/datagen/datagen.h"

namespace morna::test {

inline std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// files: how many the books make.
inline void ExpectRemadeAsCommitted(const std::vector<datagen::RecipeBook*>& books, size_t files) {
    const TempBaseFolder folder("morna-datagen");
    std::string error;
    ASSERT_TRUE(datagen::Generate(books, {MORNA_SOURCE_DIR, folder.Path(), folder.Path() + "/manifest.txt"}, error)) << error;
    // Manifest lines by path, the committed ones only of the books' folders.
    auto lines = [&](const std::string& text, bool filter) {
        std::map<std::string, std::string> byPath;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            const std::string path = line.substr(0, line.find(' '));
            const bool ours = std::any_of(books.begin(), books.end(), [&](datagen::RecipeBook* b) {
                std::string prefix = std::string(b->Folder()) + "\\";
                std::replace(prefix.begin(), prefix.end(), '\\', '/');
                return path.rfind(prefix, 0) == 0;
            });
            if (ours || !filter) byPath[path] = line;
        }
        return byPath;
    };
    const auto made = lines(FileText(folder.Path() + "/manifest.txt"), false);
    const auto committed = lines(FileText(std::string(MORNA_SOURCE_DIR) + "/tools/datagen/manifest.txt"), true);
    EXPECT_EQ(made.size(), files);
    for (const auto& [path, line] : made) {
        EXPECT_EQ(line, committed.count(path) ? committed.at(path) : "(none)")
            << "an asset changed: run datagen with --manifest tools/datagen/manifest.txt and review the change";
        // The build's own run wrote the same bytes.
        EXPECT_EQ(FileText(folder.Path() + "/" + path), FileText(std::string(MORNA_RUN_DIR) + "/" + path)) << path;
    }
    EXPECT_EQ(made.size(), committed.size());
}

}  // namespace morna::test
