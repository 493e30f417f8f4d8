#include "game/files/text_tables.h"

#include <cstdio>
#include <cstring>
#include <type_traits>

#include "foundation/auxiliary/string_scanner.h"
#include "foundation/vtl/text_output_stream.h"
#include "framework/image_loader.h"
#include "framework/list_field.h"
#include "game/files/text_file.h"
#include "game/ids.h"

using KestraneGameBase2::CImageLoader;
using KestraneGameBase2::ForEachListLine;
using KestraneGameBase2::ReadListCommaInt;
using KestraneGameBase2::ReadListField;
using tovarineGameSDK3rd::VTL::VTLstring;

namespace {

// One or two comma-separated numbers of a field; *second is left alone when there is no comma.
void CommaPair(const VTLstring& field, int32_t* first, int32_t* second) {
    const char* p = field.c_str();
    *first = static_cast<int32_t>(ReadListCommaInt(&p));
    if (std::strchr(field.c_str(), ',') != nullptr) *second = static_cast<int32_t>(ReadListCommaInt(&p));
}

// Pages of text lines joined by "\n": Add appends a line, Close ends the page (a page
// without text is dropped).
template <class Page>
struct PageCollector {
    std::vector<Page>& pages;
    Page page{};
    bool hasText = false;
    VTLstring& Text(Page& p) {
        if constexpr (std::is_same_v<Page, VTLstring>) {
            return p;
        } else {
            return p.text;
        }
    }
    void Add(const VTLstring& line) {
        if (hasText) Text(page) += "\n";
        Text(page) += line;
        hasText = true;
    }
    void Close(Page next = Page{}) {
        if (hasText) pages.push_back(std::move(page));
        page = std::move(next);
        hasText = false;
    }
};

}  // namespace

void ParseBossParts(std::string_view text, std::vector<SBossBlock>& table) {
    table.clear();
    SBossBlock block;
    bool cut = false;
    auto close = [&] {
        if (!block.steps.empty()) table.push_back(std::move(block));
        block = SBossBlock{};
    };
    ForEachListLine(text, [&](const VTLstring& line) {
        if (line.empty()) return;
        const char* p = line.c_str();
        if (line[0] == '#') {
            close();
            ++p;
            ReadListField(&p);  // the label
            const VTLstring pair = ReadListField(&p);
            const char* q = pair.c_str();
            block.value1 = static_cast<int32_t>(ReadListCommaInt(&q));
            block.value2 = static_cast<int32_t>(ReadListCommaInt(&q));
            int64_t first = 0, total = 0;
            int32_t x = 0, duration = 0;  // a step without a duration repeats the one before
            while (*p != '\0') {
                const VTLstring field = ReadListField(&p);
                if (block.steps.size() == kMaxBossSteps) {
                    cut = true;
                    break;
                }
                CommaPair(field, &x, &duration);
                if (block.steps.empty()) first = x;
                total += duration;
                SBossStep step;
                step.x = static_cast<int32_t>(block.steps.empty() ? first : first + x);
                step.endTime = static_cast<int32_t>(total);
                block.steps.push_back(std::move(step));
            }
            block.totalTime = static_cast<int32_t>(total);
            return;
        }
        if (ReadListField(&p).empty()) return;
        if (block.partOn.size() == kMaxBossPartRows) {
            cut = true;
            return;
        }
        block.partOn.push_back(ReadListField(&p) == "on");
        std::pair<int32_t, int32_t> values{0, 0};  // an empty field or number repeats the one before
        for (SBossStep& step : block.steps) {
            const VTLstring field = ReadListField(&p);
            if (!field.empty()) CommaPair(field, &values.first, &values.second);
            step.partValues.push_back(values);
        }
    });
    close();
    if (cut) tovarineGameSDK3rd::GetErrorLog().Out("bossparts.txtのブロックが大きすぎるため切り詰めた");
}

size_t BossStepAt(const SBossBlock& block, int32_t frame) {
    size_t k = 0;
    while (k + 1 < block.steps.size() && block.steps[k].endTime <= frame) ++k;
    return k;
}

void LoadBossParts(std::vector<SBossBlock>& table) {
    ReadTextFile("data\\text\\bossparts.txt", [&](std::string_view text) { ParseBossParts(text, table); });
}

void ParseHelp(std::string_view text, std::vector<VTLstring>& pages) {
    PageCollector<VTLstring> c{pages};
    ForEachListLine(text, [&](const VTLstring& line) { line.empty() ? c.Close() : c.Add(line); });
    c.Close();
}

int LoadHelp(std::vector<VTLstring>& pages) {
    if (!pages.empty()) return 0;
    return ReadTextFile("data\\text\\help.txt", [&](std::string_view text) { ParseHelp(text, pages); });
}

void ParseTalk(std::string_view text, std::vector<STalkPage>& pages) {
    pages.clear();
    PageCollector<STalkPage> c{pages};
    ForEachListLine(text, [&](const VTLstring& line) {
        if (line.empty()) return;
        if (line[0] == '/') {
            c.Close(STalkPage{VTLstring(line.c_str() + 1, line.size() - 1), VTLstring()});
        } else {
            c.Add(line);
        }
    });
    c.Close();
}

int ReadTalk(int32_t id, std::vector<STalkPage>& pages) {
    char name[40];
    std::snprintf(name, sizeof name, "data\\text\\talk%02d.txt", id);
    return ReadTextFile(name, [&](std::string_view text) { ParseTalk(text, pages); });
}

void ParseFaces(std::string_view text, FaceMap& faces) {
    ForEachListLine(text, [&](const VTLstring& line) {
        if (line.empty()) return;
        const char* p = line.c_str();
        const VTLstring name = tovarineGameSDK3rd::Auxiliary::CStringScanner::GetStrTo(&p, ',');
        if (*p == ',') ++p;
        SFace face;
        face.image = static_cast<uint16_t>(ReadListCommaInt(&p));
        face.column = static_cast<uint8_t>(ReadListCommaInt(&p));
        face.row = static_cast<uint8_t>(ReadListCommaInt(&p));
        faces.emplace(name, face);
    });
}

int LoadFaces(FaceMap& faces) {
    if (!faces.empty()) return 0;
    return ReadTextFile("data\\text\\face.txt", [&](std::string_view text) { ParseFaces(text, faces); });
}

namespace {

// Calls fn(image id) for every picture of one cut-in record: its image plus each frame.
template <class Fn>
void ForEachRecordImage(const SEffectKind& record, Fn&& fn) {
    for (int32_t f : record.frames) fn(static_cast<int32_t>(int64_t{record.image} + f));
}

// Calls fn(image id) for every picture of the layer records of a cut-in: records id to
// id + n - 1, those that exist.
template <class Fn>
void ForEachCutinImage(const std::vector<SEffectKind>& cutins, int32_t id, Fn&& fn) {
    int32_t n = 0;
    switch (id) {
        case Cutin::kSkillBlast: n = 4; break;
        case Cutin::kBoss1Finale: n = 3; break;
        case Cutin::kFinisher:
        case Cutin::kBoss0Hammer:
        case Cutin::kBoss2Special:
        case Cutin::kBoss3Finale: n = 2; break;
        default: break;
    }
    for (int32_t r = id; r < id + n && r < static_cast<int32_t>(cutins.size()); ++r) ForEachRecordImage(cutins[r], fn);
}

}  // namespace

void LoadCutinRecord(const std::vector<SEffectKind>& cutins, int32_t record) {
    if (record < 0 || record >= static_cast<int32_t>(cutins.size())) return;
    ForEachRecordImage(cutins[record], [](int32_t image) { CImageLoader::GetImage(image); });
}

int32_t PreloadCutin(const std::vector<SEffectKind>& cutins, int32_t id, tovarineGameSDK3rd::Timer::IClock& clock) {
    const uint32_t begin = clock.Now();
    ForEachCutinImage(cutins, id, [](int32_t image) { CImageLoader::GetImage(image); });
    return static_cast<int32_t>((clock.Now() - begin) / 60);
}

void ReleaseCutin(const std::vector<SEffectKind>& cutins, int32_t id) {
    ForEachCutinImage(cutins, id, [](int32_t image) { CImageLoader::GetInstance().Release(image); });
}

void TrimImageCache() {
    CImageLoader& loader = CImageLoader::GetInstance();
    for (int32_t id : {6, 16, 17, 18, 31, 41, 32, 42, 33, 43}) loader.Release(id);
    for (const auto& [from, to] : {std::pair{50, 54}, {60, 79}, {80, 99}, {300, 360}}) {
        for (int32_t id = from; id <= to; ++id) loader.Release(id);
    }
}
