// The data set: read once by the game's own readers from the run folder, as the game finds it,
// and its committed files in the source tree split raw into fields for what the readers cannot
// show (field syntax, names that do not resolve, the sound lists).
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/auxiliary/file.h"
#include "framework/image_loader.h"
#include "game/files/kind_tables.h"
#include "game/files/stage_map.h"
#include "game/files/text_tables.h"
#include "platform/charset.h"
#include "platform/file_system.h"
#include "tests/common/file_bytes.h"

namespace morna::test {

struct DataSet {
    SKindTables kinds;
    SStageMap stages[4];
    std::vector<SBossBlock> boss;
    std::vector<tovarineGameSDK3rd::VTL::VTLstring> help;
    std::vector<STalkPage> talks[14];  // 1-13
    FaceMap faces;
    std::map<int32_t, tovarineGameSDK3rd::VTL::VTLstring> images;
    int failedLoads = 0;

    static const DataSet& Get() {
        static const DataSet set = [] {
            // The file layer finds data\ in the run folder while the set is read.
            using tovarineGameSDK3rd::Auxiliary::CFile;
            const tovarineGameSDK3rd::VTL::VTLstring saved = CFile::GetBaseDirectory();
            std::string base;
            EXPECT_TRUE(morna::platform::NameFromSystemPath(MORNA_RUN_DIR, base));
            CFile::SetBaseDirectory(base.c_str());
            DataSet d;
            d.failedLoads += LoadEffectTable(d.kinds) + LoadDataTable(d.kinds) + LoadHelp(d.help) + LoadFaces(d.faces);
            for (int s = 0; s < 4; ++s) d.failedLoads += LoadStageMap(s, d.kinds.objectNames[1], d.stages[s]);
            for (int t = 1; t <= 13; ++t) d.failedLoads += ReadTalk(t, d.talks[t]);
            LoadBossParts(d.boss);
            CFile list;
            if (list.Read("data\\image\\list.txt") != 0) ++d.failedLoads;
            KestraneGameBase2::CImageLoader::ReadList(list, d.images);
            CFile::SetBaseDirectory(saved);
            return d;
        }();
        return set;
    }
};

// The bytes of data/<path>.
inline std::string DataBytes(const std::string& path) {
    const std::vector<uint8_t> b = ReadBytes(std::string(MORNA_SOURCE_DIR) + "/data/" + path);
    return std::string(b.begin(), b.end());
}

// The lines of data/<path> without their CR LF, each split at sep (a line of nothing is one
// empty field).
using Fields = std::vector<std::string>;
inline std::vector<Fields> DataLines(const std::string& path, char sep) {
    std::vector<Fields> lines;
    std::istringstream in(DataBytes(path));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        Fields fields;
        std::istringstream l(line);
        for (std::string f; std::getline(l, f, sep);) fields.push_back(f);
        if (line.empty() || line.back() == sep) fields.emplace_back();
        lines.push_back(fields);
    }
    return lines;
}

// Shift-JIS text shown readably in a failure message.
inline std::string Utf8(std::string_view cp932) {
    if (cp932.empty()) return {};
    std::string out;
    return morna::platform::Cp932ToUtf8(cp932, out) ? out : std::string(cp932);
}

}  // namespace morna::test
