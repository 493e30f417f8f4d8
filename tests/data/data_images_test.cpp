// The generated pictures: made again here and compared with the build's and the committed
// manifest; every listed image read through the game's image list at the size the tables
// and the design give it, with the drawing conventions the code relies on.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "draw/fast_draw.h"
#include "draw/fast_plane.h"
#include "framework/blt_support.h"
#include "game/objects/object_base.h"
#include "game/objects/objects.h"
#include "game/play/boss_record.h"
#include "tests/common/temp_base_folder.h"
#include "tests/data/data_set.h"
#include "tests/data/remade.h"
#include "tools/datagen/images.h"

namespace {

using KestraneGameBase2::CImageLoader;
using morna::test::DataSet;
using Size = std::pair<int, int>;

// The size every listed image must have. Sprite sheets follow the kind tables: cell times
// (highest frame + 1) columns and one row, unless the design gives a kind more columns
// (phase pictures, poses; kind 70 draws frame 1 in phase 1) or rows (facings, variants); the pictures that the code reads by
// fixed rectangles have the design's fixed sizes.
std::map<int32_t, Size> ExpectedSizes(const SKindTables& k) {
    std::map<int32_t, Size> size = {
        {0, {256, 352}},   {1, {256, 136}},   {2, {256, 128}},   {3, {144, 192}},   {4, {384, 384}},  {5, {384, 384}},
        {6, {256, 128}},   {11, {256, 64}},   {15, {144, 48}},   {16, {240, 80}},   {17, {640, 160}}, {18, {100, 320}},
        {21, {64, 96}},    {31, {32, 32}},    {32, {32, 32}},    {33, {192, 32}},   {34, {32, 32}},   {35, {64, 32}},
        {36, {32, 32}},    {37, {96, 32}},    {38, {576, 128}},  {39, {864, 256}},  {40, {80, 64}},   {41, {1280, 480}},
        {42, {1280, 768}}, {43, {1280, 768}}, {44, {1280, 480}}, {87, {192, 176}},  {89, {512, 128}}, {90, {480, 192}},
        {316, {384, 192}}, {340, {384, 480}}, {341, {240, 320}}, {342, {128, 128}}, {343, {384, 960}}, {344, {144, 64}},
        {345, {128, 560}}, {347, {288, 304}}, {603, {84, 6}},
        {624, {96, 224}},  {639, {32, 32}}};
    for (int id = 300; id < 310; ++id) size[id] = {384, 364};
    for (int id = 320; id < 336; ++id) size[id] = {192, 96};
    const std::map<int, int> columns = {{103, 4}, {105, 4}, {107, 4}, {108, 4}, {109, 4}, {110, 4}, {119, 5}, {120, 5},
                                        {126, 3}, {127, 3}, {147, 4}, {170, 2}, {153, 5}, {154, 5}, {160, 2}, {173, 4}, {184, 8},
                                        {185, 8}, {212, 2}, {219, 2}, {606, 10}, {622, 4}, {633, 8}, {664, 3}, {688, 7},
                                        {689, 7}};
    const std::map<int, int> rows = {{106, 2}, {111, 2}, {112, 2}, {167, 2}, {168, 2}, {169, 2}, {170, 2}, {171, 2},
                                     {172, 2}, {173, 2}, {184, 2}, {185, 2}, {215, 2}, {217, 2}, {218, 2}, {601, 14},
                                     {602, 14}, {604, 4}, {605, 4}, {653, 8}, {654, 8}, {655, 8}, {656, 8}, {677, 8},
                                     {665, 3}};
    auto sheet = [&](int id, int cw, int ch, int highest) {
        if (size.count(id)) return;
        const int n = columns.count(id) ? columns.at(id) : highest + 1;
        size[id] = {cw * n, ch * (rows.count(id) ? rows.at(id) : 1)};
    };
    for (int s = 1; s <= 3; ++s)
        for (const SObjectKind& o : k.objects[s]) {
            const int highest = o.frames.empty() ? 0 : *std::max_element(o.frames.begin(), o.frames.end());
            sheet(o.image, o.cellWidth, o.cellHeight, highest);
        }
    for (const auto* table : {&k.effects, &k.cutins})
        for (const SEffectKind& e : *table) {
            if (e.image <= 0) continue;
            if (e.srcX == -1) {  // whole pictures; a cut-in's frames are successive images
                for (int32_t f : e.frames.empty() ? std::vector<int32_t>{0} : e.frames) size[e.image + f] = {e.cellWidth, e.cellHeight};
                continue;
            }
            const int highest = e.frames.empty() ? 0 : *std::max_element(e.frames.begin(), e.frames.end());
            sheet(e.image, e.cellWidth, e.cellHeight, highest);
        }
    return size;
}

using tovarineGameSDK3rd::Draw::Rect;

Rect WholePicture(int32_t id) {
    int w = 0, h = 0;
    CImageLoader::GetImage(id).GetSize(&w, &h);
    return Rect{0, 0, w, h};
}

// fn(i) for the index of every pixel of area within a picture w wide and h high.
template <class Fn>
void ForEachPixel(const Rect& area, int w, int h, Fn&& fn) {
    for (int y = std::max(area.top, 0); y < std::min(area.bottom, h); ++y)
        for (int x = std::max(area.left, 0); x < std::min(area.right, w); ++x) fn(size_t(y) * w + x);
}

// One place that the game draws additively: an area of a picture, and the picture that a
// defeat greys before it (-1: none).
struct AdditiveDraw {
    int32_t image = 0;
    Rect area{};
    std::string path;
    int32_t greyed = -1;
};

// Every additive draw of the game, from the kind tables and the boss animations: object kinds in
// mode "add" (also their after-images), the segments of a chain (cells 1 on, frame time -3) and a
// boss's motes (-6), shot 2 doubled and shots 17 and 18 flashing cell 0 in pose 3, effects and
// cut-in layers in mode "add" or of the frame times that always add, the sheets the code adds by
// their ids, and each defeat that greys its boss (boss 2 walks off instead): the body's kind
// picture greyed, then the body and, for the bosses after the four stage bosses, every part
// added. A kind reaches every cell right of and below its first.
std::vector<AdditiveDraw> AdditiveDraws(const SKindTables& k, const std::vector<SBossBlock>& animations) {
    std::vector<AdditiveDraw> draws;
    const auto from = [](int32_t image, int32_t x, int32_t y) {
        Rect r = WholePicture(image);
        r.left = x, r.top = y;
        return r;
    };
    const auto cell = [](const SObjectKind& o, int32_t f) {
        Rect r{f, 0, 0, 0};
        CellRect(o, r, o.image);
        return r;
    };
    const auto name = [](int s, const SObjectKind& o) { return "kind " + std::to_string(s) + "." + std::to_string(o.index); };
    for (int s = 0; s < SKindTables::kObjectSections; ++s)
        for (const SObjectKind& o : k.objects[s]) {
            if (o.image < 0) continue;
            if (o.blend == 2) draws.push_back({o.image, from(o.image, o.srcX, o.srcY), name(s, o) + " (add)"});
            if (s == 1 && o.frameTime == -3) draws.push_back({o.image, from(o.image, cell(o, 1).left, o.srcY), name(s, o) + " (chain)"});
            if (s == 6 && o.frameTime == -6) draws.push_back({o.image, from(o.image, o.srcX, o.srcY), name(s, o) + " (motes)"});
        }
    const std::vector<SObjectKind>& shots = k.objects[2];
    if (shots.size() > 2)
        for (uint8_t f : shots[2].frames) draws.push_back({shots[2].image, cell(shots[2], f), "kind 2.2 (doubled)"});
    for (size_t i : {17, 18})
        if (i < shots.size()) draws.push_back({shots[i].image, cell(shots[i], 0), name(2, shots[i]) + " (pose 3)"});
    for (size_t i = 0; i < k.effects.size(); ++i) {
        const SEffectKind& e = k.effects[i];
        if (e.image <= 0 || (e.blend != 2 && e.frameTime != -8 && e.frameTime != -2 && e.frameTime != -5)) continue;
        draws.push_back({e.image, e.srcX == -1 ? WholePicture(e.image) : from(e.image, e.srcX, e.srcY), "effect " + std::to_string(i)});
    }
    for (size_t i = 0; i < k.cutins.size(); ++i) {
        const SEffectKind& e = k.cutins[i];
        if (e.image <= 0 || (e.blend != 2 && e.frameTime != -1 && e.frameTime != -3 && e.frameTime != -5)) continue;
        for (int32_t f : e.frames.empty() || e.srcX != -1 ? std::vector<int32_t>{0} : e.frames) {
            const int32_t id = e.image + f;
            const Rect r = e.srcX == -1 ? WholePicture(id) : Rect{e.srcX, e.srcY, e.srcX + e.cellWidth, e.srcY + e.cellHeight};
            draws.push_back({id, r, "cut-in " + std::to_string(i)});
        }
    }
    for (int32_t id : {2, 17, 18, 87}) draws.push_back({id, WholePicture(id), "the code's sheet " + std::to_string(id)});
    // The defeats by boss id: the body and the parts that its intro creates, by their names.
    struct Fight {
        int32_t id;
        std::vector<const char*> names;
    };
    const Fight fights[] = {{0, {"ポロちゃん"}},
                            {1, {"リュミナ"}},
                            {3, {"セレスタ"}},
                            {12, {"炎龍本体", "炎龍胴"}},
                            {14, {"ケーキ上段", "ケーキ中段", "ケーキ下段"}}};
    const auto kind = [&](const char* name) -> const SObjectKind& {
        return k.objects[6][static_cast<size_t>(FindName(k.objectNames[6], name))];
    };
    for (const Fight& fight : fights) {
        const SObjectKind& body = kind(fight.names[0]);
        for (const char* part : fight.names) {
            const SObjectKind& o = kind(part);
            if (o.image <= 0) continue;
            AdditiveDraw d{o.image, from(o.image, o.srcX, o.srcY), name(6, o) + " " + morna::test::Utf8(part) + " (defeat)", body.image};
            if (fight.id == 0 && &o == &body && o.frameTime == -1) {
                // Boss 0's body shows the picture of its animation's step, held from the defeat
                // animation's first frame, whatever picture its kind names.
                const SBossBlock& defeat = animations.at(kDefeatAnimation);
                d.image = defeat.steps.at(BossStepAt(defeat, 0)).x;
                d.area = WholePicture(d.image);
            }
            draws.push_back(d);
        }
    }
    return draws;
}

// The build's pictures in its run folder, read through the image list as the game reads them
// (the run folder is the base directory while the suite runs).
class GeneratedImages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        DataSet::Get();
        saved_ = tovarineGameSDK3rd::Auxiliary::CFile::GetBaseDirectory();
        std::string base;
        ASSERT_TRUE(morna::platform::NameFromSystemPath(MORNA_RUN_DIR, base));
        tovarineGameSDK3rd::Auxiliary::CFile::SetBaseDirectory(base.c_str());
        draw_ = std::make_unique<tovarineGameSDK3rd::Draw::CFastDraw>();
        draw_->GetDDraw()->SetDisplayMode(tovarineGameSDK3rd::Draw::XRGB8888, 64, 48);
        bool retry = false;
        ASSERT_EQ(draw_->GetPrimary()->CreatePrimary(&retry, 0, 0), 0);
        CImageLoader::GetInstance().ReleasePlanes();
        CImageLoader::GetInstance().CheckMemory(100, UINT64_MAX);
        CImageLoader::GetInstance().LoadList("data\\image");
    }
    static void TearDownTestSuite() {
        CImageLoader::GetInstance().ReleasePlanes();
        draw_.reset();
        tovarineGameSDK3rd::Auxiliary::CFile::SetBaseDirectory(saved_);
    }

    // The pixels of a loaded image as 0xAARRGGBB rows (alpha 255 for a plain surface).
    static std::vector<uint32_t> Pixels(int32_t id, int& w, int& h) {
        tovarineGameSDK3rd::Draw::ISurface& s = CImageLoader::GetImage(id);
        w = h = 0;
        s.GetSize(&w, &h);
        std::vector<uint32_t> px(size_t(w) * h);
        const auto* info = s.GetSurfaceInfo();
        if (!info->pixels) return {};
        const bool alpha = info->type == tovarineGameSDK3rd::Draw::ARGB8888;
        for (int y = 0; y < h; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(info->pixels + ptrdiff_t(y) * info->pitch);
            for (int x = 0; x < w; ++x) px[size_t(y) * w + x] = alpha ? row[x] : (row[x] | 0xFF000000u);
        }
        return px;
    }

    static tovarineGameSDK3rd::VTL::VTLstring saved_;
    static std::unique_ptr<tovarineGameSDK3rd::Draw::CFastDraw> draw_;
};
tovarineGameSDK3rd::VTL::VTLstring GeneratedImages::saved_;
std::unique_ptr<tovarineGameSDK3rd::Draw::CFastDraw> GeneratedImages::draw_;

TEST_F(GeneratedImages, TwoRunsWriteTheBytesOfTheCommittedManifest) {
    morna::datagen::ImageBook book;
    morna::test::ExpectRemadeAsCommitted({&book}, DataSet::Get().images.size());
}

TEST_F(GeneratedImages, EveryListedImageLoadsAtItsSizeWithItsKeyAndAlpha) {
    const std::map<int32_t, Size> expected = ExpectedSizes(DataSet::Get().kinds);
    for (const auto& [id, name] : DataSet::Get().images) {
        tovarineGameSDK3rd::Draw::ISurface& s = CImageLoader::GetImage(id);
        int w = 0, h = 0;
        ASSERT_EQ(s.GetSize(&w, &h), 0) << name.c_str();
        ASSERT_TRUE(expected.count(id)) << "no size known for " << name.c_str();
        EXPECT_EQ(Size(w, h), expected.at(id)) << name.c_str();
        const bool bitmap = std::string(name.c_str()).ends_with(".bmp");
        EXPECT_EQ(s.GetSurfaceType(), bitmap ? tovarineGameSDK3rd::Draw::XRGB8888 : tovarineGameSDK3rd::Draw::ARGB8888) << name.c_str();
        EXPECT_EQ(s.GetColorKey(), 0xFF00FFu) << name.c_str();
    }
    for (const auto& [id, wh] : expected) EXPECT_TRUE(DataSet::Get().images.count(id)) << "image " << id << " is not listed";
}

// A saturating add reads no colour key, and the doubled add and the faded add read no alpha
// either: wherever the game adds a picture, its empty pixels must be black (after a defeat's
// grey-out, which blackens the greyed picture's empty pixels).
TEST_F(GeneratedImages, NothingAddedCarriesAColourInItsEmptyPixels) {
    for (const AdditiveDraw& d : AdditiveDraws(DataSet::Get().kinds, DataSet::Get().boss)) {
        if (d.greyed >= 0) KestraneGameBase2::CBltSupport::MakeGray(CImageLoader::GetImage(d.greyed));
        tovarineGameSDK3rd::Draw::ISurface& s = CImageLoader::GetImage(d.image);
        const bool alpha = s.GetSurfaceType() == tovarineGameSDK3rd::Draw::ARGB8888;
        const uint32_t key = s.GetColorKey();
        int w = 0, h = 0;
        const std::vector<uint32_t> px = Pixels(d.image, w, h);
        size_t coloured = 0;
        ForEachPixel(d.area, w, h, [&](size_t i) {
            const uint32_t rgb = px[i] & 0xFFFFFF;
            coloured += alpha ? (px[i] >> 24 == 0 && rgb != 0) : rgb == key;
        });
        EXPECT_EQ(coloured, 0u) << "picture " << d.image << ", drawn by " << d.path;
        if (d.greyed >= 0) CImageLoader::GetInstance().Release(d.greyed);  // loaded again ungreyed
    }
}

// A keyed copy paints every pixel but the key colour. Every cell that the animation of a kind
// drawn keyed shows, over a whole cycle and the wrap (one frame of cell 0 once the counter is
// past the list), must hold the key colour wherever it is empty. Shot 2 is never drawn keyed
// (its draw adds it doubled).
TEST_F(GeneratedImages, NothingDrawnKeyedPaintsAnEmptyPixel) {
    const SKindTables& k = DataSet::Get().kinds;
    for (int s = 0; s < SKindTables::kObjectSections; ++s)
        for (const SObjectKind& o : k.objects[s]) {
            if (o.image < 0 || o.blend != 0 || static_cast<int16_t>(o.frameTime) < 1 || (s == 2 && o.index == 2)) continue;
            int w = 0, h = 0;
            const std::vector<uint32_t> px = Pixels(o.image, w, h);
            std::set<int32_t> shown;
            for (uint32_t t = 0; t <= o.frames.size() * uint32_t(o.frameTime); ++t) shown.insert(FrameOf(o, t));
            size_t painted = 0;
            for (int32_t f : shown) {
                Rect r{f, 0, 0, 0};
                CellRect(o, r, o.image);
                ForEachPixel(r, w, h, [&](size_t i) { painted += px[i] >> 24 == 0 && (px[i] & 0xFFFFFF) != 0xFF00FFu; });
            }
            EXPECT_EQ(painted, 0u) << "kind " << s << "." << int(o.index) << ", picture " << o.image;
        }
}

// The mines through their own draw over a coloured field, at every counter of their cycle, in
// their own pose and in pose 3, whose flash adds cell 0 every other four frames, on displays of
// both pixel sizes (the pictures load in the display's format): nothing outside the mine's shape
// (what any of its cells holds) changes, and the mine itself shows.
TEST_F(GeneratedImages, AMineDrawsNothingOutsideItsShape) {
    namespace draw = tovarineGameSDK3rd::Draw;
    struct Mine {
        SObjectKind kind;
        std::vector<bool> shape;
    };
    std::vector<Mine> mines;
    for (size_t index : {17, 18}) {
        Mine m{DataSet::Get().kinds.objects[2].at(index), {}};
        int w = 0, h = 0;
        const std::vector<uint32_t> px = Pixels(m.kind.image, w, h);
        const int cw = m.kind.cellWidth, ch = m.kind.cellHeight;
        m.shape.resize(size_t(cw) * ch);
        for (int y = 0; y < std::min(ch, h); ++y)
            for (int x = 0; x < w; ++x) m.shape[size_t(y) * cw + x % cw] = m.shape[size_t(y) * cw + x % cw] || px[size_t(y) * w + x] >> 24 != 0;
        mines.push_back(std::move(m));
    }
    for (int32_t type : {draw::XRGB8888, draw::RGB565}) {
        bool retry = false;
        draw_->GetDDraw()->SetDisplayMode(type, 64, 48);
        ASSERT_EQ(draw_->GetPrimary()->CreatePrimary(&retry, 0, 0), 0);
        CImageLoader::GetInstance().ReleasePlanes();
        for (Mine& m : mines) {
            const int cw = m.kind.cellWidth, ch = m.kind.cellHeight;
            draw::CFastPlane field;
            ASSERT_EQ(field.CreateMemorySurface(cw + 16, ch + 16, type, true), 0);
            auto pixel = [&](int x, int y) {
                uint32_t c = 0;
                field.GetSurfaceInfo()->GetPixel(x, y, &c);
                return c;
            };
            CObjectShot mine(&m.kind);
            mine.screenX = mine.screenY = 8;
            for (uint8_t pose : {0, 3})
                for (uint32_t t = 0; t <= m.kind.frames.size() * uint32_t(m.kind.frameTime); ++t) {
                    field.SetFillColor(0x3060A0);
                    field.Clear(nullptr);
                    const uint32_t before = pixel(0, 0);
                    mine.pose = pose, mine.animCounter = t;
                    mine.Draw(&field);
                    size_t changed = 0;
                    for (int y = 0; y < ch + 16; ++y)
                        for (int x = 0; x < cw + 16; ++x) {
                            const bool inside = x >= 8 && y >= 8 && x < cw + 8 && y < ch + 8 && m.shape[size_t(y - 8) * cw + x - 8];
                            changed += !inside && pixel(x, y) != before;
                        }
                    const std::string what = "kind 2." + std::to_string(m.kind.index) + ", pose " + std::to_string(pose) +
                                             ", counter " + std::to_string(t) + ", display type " + std::to_string(type);
                    EXPECT_EQ(changed, 0u) << what;
                    EXPECT_NE(pixel(8 + cw / 2, 8 + ch / 2), before) << what;
                }
        }
    }
    bool retry = false;  // the suite's display and pictures again
    draw_->GetDDraw()->SetDisplayMode(draw::XRGB8888, 64, 48);
    ASSERT_EQ(draw_->GetPrimary()->CreatePrimary(&retry, 0, 0), 0);
    CImageLoader::GetInstance().ReleasePlanes();
}

TEST_F(GeneratedImages, PicturesKeepTheConventionsTheDrawsRelyOn) {
    // The pixels that the game adds, by picture (a defeat's adds of greyed pictures aside).
    std::map<int32_t, std::vector<bool>> added;
    for (const AdditiveDraw& d : AdditiveDraws(DataSet::Get().kinds, DataSet::Get().boss)) {
        if (d.greyed >= 0) continue;
        const Rect whole = WholePicture(d.image);
        std::vector<bool>& mask = added[d.image];
        mask.resize(size_t(whole.right) * whole.bottom);
        ForEachPixel(d.area, whole.right, whole.bottom, [&](size_t i) { mask[i] = true; });
    }
    for (const auto& [id, name] : DataSet::Get().images) {
        int w = 0, h = 0;
        const std::vector<uint32_t> px = Pixels(id, w, h);
        // Empty pixels are the key colour where nothing adds them; added pixels are lit or
        // empty; no opaque pixel hides in the key colour.
        const bool bitmap = std::string(name.c_str()).ends_with(".bmp");
        const std::vector<bool>* mask = added.count(id) ? &added.at(id) : nullptr;
        size_t wrong = 0;
        for (size_t i = 0; i < px.size(); ++i) {
            const uint32_t a = px[i] >> 24, rgb = px[i] & 0xFFFFFF;
            const bool add = mask && (*mask)[i];
            wrong += (!add && a == 0 && rgb != 0xFF00FFu) || (add && a != 0 && a != 255) || (!bitmap && a != 0 && rgb == 0xFF00FF);
        }
        EXPECT_EQ(wrong, 0u) << name.c_str() << (mask ? " (added)" : "");
        if (id == 90) {
            EXPECT_TRUE(std::all_of(px.begin(), px.end(), [](uint32_t p) { return p >> 24 == 255; })) << "faces are copied plain";
        }
    }
    // HUD labels and icons stand on alpha 0 (op 14 and keyed draws): the corners of their rectangles.
    int w = 0, h = 0;
    const std::vector<uint32_t> score = Pixels(1, w, h);
    for (const auto& [x, y] : {Size{0, 0}, {106, 0}, {0, 19}, {0, 38}, {120, 38}, {0, 57}, {0, 81}, {255, 135}})
        EXPECT_EQ(score[size_t(y) * w + x] >> 24, 0u) << "image 1 at " << x << "," << y;
    const std::vector<uint32_t> ui = Pixels(0, w, h);
    for (const auto& [x, y] : {Size{0, 0}, {0, 64}, {144, 64}, {0, 224}, {0, 288}, {96, 288}})
        EXPECT_EQ(ui[size_t(y) * w + x] >> 24, 0u) << "image 0 at " << x << "," << y;
    // Boss 0's after-images take mallet 320 + (picture - the block's first picture).
    for (const SBossBlock& block : DataSet::Get().boss)
        for (const SBossStep& step : block.steps)
            EXPECT_TRUE(DataSet::Get().images.count(320 + step.x - block.steps[0].x)) << "mallet for picture " << step.x;
    // Backgrounds wrap: the last column meets the first no harder than the hardest half percent
    // of neighbouring columns meet.
    for (int32_t id : {41, 42, 43, 44}) {
        const std::vector<uint32_t> bg = Pixels(id, w, h);
        auto step = [&](int a, int b) {
            int64_t sum = 0;
            for (int y = 0; y < h; ++y)
                for (int s = 0; s < 24; s += 8)
                    sum += std::abs(int((bg[size_t(y) * w + a] >> s) & 255) - int((bg[size_t(y) * w + b] >> s) & 255));
            return sum;
        };
        std::vector<int64_t> steps;
        for (int x = 0; x + 1 < w; ++x) steps.push_back(step(x, x + 1));
        std::sort(steps.begin(), steps.end());
        EXPECT_LE(step(w - 1, 0), steps[steps.size() * 995 / 1000]) << "background " << id;
    }
}

TEST(Datagen, AListedFileWithoutARecipeOrARecipeNotListedStopsIt) {
    morna::test::TempBaseFolder source("morna-datagen-src");
    std::filesystem::create_directories(source.Path() + "/data/image");
    morna::datagen::ImageBook book;
    for (const auto& [list, message] : {std::pair{"i000.tvg,0\r\ni999.tvg,999\r\n", "data\\image\\list.txt: i999.tvg (id 999) has no recipe"},
                                        std::pair{"i001.tvg,1\r\n", "the recipe of id 0 is not listed in data\\image\\list.txt"}}) {
        std::ofstream(source.Path() + "/data/image/list.txt", std::ios::binary) << list;
        std::string error;
        EXPECT_FALSE(morna::datagen::Generate({&book}, {source.Path(), source.Path() + "/out", ""}, error));
        EXPECT_EQ(error, message);
        EXPECT_FALSE(std::filesystem::exists(source.Path() + "/out"));
    }
}

}  // namespace
