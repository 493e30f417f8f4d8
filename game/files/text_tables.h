#pragma once
// The other text tables: the boss animation table (bossparts.txt), the how-to-play pages
// (help.txt), the conversations (talk%02d.txt) and their faces (face.txt); and the image-cache
// control around cut-ins and stage starts.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/timer/clock.h"
#include "foundation/vtl/vtl_string.h"
#include "game/files/kind_tables.h"

// ---- bossparts.txt: blocks of steps, each step with one value pair per part row.
struct SBossStep {
    int32_t x = 0;
    int32_t endTime = 0;  // the durations summed up to and including this step
    std::vector<std::pair<int32_t, int32_t>> partValues;
};
struct SBossBlock {
    int32_t value1 = 0;
    int32_t value2 = 0;
    int32_t totalTime = 0;
    std::vector<bool> partOn;
    std::vector<SBossStep> steps;
};
// The step a block shows at a frame of its run: the first whose time has not run out, the last
// once all have (0 for a block without steps).
size_t BossStepAt(const SBossBlock& block, int32_t frame);
// A block's steps and part rows are bounded; beyond, they are dropped with an error-log line.
constexpr size_t kMaxBossSteps = 64;
constexpr size_t kMaxBossPartRows = 64;
// Replaces the table with the blocks of the text.
void ParseBossParts(std::string_view text, std::vector<SBossBlock>& table);
// Reads data\text\bossparts.txt; a file that cannot be read leaves the table as it was.
void LoadBossParts(std::vector<SBossBlock>& table);

// ---- help.txt: pages of consecutive non-empty lines, joined by "\n".
void ParseHelp(std::string_view text, std::vector<tovarineGameSDK3rd::VTL::VTLstring>& pages);
// Once: 0 at once when pages are loaded, 1 when the file cannot be read, else 0.
int LoadHelp(std::vector<tovarineGameSDK3rd::VTL::VTLstring>& pages);

// ---- talk%02d.txt: a "/speaker" line starts a page; the other non-empty lines are its text.
struct STalkPage {
    tovarineGameSDK3rd::VTL::VTLstring speaker;  // "*": the narrator, no face
    tovarineGameSDK3rd::VTL::VTLstring text;     // lines joined by "\n"
};
// Replaces the pages with those of the text (a page without text is dropped).
void ParseTalk(std::string_view text, std::vector<STalkPage>& pages);
// Reads data\text\talk<id>.txt: 0, or 1 when it cannot be read (the pages untouched).
int ReadTalk(int32_t id, std::vector<STalkPage>& pages);

// ---- face.txt: "name,image,column,row"; the face is the 96 x 96 cell (column, row) of image.
struct SFace {
    uint16_t image = 0;
    uint8_t column = 0;
    uint8_t row = 0;
};
using FaceMap = std::map<tovarineGameSDK3rd::VTL::VTLstring, SFace>;
// Adds the entries of the text; a repeated name keeps its first entry.
void ParseFaces(std::string_view text, FaceMap& faces);
// Once: 0 at once when the map holds faces, 1 when the file cannot be read, else 0.
int LoadFaces(FaceMap& faces);

// ---- the image cache around cut-ins and stage starts.
// Loads every picture (image + frame) of the layer records of cut-in id that exist (4 layers
// for the skill blast's, 3 for boss 1's finale, 2 for the other moves', none for other ids).
// Answers the frames the play frame skips after the load: the milliseconds it took, divided by 60.
int32_t PreloadCutin(const std::vector<SEffectKind>& cutins, int32_t id,
                     tovarineGameSDK3rd::Timer::IClock& clock = tovarineGameSDK3rd::Timer::SystemClock());
// Loads the pictures of one cut-in record (image + frame), when the record exists.
void LoadCutinRecord(const std::vector<SEffectKind>& cutins, int32_t record);
// Releases the same pictures.
void ReleaseCutin(const std::vector<SEffectKind>& cutins, int32_t id);
// Releases the stage images that a new stage does not keep.
void TrimImageCache();
