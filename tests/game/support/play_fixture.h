// Test support for the game: a play state with no window and no data files, on kind tables
// made in code, with fixed seeds and clocks, and an image list of plain pictures.
//
//   KindTableBuilder kinds;                 // section 0 already holds the hero and barriers
//   kinds.Object(1, "敵").hitWidth = 24;    // appended, numbered and named
//   PlayFixture play(kinds);                // seeds kPlaySeed, kBossSeed, kDrawSeed
//   play.images.Add(7, 32, 16);             // image 7 is a 32 x 16 picture
//   play.sounds.played                      // every sound effect requested, in order
//   play.settings.config.textShadow = true; // the settings record the game reads
//   play.game->MovePlayerTo(400, 240, 6.0, 1.0);
//   CObjectEnemy* e = play.game->CreateEnemy(0, 700, 240, 0);   // section 1, record 0
//   play.Run(10);                           // ten bare frames of the object list (bare_pass.h)
//
// The references Object, Effect and Cutin hand back are good until the next call on the
// builder. The display is XRGB8888; the image list is emptied before and after.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/files/key_control.h"
#include "game/play/game_resource.h"
#include "tests/common/fake_clock.h"
#include "tests/common/image_folder.h"
#include "tests/common/recording_sounds.h"
#include "tests/game/support/bare_pass.h"
#include "tests/game/support/fixture_settings.h"

namespace morna::test {

class KindTableBuilder {
public:
    KindTableBuilder() {
        Effect("dummy");
        for (int i = 0; i < 3; ++i) Object(0, i == 0 ? "hero" : "barrier");
    }

    // Appends a record to section 0-6; sections 1-6 name it.
    SObjectKind& Object(int section, const char* name) {
        std::vector<SObjectKind>& rows = tables_.objects[section];
        if (section > 0) RegisterName(tables_.objectNames[section], name);
        rows.emplace_back();
        rows.back().index = static_cast<uint8_t>(rows.size() - 1);
        return rows.back();
    }
    SEffectKind& Effect(const char* name) {
        RegisterName(tables_.effectNames, name);
        return tables_.effects.emplace_back();
    }
    SEffectKind& Cutin() { return tables_.cutins.emplace_back(); }

    const SKindTables& Tables() const { return tables_; }
    SKindTables& Tables() { return tables_; }

private:
    SKindTables tables_;
};

// The image list's pictures by id: plain rectangles of one colour.
class FixtureImages {
public:
    void Add(int32_t id, int width, int height, uint32_t colour = 0x808080) {
        const std::string name = std::to_string(id) + ".bmp";
        list_ += name + "," + std::to_string(id) + "\r\n";
        folder_.Write(name.c_str(), colour, list_, width, height);
    }
    const std::string& Path() const { return folder_.Path(); }

private:
    ImageFolder folder_;
    std::string list_;
};

struct PlayFixture {
    static constexpr uint32_t kPlaySeed = 1;
    static constexpr uint32_t kBossSeed = 2;
    static constexpr uint32_t kDrawSeed = 3;
    static constexpr int64_t kWallClock = 1523190896;  // 2018-04-08 12:34:56 UTC

    explicit PlayFixture(const KindTableBuilder& kinds = KindTableBuilder()) {
        SGameResourceSetup setup;
        setup.clock = &clock;
        setup.wallClock = [] { return kWallClock; };
        setup.playSeed = kPlaySeed;
        setup.bossSeed = kBossSeed;
        setup.drawSeed = kDrawSeed;
        setup.kinds = &kinds.Tables();
        setup.bossParts = &bossParts;
        game = std::make_unique<CGameResource>(tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl>(new CKeyControl), setup);
        game->SetHost(&settings);
    }

    void Run(int frames) { RunBareFrames(*game, frames); }
    // The ids of the sound effects played since the last call.
    std::vector<int32_t> TakeSoundIds() {
        std::vector<int32_t> ids;
        for (const SPlay& p : sounds.played) ids.push_back(p.id);
        sounds.played.clear();
        return ids;
    }

    FixtureImages images;  // first: it brings the display
    RecordingSE sounds{images.Path()};  // the sound-effect list on recording sounds
    FixtureSettings settings;
    FakeClock clock{1000};
    std::vector<SBossBlock> bossParts;
    std::unique_ptr<CGameResource> game;
};

}  // namespace morna::test
