#pragma once
// CGameResource: the play state of the running game, built once by the main loop and kept for
// the whole run. It holds the data tables, the ranking, the scene, the objects, the player's
// gauges, the boss fight, the stage progress, the camera with its effects and the replay log;
// every scene, object and draw reaches the game through it. Application thread only.
//
// Its members are public records: the scenes, the in-game frame and the objects read and
// write them directly, as one state.
#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <utility>
#include <vector>

#include "draw/fast_plane.h"
#include "draw/surface.h"
#include "draw/text_fast_plane.h"
#include "foundation/math/rand.h"
#include "foundation/timer/clock.h"
#include "foundation/vtl/smart_ptr.h"
#include "framework/key_control.h"
#include "game/files/kind_tables.h"
#include "game/files/ranking_entry.h"
#include "game/files/stage_map.h"
#include "game/files/stage_progress.h"
#include "game/files/text_tables.h"
#include "game/ids.h"
#include "game/objects/objects.h"
#include "game/play/boss_record.h"
#include "game/play/player_status.h"
#include "game/widgets/message_window.h"
#include "game/widgets/select_window.h"

class CKeyControl;

struct SPendingSpawn {
    int32_t delay = 0;  // frames
    tovarineGameSDK3rd::VTL::smart_ptr<CObjectBase> object;
};

struct SChainTrailEntry {
    double x = 0;
    double y = 0;
    uint8_t angle = 0;
};

struct SKillScore {
    int32_t x = 0;
    int32_t y = 0;
    int32_t points = 0;
    int32_t code = 0;
};

// What tests set in place of the machine's clock, wall clock, seeds and data files.
struct SGameResourceSetup {
    tovarineGameSDK3rd::Timer::IClock* clock = nullptr;  // null: the system clock
    std::function<int64_t()> wallClock;                  // seconds since 1970; empty: the system's
    std::optional<uint32_t> playSeed;  // both seedings of the play generator
    std::optional<uint32_t> bossSeed;
    std::optional<uint32_t> drawSeed;
    const SKindTables* kinds = nullptr;  // null: data\text\effect.txt and data.txt
    const std::vector<SBossBlock>* bossParts = nullptr;  // null: data\text\bossparts.txt
};

class CGameResource : public KestraneGameBase2::CBltSupport {
public:
    using ObjectPtr = tovarineGameSDK3rd::VTL::smart_ptr<CObjectBase>;
    using EffectPtr = tovarineGameSDK3rd::VTL::smart_ptr<CObjectEffect>;

    static constexpr int32_t kScreenWidth = 640;
    static constexpr int32_t kScreenHeight = 480;
    static constexpr size_t kKeyLogReserve = 108000;  // 30 minutes at 60 frames a second

    explicit CGameResource(const tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl>& keys,
                           const SGameResourceSetup& setup = SGameResourceSetup());
    ~CGameResource() override;

    // ---- what the main loop calls
    // Enters a scene (any but the gallery playback) with its menu, music and key repeat
    // (game/scenes/scene.cpp).
    virtual void SetMode(Scene mode);
    // One frame: the work every scene shares, then the scene's step.
    virtual void UpdateScene(KestraneGameBase2::SKey& key);
    // Opens the pause menu when a game is being played.
    virtual void Pause();
    // A new game: also the state behind the title screen.
    virtual void ResetGame();
    // The frame's picture: the cut-in screen, a black screen or the play field (game/screen/draw_frame.cpp).
    virtual void Draw(tovarineGameSDK3rd::Draw::ISurface* surface);
    // Set by the title menu's exit entry; the loop ends right after the scene step.
    bool IsExitRequested() const { return exitRequest; }
    void RequestExit() { exitRequest = true; }
    Scene GetMode() const { return scene; }
    // The message for the player when the data leave no game to play (no hero or barriers
    // in data\text\data.txt); null when the game can run.
    const char* GetStartError() const;

    // ---- scenes (game/scenes/scene.cpp, game/scenes/scene_sequences.cpp)
    static constexpr int32_t kMusicFade = 16;  // frames a track fades out before the next one
    // The text objects leave the effect list.
    void RemoveTextObjects();
    // What every change of scene does: the text objects removed, the head-up display sliding
    // in, the message window cleared and hidden, drops refused, the scene set.
    void EnterScene(Scene n);
    void UpdateGameOverMenu(KestraneGameBase2::SKey& key);
    // The ending; true once it has returned to the title.
    bool UpdateEnding(KestraneGameBase2::SKey& key);
    // One frame of a conversation; true on the frame it ends.
    bool UpdateTalk(KestraneGameBase2::SKey& key);
    // One frame of the how-to-play pages; true on the frame they end.
    bool UpdateHowToPlay(KestraneGameBase2::SKey& key);
    // Empties the object, pending-spawn, effect, cut-in and (unless kept) background effect
    // lists and the boss vector.
    void ClearObjectLists();
    // Shows a conversation once per game (the talk scene); a conversation shown before, or one
    // that cannot be read, goes on to the scripted wait when resume is set.
    void LoadTalk(Talk talk, bool resume);
    // The how-to-play pages (read once) from their first page: 0, or 1 when unreadable.
    int LoadHelp();
    int LoadFaces();
    // Loads the pictures of cut-in id; the frames the load took are skipped after it.
    void PreloadCutin(int32_t id);
    void ReleaseCutin(int32_t id);

    // ---- cut-ins and the flash (game/screen/cutin.cpp)
    // The zoom and the layers of cut-in id (any id zooms); releaseOthers first drops the
    // pictures of every cut-in.
    void StartCutin(int32_t id, bool releaseOthers);
    // A 30-frame flash of the whole screen in that colour.
    void StartFlash(uint8_t red, uint8_t green, uint8_t blue);

    // ---- records
    void ResetBossRecord();
    // Appends the fixed sequence of 23 item kinds to the drop list.
    void BuildItemDropList();
    // The next item kind of the drop list: lowers the drop counter by 50 and moves the
    // cursor on, wrapping at the end.
    uint8_t NextDropItem();

    // ---- camera
    // The view's top-left: scroll plus shake, truncated toward zero.
    void GetCameraOrigin(int32_t& x, int32_t& y) const;
    // A world centre into a sprite's screen top-left (16-bit wrap); jitter shakes x at random.
    void ToScreenTopLeft(int16_t& x, int16_t& y, int32_t width, int32_t height, bool jitter);
    void GetViewRect(tovarineGameSDK3rd::Draw::Rect& rect, int32_t margin) const;
    // The rectangle that confines the player.
    void GetScrollBounds(tovarineGameSDK3rd::Draw::Rect& rect) const;

    // ---- screen effects, once a frame
    void StartFadeIn(int32_t frames);
    void StartFadeOut(int32_t frames);
    void UpdateFade();
    void UpdateShake();
    void UpdateHudSlide();

    // ---- in-game frame (game/play/play_frame.cpp)
    // One logic frame of the world: the keys (logged, or replaced from the log while a replay
    // plays, unless skipKeyLog) steer the hero or the barrier; then the boss fight, the
    // objects, the damage they recorded and the barrier's bursts. A cut-in freezes the rest.
    void PlayFrame(KestraneGameBase2::SKey* keys, bool skipKeyLog);
    // True while the steered body flashes from a hit: the keys then move nothing. Clears the
    // flash of the body that is not steered.
    bool IsControlLocked();
    // The barrier in control; throws CNullPointerException when its holder is empty.
    CObjectBarrier& ActiveBarrier();
    // Takes the player's movement out of the keys: a walk to (x, y).
    void MovePlayerTo(int32_t x, int32_t y, double speed, double acceleration);
    // One frame of the scripted move: true while it runs (the keys are then ignored).
    bool UpdateScriptedMove();
    void PredictPlayerPosition(double& x, double& y, int32_t frames) const;

    // ---- frame drawing (game/screen/draw_frame.cpp) and the head-up display (game/screen/hud.cpp)
    // The play field with everything on it; the cut-in screen paints its snapshot with it.
    void DrawPlayField(tovarineGameSDK3rd::Draw::ISurface* target);
    // The fill under the field; true when the field is hidden (the game over's black).
    bool ClearBackground(tovarineGameSDK3rd::Draw::ISurface* target);
    // Image 41 + stage, wrapping once to its left edge.
    void DrawStageBackground(tovarineGameSDK3rd::Draw::ISurface* target);
    // The finisher's band of light about the hero; sparks at random from the drawing generator.
    void DrawSkillEffect(tovarineGameSDK3rd::Draw::ISurface* target);
    // The talk's dark band or face, and the message window.
    void DrawOverlays(tovarineGameSDK3rd::Draw::ISurface* target);
    // The darkened snapshot of the field, then the cut-in's zoom or its layers.
    void DrawCutinScreen(tovarineGameSDK3rd::Draw::ISurface* target);
    void DrawRankingHighlight(tovarineGameSDK3rd::Draw::ISurface* target);
    void DrawHud(tovarineGameSDK3rd::Draw::ISurface* target);
    // "x1.5": the sign, the units, the point, the tenths and a hundredths digit other than 0.
    static void DrawMultiplier(tovarineGameSDK3rd::Draw::ISurface* target, int32_t x, int32_t y, uint8_t alpha,
                               double m);
    // The sign, then the digits without leading zeros (the sign alone for 0).
    static void DrawNumber(tovarineGameSDK3rd::Draw::ISurface* target, int32_t x, int32_t y, int32_t value,
                           uint8_t alpha);

    // ---- object passes (game/play/object_passes.cpp)
    // Motion, sub-stepped moves with their collisions, the scroll carry, friction and the
    // four effect lists; once a frame, after every object's Update.
    void UpdateObjectLists();
    // obj against every object of another type on the list, then the floor limit.
    void CollideWithOthers(CObjectBase* obj);
    // obj against every terrain piece on the list.
    void CollideWithLand(CObjectBase* obj);
    // Updates each effect of the list on the 640 x 480 screen, erasing those that end.
    void UpdateEffectList(std::list<EffectPtr>& list);
    void CopyBossMotionToSegments();
    // Each segment's centre under the body, by half its kind's hit height.
    void PlaceSegmentsOnBody();

    // ---- play-field update (game/play/play_field.cpp)
    // The boss fight's frame: damage into HP and meters, the defeat, the intro and defeat
    // sequences, and the scripts (mid-bosses 12 and 14 here).
    void UpdatePlayField();

    // ---- player damage, barrier and skills (game/play/player_status.cpp)
    // delta < 0 is damage, > 0 healing; scaled applies the boss fight's damage scale. HP
    // below 1 ends the game (or a replay), unless invincible.
    void DamagePlayer(int32_t delta, bool scaled);
    // The barrier is held this frame: raising it costs 150, holding it 50 a frame.
    void StartBarrier();
    // The barrier is not held this frame: it goes down and, 30 frames on, the energy returns.
    void UpdateBarrierEnergy();
    // Energy + delta, overloading below 0 (or at once while the boss is in pose 27).
    void SpendBarrierEnergy(int32_t delta);
    // A target on screen and a gauge of at least 2800.
    bool CanUseSkill();
    // The finisher on the last stage with a full gauge, else the blast.
    void UseSkill(bool withCutin);
    // The frames of a running skill.
    void SkillBlast();
    void SkillFinisher();
    // HP - 3 x the hero's power - max HP: the finisher's damage, 0 or below.
    int32_t GetFinishMargin() const;

    // ---- the boss fight's story (game/scenes/boss_story.cpp)
    // True once the intro has finished.
    bool BeginBossFight();
    // True once the defeat sequence has finished.
    bool EndBossFight();
    // The beaten boss greyed, faded and sinking over frames.
    void ShowBossDefeat(int32_t frames);

    // ---- boss scripts (game/play/boss0.cpp .. boss3.cpp)
    // Boss 0's parts, height segments, face and hammer pictures, after its body.
    void BuildFirstBoss();
    void RunBoss0();
    void RunBoss1();
    void RunBoss2();
    void RunBoss3();

    // The local date and time into an entry's six date bytes.
    void StampLocalTime(SRankingEntry& entry) const;

    // ---- stage flow (game/play/stage.cpp)
    // The enemies' difficulty: the live stage, 0..2.
    int32_t GetDifficulty() const;
    // The live record back to a stage's start (its stage kept); the field emptied, the hero
    // kept where it stands on the screen.
    void ResetStageProgress();
    // Reads stage n and builds its first columns: up to 21 behind the next map column as
    // terrain, then that column in full.
    void StartStage(int32_t stage);
    // The one start of play, from a stored record: a new game, a retry, a replay.
    void StartGame(SStageProgress record);
    // The view's centre column and the height profile's ground under it.
    void GetGroundPoint(tovarineGameSDK3rd::Draw::Point& point) const;
    // The hero squeezed between walls: hurt and put back on the ground.
    void RescueCrushedPlayer();
    // Once a frame: the vertical follow, the scroll speed, the scroll and the next map column.
    void UpdateScroll();
    // Once a frame: the background's fade, scroll and vertical follow.
    void UpdateBackground();
    // One attempt at an ambient background particle at x.
    void UpdateAmbientEffects(int32_t x);
    // Ambient particles across the whole screen; they are kept from here on.
    void SpawnAmbientEffects();
    // Once a frame: the pending spawns whose delay has run out join the object list.
    void UpdatePendingSpawns();
    // Items, enemies, shots and blocks leave the field; the pending spawns are dropped.
    void EraseFieldObjects();

    // ---- map-column spawner (game/play/map_spawner.cpp)
    // The objects of map column `column` just beyond the view's right edge; terrainOnly
    // rebuilds a column left behind (no enemies, crystals, numbered blocks or events).
    void SpawnMapColumn(int32_t column, bool terrainOnly);

    // ---- stage events (game/play/stage_events.cpp)
    // The stage's next event, from the "!" marker at map pixel (x, y); always false.
    bool UpdateStageEvents(int32_t x, int32_t y);
    // The continue point: the live record, with half the score as its carry.
    void SaveCheckpoint();

    // ---- object factories (game/objects/factories.cpp)
    // Each builds one object on its kind record, holds it on its list and hands it back for
    // setting up; null, and nothing made, when the index is beyond its table. A delay above
    // 0 parks the object on the pending-spawn list for that many frames. Positions are the
    // centre: world pixels for objects and land effects, screen pixels for the other effects.
    // A negative effect lifetime is one animation cycle of the kind.
    CObjectBoss* CreateBoss(int32_t index, int32_t x, int32_t y, bool pose9);
    CObjectBossParts* CreateBossParts(int32_t index, int32_t x, int32_t y, bool pose9);
    CObjectEnemy* CreateEnemy(int32_t index, int32_t x, int32_t y, int32_t delay);
    CObjectEnemyShadow* CreateEnemyShadow(int32_t index, int32_t x, int32_t y, int32_t delay);
    CObjectCrystal* CreateCrystal(int32_t x, int32_t y);
    CObjectItem* CreateItem(int32_t index, int32_t x, int32_t y);
    CObjectShot* CreateShot(int32_t index, int32_t x, int32_t y, int32_t delay);
    CObjectShotShadow* CreateShotShadow(int32_t index, int32_t x, int32_t y);
    CObjectReflect* CreateReflect(const SObjectKind* kind, int32_t x, int32_t y);
    // An unknown name builds block kind 0.
    CObjectBlock* CreateBlockByName(const tovarineGameSDK3rd::VTL::VTLstring& name, int32_t x, int32_t y,
                                    int32_t delay);
    CObjectBlock* CreateBlock(int32_t index, int32_t x, int32_t y, int32_t delay);
    CObjectBlockShadow* CreateBlockShadow(int32_t index, int32_t x, int32_t y);
    CObjectLand* CreateLand(int32_t index, int32_t x, int32_t y);
    CObjectJelly* CreateJelly(int32_t x, int32_t y);
    // A pudding of terrain record index (the map's four kinds), centred on (x, y).
    CObjectPudding* CreatePudding(int32_t index, int32_t x, int32_t y);
    CObjectEffect* CreateEffect(int32_t id, int32_t lifetime, double x, double y);
    // The lifetime as given: a negative one never runs out.
    CObjectEffect* CreateBackEffect(int32_t id, int32_t lifetime, double x, double y);
    // Null unless the effect table has an entry 6.
    CObjectENumber* CreateScoreNumber(double x, double y);
    CObjectCutin* CreateCutin(int32_t index, int32_t x, int32_t y, int32_t lifetime, int32_t startDelay);
    CObjectFont* CreateFont(int32_t lifetime, double x, double y);
    CObjectEffectLand* CreateEffectLandByName(const tovarineGameSDK3rd::VTL::VTLstring& name, int32_t lifetime,
                                              double x, double y);
    CObjectEffectLand* CreateEffectLand(int32_t id, int32_t lifetime, double x, double y);
    CObjectEffectLandShadow* CreateEffectLandShadow(int32_t id, int32_t lifetime, double x, double y);
    CObjectEffect* CreateFrontEffect(int32_t id, int32_t lifetime, double x, double y);


    // ---- score chain (game/play/score_chain.cpp)
    // A kill for the score chain; code 5 is paid at once. Negative points scale with the stage.
    void QueueKillScore(int32_t points, int32_t code, int32_t x, int32_t y);
    // Once a play frame: the display timers, and the chain paid 8 frames after its last kill.
    void FlushScoreQueue();
    // Pays points with a score number at the screen point of the world point (x, y).
    void AddScore(int32_t points, int32_t x, int32_t y);
    // The boss-defeat bonus: overtime lowers the first part, the HP left scales the second.
    void AddBossBonus();
    // gauge += delta, within 0..10000.
    void AddGauge(int32_t delta);

    // ---- items, shots and bursts (game/play/items_shots.cpp)
    // The next item of the drop list at (x, y).
    void SpawnNextItem(int32_t x, int32_t y);
    // One item thrown from (x, y), its direction chosen by its height; a max-HP or max-MP
    // item already taken comes as kind 6.
    void SpawnItem(int32_t x, int32_t y, uint8_t kind);
    // A collected item's effect on the player, with its popup text and sound.
    void ApplyItem(uint8_t kind);
    // The picture of a drop-list item chosen by r: -1 and an empty rectangle for a kind the
    // table lacks.
    void PickItemPicture(uint32_t r, int32_t& image, tovarineGameSDK3rd::Draw::Rect& rect) const;
    // One enemy shot at (x, y), only when the point is in the view; images > 0 gives it a trail.
    void FireShots(int32_t kind, double x, double y, uint8_t angle, int32_t images, double speed);
    // One enemy shot at the hero, only from a point in the view.
    void FireAimedShot(int32_t kind, double x, double y, double speed);
    // The world point within the view: the camera origin to origin + (639, 479).
    bool IsInView(double x, double y) const;
    // The firing sound of shot kind k + 4.
    void PlayShotSound(int32_t k);
    // A reflector sent back from the shot: first toward the hero, then accelerating away.
    void ReflectShot(const CObjectShot& shot);
    CObjectEffect* CreateEffectAtWorld(int32_t id, int32_t lifetime, double x, double y);
    // Sixteen sparkles over a w x h area centred on the world point, then their sound.
    void SpawnBurst(int32_t w, int32_t h, double x, double y);
    // A burst over twice the object's hit box.
    void SpawnBurstAt(const CObjectBase& object);

    // ---- questions about the field (game/play/field_queries.cpp)
    // The second barrier while the magic timer runs, else the first; null when that holder is empty.
    CObjectBarrier* GetActiveBarrier();
    // Terrain pieces of kind index whose truncated centre lies in rect leave.
    void RemoveLandOfKind(uint16_t index, const tovarineGameSDK3rd::Draw::Rect& rect);
    // A shot or a mortal enemy on the screen.
    bool AnyEnemyOnScreen() const;
    // The boss body's hit box within the view less margin.
    bool IsBossOnScreen(int32_t margin) const;
    // The truncated centres' distance, truncated.
    int32_t DistanceToPlayer(const CObjectBase& object) const;
    // Chances and numbers from the hero's (and the boss body's) position: no generator draw.
    bool PositionChance(uint32_t percent) const;
    uint32_t PositionRandom(uint32_t n) const;
    bool IsAboveViewCentre(double y) const;

    // ---- contact (game/objects/collision.cpp)
    // Moves the hero by the push-outs recorded this frame and keeps it inside the scroll
    // bounds; with crushCheck, a hero squeezed against the view's left edge is rescued.
    void ConfinePlayer(CObjectAvatar* hero, bool crushCheck);

    // ---- block group (game/objects/block_think.cpp): the kind-13 blocks on the field as one
    // group that completes when every one of them has been struck (phase 2 or more).
    // Both flags are written; a complete group is told so (phase 3).
    void CheckBlockGroup(bool& anyFound, bool& allStruck);
    // The group back to unstruck; its kind-17 blocks and enemies 71 and 72 leave.
    void ResetBlockGroup();

    // ---- ranking (game/scenes/ranking_screen.cpp) and replays (game/play/replay_log.cpp)
    // The five-character grade label of a score ("[SSS]" .. "  [D]").
    static const char* GradeText(uint32_t score);
    // One row of the ranking screen; isNew marks the row just entered.
    static tovarineGameSDK3rd::VTL::VTLstring RankingLine(const SRankingEntry& entry, bool isNew);
    // The ranking screen's text objects; newPlace marks the row just entered (-1 none).
    void ShowRanking(int32_t newPlace);
    // "save\" + grade label + the six date bytes as two digits each + ".rpl".
    static tovarineGameSDK3rd::VTL::VTLstring MakeReplayFileName(const SRankingEntry& entry);
    // save\ranking.sav into the list: 0 read, 1 unreadable, 2 damaged (the list stays).
    int32_t LoadRanking();
    // True on failure; the old file then stays whole.
    bool SaveRanking();
    // Inserts a finished game and saves the ranking and the game's replay: its place 0-9,
    // or -1 when it does not enter (a score of 0 never does). An entry pushed off the end
    // takes its replay file with it.
    int32_t EnterRanking(const SRankingEntry& entry);
    // The replay header and key log; true on failure.
    bool SaveReplay(const tovarineGameSDK3rd::VTL::VTLstring& name);
    // Plays a replay file: 0 started, -1 cannot be opened, 1 damaged, 2 not a replay. Each
    // failure shows its error box and leaves the play state as it was but for an emptied
    // key log (1 and 2).
    int32_t LoadReplay(const tovarineGameSDK3rd::VTL::VTLstring& name);
    // Once per play frame: appends the frame's keys to the log, or, while a replay plays,
    // replaces them with the logged ones; the log's end fades to a new game.
    void RecordKeys(KestraneGameBase2::SKey& key);

    // ---- boss fight (game/play/boss_fight.cpp; the part layout game/play/boss_layout.cpp)
    // A new fight with boss id: the record reset, HP and gauge 10000, the stage stopped, the
    // player's and the active barrier's motion cleared; the stage bosses (0-3) also refill the
    // barrier energy and end the item timers.
    void StartBossRecord(int32_t id);
    void FillBossTrail(int32_t x, int32_t y, uint8_t angle);
    // The body turns to the player: true when it now looks right; false without a boss.
    bool FaceBossToPlayer();
    // The player turns to the body (unless it is hidden, pose 1); looks right without a boss.
    void FacePlayerToBoss();
    // Queues an action: the player's gauge +5, the idle countdown ended.
    void PushBossAction(int32_t action);
    // Drops the running action (if any); step, last step and wait start again.
    void PopBossAction();
    // Selects animation n of the table; 1 and 3 alternate with 2 and 4 when those exist.
    void SetBossAnimation(uint8_t n);
    bool IsBossAnimationRunning() const;
    // The body's centre; the view's centre, shaken, without a boss.
    void GetBossPosition(double* x, double* y) const;
    uint8_t GetBossFacing() const;
    bool IsBossFacingRight() const;
    // v when the body looks right, else -v (also without a boss).
    double SignByBossFacing(double v) const;
    // Only while HP > 0: HP + n, at most the maximum, at least 1.
    void AddBossHp(int32_t n);
    // A point around the view's centre on the far side from the boss.
    void GetEvadePoint(int32_t* x, int32_t* y, int32_t offset) const;
    // Half the held part's hit width plus half the body's; 0 without a held part.
    int32_t GetBossPartSpacing() const;
    // Keeps the held part in the body's hand while the cooldown runs, else hides it.
    void PlaceHeldPart();
    // Bosses 2 and 3: the snapped parts onto the body's centre.
    void SnapPartsToBody();
    // A flinching body is kept within the view.
    void KeepBossOnScreen();
    // After the defeat: the undying objects removed at once, the boss containers emptied and
    // the record reset.
    void ClearBossFight();
    // The body's picture, then the stage pictures 60 to 361, out of the image list.
    void ReleaseStageImages();
    // Keeps the boss's pieces in formation: the body rides its height segment, boss 12's
    // chain follows the head, boss 0 is posed from the animation table. Nothing at HP 0 or
    // less unless evenWhenDefeated.
    void UpdateBossChain(bool evenWhenDefeated);

    // ---- data tables (read-only after start-up)
    SKindTables kinds;
    std::vector<SEffectKind> textKind;  // one record: the one every text object uses
    std::vector<uint8_t> itemDropList;
    uint8_t dropCursor = 0;
    std::vector<tovarineGameSDK3rd::VTL::VTLstring> helpPages;
    std::vector<STalkPage> talkPages;
    FaceMap faces;

    // ---- ranking and run control
    std::list<SRankingEntry> ranking;  // best first, at most 10
    uint32_t rankingCount = 0;
    int32_t rankingRow = 0;  // under the ranking scene's cursor
    bool exitRequest = false;
    int32_t framesToSkip = 0;  // after a long load the scene step rests this long
    tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl> keyControl;
    CMessageWindow messageWindow;  // talks, help and notices
    CSelectWindow selectWindow;    // the menu of every scene
    // One generator for the play and its effects: every draw of the logic comes from it in a
    // fixed order, which replays repeat. The boss scripts have their own.
    tovarineGameSDK3rd::Math::CRand playRand;
    tovarineGameSDK3rd::Math::CRand bossRand;
    // Drawing's own generator: the number of frames drawn never shifts the logic's draws.
    tovarineGameSDK3rd::Math::CRand drawRand;

    // ---- scene and objects
    Scene scene = Scene::kTitle;
    static constexpr double kGravity = 0.1225;
    double gravity = kGravity;  // added to vy each frame; a boss's fall lifts it for a while
    tovarineGameSDK3rd::VTL::smart_ptr<CObjectAvatar> player;
    tovarineGameSDK3rd::VTL::smart_ptr<CObjectBarrier> barriers[2];
    std::list<ObjectPtr> objects;
    std::list<SPendingSpawn> pendingSpawns;
    std::list<EffectPtr> effects;
    std::list<EffectPtr> backEffects;  // drawn first
    std::list<EffectPtr> cutins;       // a cut-in runs while this is not empty
    std::list<EffectPtr> landEffects;  // effects that test the terrain
    std::list<EffectPtr> frontEffects;  // drawn last
    std::vector<ObjectPtr> bossObjects;  // the body first, then its parts
    int32_t bossIndex = 0;
    std::vector<ObjectPtr> bossSegments;
    std::vector<tovarineGameSDK3rd::VTL::smart_ptr<IObjectDraw>> rankingRowObjects;
    tovarineGameSDK3rd::Draw::CFastPlane snapshotPlane;  // the field behind a cut-in
    uint8_t keepSnapshot = 0;
    uint32_t cutinScreenFrames = 0;  // cut-in screens drawn; only drawing reads it
    tovarineGameSDK3rd::Draw::CTextFastPlane hudTextPlane;
    uint8_t hudFlags[2] = {0, 0};

    // ---- player, boss fight
    SPlayerStatus status;
    SBossFight boss;
    std::vector<SBossBlock> bossAnimations;  // bossparts.txt
    std::vector<SChainTrailEntry> chainTrail;
    uint8_t chainCoils = 0;
    double chainExtension = 0;
    std::vector<ObjectPtr> afterimageParts;
    ObjectPtr specialPart;
    std::vector<SKillScore> killScores;
    int32_t killScoreTimer = 0;  // 8 frames between payouts
    int32_t timeLimit = 0;       // frames
    int32_t fightStartHp = 0;
    uint8_t bossAura = 0;  // boss 3's power-up glow for the drawing, 0..32
    // The head-up display's pop-ups of the score chain and the boss bonus, in this order.
    enum ScoreDisplay : int32_t {
        kBonusPopup,      // frames left of the x1.5 of a kill paid at once
        kSpecialPopup,    // ... of a special kill in a chain
        kChainPopup,      // ... of the chain's multiplier
        kChainCount,      // kills in the last chain, less one
        kTimeBonusPopup,  // the boss bonus's first part: frames left, value
        kTimeBonusValue,
        kLifeBonusPopup,  // its second part
        kLifeBonusValue,
    };
    int32_t scoreChainDisplay[8] = {};

    // ---- stage progress
    SStageProgress progress;
    SStageProgress checkpoint;  // copied at stage starts; the game-over retry starts from it
    SStageProgress replayHeader;

    // ---- stage and camera
    int32_t verticalScrollRange = 0;  // extra map height of a vertically scrolling stage
    int32_t eventTimer = 0;
    uint32_t talksShown = 0;  // bit i: talk i was shown in this game
    struct SScriptedMove {
        int32_t targetX = -1;  // -1: no move
        int32_t targetY = -1;
        double acceleration = 1.0;
        double speed = 1.0;
        uint8_t brakeStarted = 0;
        int32_t frameBudget = 0;
    } move;
    int32_t verticalScrollTarget = -1;  // -1 none; else scroll y moves toward it
    int32_t backgroundOpacityStep = 0;
    double backgroundScrollX = 0;
    double backgroundScrollY = 0;
    uint8_t keepEffects = 1;  // the background effects survive a stage reset
    uint8_t backgroundTint = 0;
    int32_t hudSlideSpeed = 1;  // > 0 slides in, < 0 out
    int32_t hudOffset = -48;    // -48 hidden .. 0 shown
    int32_t hudBlink = 0;       // 16 bits
    int32_t finisherDisplay = 0;  // the finisher's damage so far, for the head-up display
    int32_t flashCounter = 0;
    int32_t flashDuration = 0;
    uint8_t flashR = 0, flashG = 0, flashB = 0;
    int32_t fadeCounter = -1;
    int32_t fadeDuration = -1;
    int32_t fadeDirection = 0;  // +1 out, -1 in, 0 done
    int32_t cutinId = 0;
    int32_t cutinFocusX = 0;
    int32_t cutinFocusY = 0;
    int32_t cutinZoom = 0;
    uint8_t halfFade = 0;  // the fade stops at half darkness
    int32_t shakeX = 0;    // offsets added to the camera
    int32_t shakeY = 0;
    int32_t shakeCounterX = 0;  // a shake starts by setting one
    int32_t shakeCounterY = 0;
    SStageMap stageMap;
    int32_t talkPage = 0;
    int32_t talkPageFrame = 0;
    int32_t talkPageCount = 0;
    int32_t talkId = 0;
    SFace talkFace;
    uint8_t talkResume = 0;  // the talk's end goes to the scripted wait, not to play
    int32_t scriptedWait = 0;
    uint16_t rankingBlink = 0;
    uint8_t rankingByte = 255;
    int32_t gameOverCounter = 0;
    int32_t blackOutCounter = 0;
    bool replayPlaying = false;
    std::vector<uint8_t> keyLog;  // one byte per play frame
    int32_t keyLogIndex = 0;
    int32_t galleryPanX = 0;
    int32_t galleryPanY = 0;
    int32_t galleryValue = 0;
    tovarineGameSDK3rd::Draw::Rect galleryPan{};
    uint8_t galleryPlaying = 0;

protected:
    tovarineGameSDK3rd::Timer::IClock& clock_;
    std::function<int64_t()> wallClock_;

private:
    // ---- scene steps and their helpers (game/scenes/scene.cpp)
    // A frame of the world without the player's keys, unrecorded.
    void WorldFrame();
    // Directions repeat while held, buttons push once per press.
    void MenuRepeat();
    // One key's repeat, when the key control has that key.
    void SetKeyRepeat(KeyBit key, int32_t interval);
    // Opens the select window with its opening animation and the menu repeat.
    void OpenMenu(int32_t x, int32_t y, int32_t width, const char* items);
    void CloseMenu();
    // The message window of talks, help and the gallery: four lines of 600 pixels that stay.
    void LayOutPages(int32_t indent);
    void UpdateTitle(KestraneGameBase2::SKey& key);
    void UpdateRankingList(KestraneGameBase2::SKey& key);
    void UpdatePauseMenu(KestraneGameBase2::SKey& key);
    void UpdateScriptedWait();
    void UpdateGalleryMenu(KestraneGameBase2::SKey& key);
    void UpdateGallery(KestraneGameBase2::SKey& key);

    // The object list as the collision walks read it: each object with its type, in list
    // order. During the passes nothing leaves the list and what joins it joins at its end, so
    // the walks only ever append the list's new tail (game/play/object_passes.cpp).
    struct SListedObject {
        CObjectBase* object;
        int32_t type;
    };
    std::vector<SListedObject> listed_;
    bool passesRunning_ = false;
    // The list read afresh outside the passes, or its new tail appended during them.
    void SyncListed();
    // obj->Collide with every listed object whose type passes the filter, reaching objects
    // that join the list meanwhile.
    template <class Filter>
    void CollideWithListed(CObjectBase* obj, Filter filter);

    uint32_t Seed(const std::optional<uint32_t>& fixed) const;
    // Creates the hero and the barriers on section-0 records 0-2; false (and none) when the
    // table lacks them.
    bool CreatePlayer();
    // Boss objects by name in section 6, record 0 when absent (game/play/boss0.cpp).
    int32_t BossKind(const char* name) const;
    // The boss story's helpers (game/scenes/boss_story.cpp).
    void ReadyPlayer();
    // Scene 8, or 9 while a replay plays.
    void EnterEnding();
    // The title menu's extras, saved at once.
    void UnlockExtras();
};
