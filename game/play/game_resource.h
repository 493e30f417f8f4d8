#pragma once
// CGameResource: the play state, built once by the main loop and kept for the whole run: data
// tables, ranking, scene, objects, gauges, boss fight, stage, camera, replay log, mostly records
// of their own, which the scenes, objects and drawing read and write directly as one state.
// Application thread only.
#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <vector>

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
#include "game/play/backdrop.h"
#include "game/play/boss_formation.h"
#include "game/play/boss_record.h"
#include "game/play/cutin_screen.h"
#include "game/play/gallery_state.h"
#include "game/play/game_resource_setup.h"
#include "game/play/player_status.h"
#include "game/play/ranking_screen_state.h"
#include "game/play/replay_log.h"
#include "game/play/score_chain.h"
#include "game/play/screen_effects.h"
#include "game/play/scripted_move.h"
#include "game/play/talk_state.h"
#include "game/widgets/message_window.h"
#include "game/widgets/select_window.h"

class CKeyControl;

struct SPendingSpawn {
    int32_t delay = 0;  // frames
    tovarineGameSDK3rd::VTL::smart_ptr<CObjectBase> object;
};

class CGameResource : public KestraneGameBase2::CBltSupport {
public:
    using ObjectPtr = tovarineGameSDK3rd::VTL::smart_ptr<CObjectBase>;
    using EffectPtr = tovarineGameSDK3rd::VTL::smart_ptr<CObjectEffect>;
    using Surface = tovarineGameSDK3rd::Draw::ISurface;
    using Rect = tovarineGameSDK3rd::Draw::Rect;
    using VTLstring = tovarineGameSDK3rd::VTL::VTLstring;
    using Key = KestraneGameBase2::SKey;

    static constexpr int32_t kScreenWidth = 640, kScreenHeight = 480;

    explicit CGameResource(const tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl>& keys,
                           const SGameResourceSetup& setup = SGameResourceSetup());
    ~CGameResource() override;

    // ---- what the main loop calls
    virtual void SetMode(Scene mode);  // any but the gallery playback, with its menu, music, key repeat
    virtual void UpdateScene(Key& key);  // one frame: the work every scene shares, then the scene's step
    virtual bool Pause();  // the pause menu, when a game is being played; whether it opened
    virtual void ResetGame();  // a new game: also the state behind the title screen
    virtual void Draw(Surface* surface);  // the frame's picture: the cut-in screen, a black screen or the play field
    bool IsExitRequested() const { return exitRequest; }  // the loop ends right after the scene step
    void RequestExit() { exitRequest = true; }
    Scene GetMode() const { return scene; }
    const char* GetStartError() const;  // data.txt without hero or barriers; null when the game can run
    // The app that the play state and its windows read (settings, drops, screen changes) and ask for the
    // settings dialog, handed over by the main loop before the first frame; null: the defaults.
    void SetHost(IWindowHost* host);
    IWindowHost* GetHost() const { return host_; }
    const SGlobalConfig& Config() const { return HostConfig(host_); }

    // ---- scenes (game/scenes/scene.cpp, scene_sequences.cpp)
    static constexpr int32_t kMusicFade = 16;  // frames a track fades out before the next one
    void RemoveTextObjects();
    // Every change of scene: no text objects, the HUD sliding in, no message, drops refused.
    void EnterScene(Scene n);
    void UpdateGameOverMenu(Key& key);
    bool UpdateEnding(Key& key);     // true once it has returned to the title
    bool UpdateTalk(Key& key);       // true on the frame the conversation ends
    bool UpdateHowToPlay(Key& key);  // true on the frame the pages end
    void ClearObjectLists();  // and the boss vector; the background effects unless kept
    // Once per game; one shown before, or unreadable, goes on to the scripted wait if resume.
    void LoadTalk(Talk talk, bool resume);
    int LoadHelp();  // the how-to-play pages (read once): 0, or 1 when unreadable
    int LoadFaces();
    void PreloadCutin(int32_t id);  // its pictures; the frames the load took are skipped after it
    void ReleaseCutin(int32_t id);
    void StartCutin(int32_t id, bool releaseOthers);  // zoom and layers (game/screen/cutin.cpp)

    // ---- records, camera (game/play/game_resource.cpp)
    void ResetBossRecord();
    void BuildItemDropList();  // the fixed sequence of 23 item kinds
    uint8_t NextDropItem();  // the drop counter - 50, the cursor on (wrapping)
    void GetCameraOrigin(int32_t& x, int32_t& y) const;  // scroll plus shake, truncated toward zero
    // A world centre to a sprite's screen top-left (16-bit wrap); jitter shakes x at random.
    void ToScreenTopLeft(int16_t& x, int16_t& y, int32_t width, int32_t height, bool jitter);
    void GetViewRect(Rect& rect, int32_t margin) const;
    void GetScrollBounds(Rect& rect) const;  // the rectangle that confines the player
    void PredictPlayerPosition(double& x, double& y, int32_t frames) const;
    void StampLocalTime(SRankingEntry& entry) const;  // the local date and time, six bytes

    // ---- in-game frame (game/play/play_frame.cpp)
    // The keys (logged or, in a replay, from the log, unless skipKeyLog) steer the hero or the
    // barrier; then boss fight, objects, their damage, the barrier's bursts. A cut-in freezes.
    void PlayFrame(Key* keys, bool skipKeyLog);
    bool IsControlLocked();  // the steered body flashes from a hit; the other's flash cleared
    CObjectBarrier& ActiveBarrier();  // throws CNullPointerException when its holder is empty
    void MovePlayerTo(int32_t x, int32_t y, double speed, double acceleration);  // the keys then rest
    bool UpdateScriptedMove();  // true while the walk runs

    // ---- frame drawing (game/screen/draw_frame.cpp) and the head-up display (hud.cpp)
    void DrawPlayField(Surface* target);  // also the cut-in screen's snapshot
    bool ClearBackground(Surface* target);  // true when the field is hidden (the game over's black)
    void DrawStageBackground(Surface* target);  // image 41 + stage, wrapping once to its left
    void DrawSkillEffect(Surface* target);  // the finisher's band of light, sparks from drawRand
    void DrawOverlays(Surface* target);  // the talk's dark band or face, the message window
    void DrawCutinScreen(Surface* target);  // the darkened snapshot, then the zoom or the layers
    void DrawRankingHighlight(Surface* target);
    void DrawHud(Surface* target);

    // ---- object passes (game/play/object_passes.cpp)
    void UpdateObjectLists();  // after the Updates: moves, collisions, carry, friction, effects
    void CollideWithOthers(CObjectBase* obj);  // every object of another type, then the floor limit
    void CollideWithLand(CObjectBase* obj);
    void UpdateEffectList(std::list<EffectPtr>& list);  // on the screen, erasing those that end
    void CopyBossMotionToSegments();
    void PlaceSegmentsOnBody();  // each segment's centre under the body, by half its hit height

    // ---- play-field update (game/play/play_field.cpp)
    void UpdatePlayField();  // the boss fight's frame: damage, HP and meters, defeat, story, scripts

    // ---- player damage, barrier and skills (game/play/player_status.cpp)
    // delta < 0 is damage (scaled by the fight's scale); HP below 1 ends the game unless invincible.
    void DamagePlayer(int32_t delta, bool scaled);
    void StartBarrier();  // held this frame: raising it costs 150, holding it 50 a frame
    void UpdateBarrierEnergy();  // not held: it goes down, and 30 frames on the energy returns
    void SpendBarrierEnergy(int32_t delta);  // overloading below 0 (at once in the boss's pose 27)
    bool CanUseSkill();  // a target on screen and a gauge of at least 2800
    void UseSkill(bool withCutin);  // the finisher on the last stage with a full gauge, else blast
    void SkillBlast();  // the frames of a running skill
    void SkillFinisher();
    int32_t GetFinishMargin() const;  // HP - 3 x the hero's power - max HP: 0 or below

    // ---- the boss fight's story (game/scenes/boss_story.cpp)
    bool BeginBossFight();  // true once the intro has finished
    bool EndBossFight();    // true once the defeat sequence has finished
    void ShowBossDefeat(int32_t frames);  // the beaten boss greyed, faded and sinking

    // ---- boss scripts (game/play/boss0.cpp .. boss3.cpp)
    void BuildFirstBoss();  // boss 0's parts, segments, face and hammer pictures, after its body
    void RunBoss0();
    void RunBoss1();
    void RunBoss2();
    void RunBoss3();

    // ---- stage flow (game/play/stage.cpp)
    int32_t GetDifficulty() const;  // the enemies': the live stage, 0..2
    // The live record back to its stage's start; the field emptied, the hero kept on screen.
    void ResetStageProgress();
    // Reads stage n; up to 21 columns behind the next map column as terrain, then it in full.
    void StartStage(int32_t stage);
    void StartGame(SStageProgress record);  // the one start of play: new game, retry, replay
    void GetGroundPoint(tovarineGameSDK3rd::Draw::Point& point) const;  // under the view's centre
    void RescueCrushedPlayer();  // squeezed between walls: hurt and put back on the ground
    void UpdateScroll();  // once a frame: the vertical follow, speed, scroll and next map column
    void UpdateBackground();  // once a frame: its fade, scroll and vertical follow
    void UpdateAmbientEffects(int32_t x);  // one attempt at an ambient particle at x
    void SpawnAmbientEffects();  // across the whole screen; they are kept from here on
    void UpdatePendingSpawns();  // those whose delay has run out join the object list
    void EraseFieldObjects();  // items, enemies, shots, blocks and the pending spawns
    // Map column `column` beyond the view's right edge; terrainOnly rebuilds one left behind
    // without enemies, crystals, numbered blocks or events (game/play/map_spawner.cpp).
    void SpawnMapColumn(int32_t column, bool terrainOnly);
    // The next event from the "!" at map pixel (x, y); always false (play/stage_events.cpp).
    bool UpdateStageEvents(int32_t x, int32_t y);
    void SaveCheckpoint();  // the live record, with half the score as its carry

    // ---- object factories (game/objects/factories.cpp)
    // One object on its kind record, held on its list and handed back; null, and nothing made,
    // for an index beyond its table. A delay > 0 parks it on the pending spawns. Positions are
    // the centre, in world pixels but for the screen's effects; a lifetime < 0 is one cycle.
    CObjectBoss* CreateBoss(int32_t index, int32_t x, int32_t y, bool pose9);
    CObjectBossParts* CreateBossParts(int32_t index, int32_t x, int32_t y, bool pose9);
    CObjectEnemy* CreateEnemy(int32_t index, int32_t x, int32_t y, int32_t delay);
    CObjectEnemyShadow* CreateEnemyShadow(int32_t index, int32_t x, int32_t y, int32_t delay);
    CObjectCrystal* CreateCrystal(int32_t x, int32_t y);
    CObjectItem* CreateItem(int32_t index, int32_t x, int32_t y);
    CObjectShot* CreateShot(int32_t index, int32_t x, int32_t y, int32_t delay);
    CObjectShotShadow* CreateShotShadow(int32_t index, int32_t x, int32_t y);
    CObjectReflect* CreateReflect(const SObjectKind* kind, int32_t x, int32_t y);
    CObjectBlock* CreateBlockByName(const VTLstring& name, int32_t x, int32_t y, int32_t delay);  // unknown: 0
    CObjectBlock* CreateBlock(int32_t index, int32_t x, int32_t y, int32_t delay);
    CObjectBlockShadow* CreateBlockShadow(int32_t index, int32_t x, int32_t y);
    CObjectLand* CreateLand(int32_t index, int32_t x, int32_t y);
    CObjectJelly* CreateJelly(int32_t x, int32_t y);
    CObjectPudding* CreatePudding(int32_t index, int32_t x, int32_t y);  // of the map's four terrains
    CObjectEffect* CreateEffect(int32_t id, int32_t lifetime, double x, double y);
    CObjectEffect* CreateBackEffect(int32_t id, int32_t lifetime, double x, double y);  // < 0: forever
    CObjectENumber* CreateScoreNumber(double x, double y);  // null unless effect entry 6 exists
    CObjectCutin* CreateCutin(int32_t index, int32_t x, int32_t y, int32_t lifetime, int32_t startDelay);
    CObjectFont* CreateFont(int32_t lifetime, double x, double y);
    CObjectEffectLand* CreateEffectLandByName(const VTLstring& name, int32_t lifetime, double x, double y);
    CObjectEffectLand* CreateEffectLand(int32_t id, int32_t lifetime, double x, double y);
    CObjectEffectLandShadow* CreateEffectLandShadow(int32_t id, int32_t lifetime, double x, double y);
    CObjectEffect* CreateFrontEffect(int32_t id, int32_t lifetime, double x, double y);

    // ---- score chain (game/play/score_chain.cpp)
    void QueueKillScore(int32_t points, int32_t code, int32_t x, int32_t y);  // code: the dying state
    void FlushScoreQueue();  // once a play frame: the pop-ups, the chain paid 8 frames after its last kill
    void AddScore(int32_t points, int32_t x, int32_t y);  // with a score number at the world point
    void AddBossBonus();  // overtime lowers the first part, the HP left scales the second
    void AddGauge(int32_t delta);  // within 0..10000

    // ---- items, shots and bursts (game/play/items_shots.cpp)
    void SpawnNextItem(int32_t x, int32_t y);  // the drop list's next item
    void SpawnItem(int32_t x, int32_t y, uint8_t kind);  // a max-HP or max-MP item already taken: 6
    void ApplyItem(uint8_t kind);  // on the player, with its popup text and sound
    // Of a drop-list item chosen by r: -1 and an empty rectangle for a kind the table lacks.
    void PickItemPicture(uint32_t r, int32_t& image, Rect& rect) const;
    // From a point in the view only; images > 0 gives it a trail.
    void FireShots(int32_t kind, double x, double y, uint8_t angle, int32_t images, double speed);
    void FireAimedShot(int32_t kind, double x, double y, double speed);  // at the hero
    bool IsInView(double x, double y) const;  // the camera origin to origin + (639, 479)
    void PlayShotSound(int32_t k);  // of shot kind k + 4
    void ReflectShot(const CObjectShot& shot);  // first toward the hero, then accelerating away
    CObjectEffect* CreateEffectAtWorld(int32_t id, int32_t lifetime, double x, double y);
    void SpawnBurst(int32_t w, int32_t h, double x, double y);  // sixteen sparkles, then their sound
    void SpawnBurstAt(const CObjectBase& object);  // over twice its hit box

    // ---- questions about the field (game/play/field_queries.cpp)
    CObjectBarrier* GetActiveBarrier();  // the second while the magic timer runs; null if empty
    void RemoveLandOfKind(uint16_t index, const Rect& rect);  // those whose centre lies in rect
    bool AnyEnemyOnScreen() const;  // a shot or a mortal enemy
    bool IsBossOnScreen(int32_t margin) const;  // the body's hit box within the view less margin
    int32_t DistanceToPlayer(const CObjectBase& object) const;  // of the truncated centres, truncated
    bool PositionChance(uint32_t percent) const;  // from the hero's and boss's position, not a generator
    uint32_t PositionRandom(uint32_t n) const;
    bool IsAboveViewCentre(double y) const;

    // ---- contact (game/objects/collision.cpp)
    // This frame's push-outs within the scroll bounds; crushCheck rescues one squeezed at the left.
    void ConfinePlayer(CObjectAvatar* hero, bool crushCheck);

    // ---- block group (game/objects/block_think.cpp): kind-13 blocks, all struck (2+): complete (3)
    void CheckBlockGroup(bool& anyFound, bool& allStruck);
    void ResetBlockGroup();  // back to unstruck; its kind-17 blocks and enemies 71 and 72 leave

    // ---- ranking (game/scenes/ranking_screen.cpp) and replays (game/play/replay_log.cpp)
    void ShowRanking(int32_t newPlace);  // its text objects; newPlace: the row just entered, or -1
    int32_t LoadRanking();  // save\ranking.sav: 0 read, 1 unreadable, 2 damaged (the list stays)
    bool SaveRanking();  // true on failure; the old file then stays whole
    // Saves the ranking with the game and its replay: its place 0-9, or -1 when it does not
    // enter (a score of 0 never does). An entry pushed off the end takes its replay with it.
    int32_t EnterRanking(const SRankingEntry& entry);
    bool SaveReplay(const VTLstring& name);  // the header and key log; true on failure
    // 0 started, -1 cannot be opened, 1 damaged, 2 not a replay; a failure shows its error
    // box and leaves the play state as it was, the key log emptied for 1 and 2.
    int32_t LoadReplay(const VTLstring& name);
    void RecordKeys(Key& key);  // logged, or in a replay read from the log (its end: a new game)

    // ---- boss fight (game/play/boss_fight.cpp; the part layout game/play/boss_layout.cpp)
    // The record reset, HP and gauge 10000, the stage and the motions stopped; bosses 0-3 also
    // refill the barrier energy and end the item timers.
    void StartBossRecord(int32_t id);
    void FillBossTrail(int32_t x, int32_t y, uint8_t angle);
    bool FaceBossToPlayer();  // true when the body now looks right; false without a boss
    void FacePlayerToBoss();  // unless it is hidden (pose 1); looks right without a boss
    void PushBossAction(int32_t action);  // the player's gauge +5, the idle countdown ended
    void PopBossAction();  // the running action (if any) dropped; step, last step, wait anew
    void SetBossAnimation(uint8_t n);  // 1 and 3 alternate with 2 and 4 when those exist
    bool IsBossAnimationRunning() const;
    void GetBossPosition(double* x, double* y) const;  // the view's centre, shaken, without a boss
    uint8_t GetBossFacing() const;
    bool IsBossFacingRight() const;
    double SignByBossFacing(double v) const;  // v when the body looks right, else -v
    void AddBossHp(int32_t n);  // only while HP > 0: within 1 .. the maximum
    void GetEvadePoint(int32_t* x, int32_t* y, int32_t offset) const;  // far side from the boss
    int32_t GetBossPartSpacing() const;  // half the held part's and the body's hit widths, or 0
    void PlaceHeldPart();  // in the body's hand while the cooldown runs, else hidden
    void SnapPartsToBody();  // bosses 2 and 3: the snapped parts onto the body's centre
    void KeepBossOnScreen();  // a flinching body
    void ClearBossFight();  // the undying objects removed, the containers emptied, the record reset
    void ReleaseStageImages();  // the body's picture, then the stage pictures 60 to 361
    // The body rides its height segment, boss 12's chain follows the head, boss 0 is posed
    // from the animation table; nothing at HP 0 or less unless evenWhenDefeated.
    void UpdateBossChain(bool evenWhenDefeated);

    // ---- data tables (read-only after start-up)
    SKindTables kinds;
    std::vector<SEffectKind> textKind;  // one record: the one every text object uses
    std::vector<uint8_t> itemDropList;
    uint8_t dropCursor = 0;
    std::vector<VTLstring> helpPages;
    FaceMap faces;
    STalkState talkState;

    // ---- ranking and run control
    std::list<SRankingEntry> ranking;  // best first, at most 10
    SRankingScreen rankingScreen;
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
    SBossFormation formation;
    SCutinScreen cutinScreen;
    tovarineGameSDK3rd::Draw::CTextFastPlane hudTextPlane;
    uint8_t hudFlags[2] = {0, 0};

    // ---- player, boss fight, stage
    SPlayerStatus status;
    SBossFight boss;
    std::vector<SBossBlock> bossAnimations;  // bossparts.txt
    SScoreChain scoreChain;
    int32_t timeLimit = 0;  // frames
    int32_t fightStartHp = 0;
    uint8_t bossAura = 0;  // boss 3's power-up glow for the drawing, 0..32
    SStageProgress progress;
    SStageProgress checkpoint;  // copied at stage starts; the game-over retry starts from it
    SReplayLog replayLog;
    int32_t verticalScrollRange = 0;  // extra map height of a vertically scrolling stage
    int32_t eventTimer = 0;
    SScriptedMove move;
    int32_t verticalScrollTarget = -1;  // -1 none; else scroll y moves toward it
    SBackdrop backdrop;
    SScreenEffects screenFx;
    int32_t finisherDisplay = 0;  // the finisher's damage so far, for the head-up display
    SStageMap stageMap;
    int32_t scriptedWait = 0;
    int32_t gameOverCounter = 0;
    int32_t blackOutCounter = 0;
    SGalleryState gallery;

protected:
    tovarineGameSDK3rd::Timer::IClock& clock_;
    std::function<int64_t()> wallClock_;
    IWindowHost* host_ = nullptr;

private:
    // ---- scene steps and their helpers (game/scenes/scene.cpp)
    void WorldFrame();  // a frame of the world without the player's keys, unrecorded
    void MenuRepeat();  // directions repeat while held, buttons push once per press
    void SetKeyRepeat(KeyBit key, int32_t interval);  // when the key control has that key
    void OpenMenu(int32_t x, int32_t y, int32_t width, const char* items);  // animated, repeating
    void CloseMenu();
    void LayOutPages(int32_t indent);  // talks, help, gallery: four lines of 600 pixels that stay
    void UpdateTitle(Key& key);
    void UpdateRankingList(Key& key);
    void UpdatePauseMenu(Key& key);
    void UpdateScriptedWait();
    void UpdateGalleryMenu(Key& key);
    void UpdateGallery(Key& key);

    // The object list as the collision walks read it (game/play/object_passes.cpp): during the
    // passes nothing leaves the list and newcomers join at its end, so only its tail is appended.
    struct SListedObject { CObjectBase* object; int32_t type; };
    std::vector<SListedObject> listed_;
    bool passesRunning_ = false;
    void SyncListed();  // the list read afresh outside the passes, or its new tail appended during them
    // obj->Collide with every listed object the filter passes, newcomers included.
    template <class Filter>
    void CollideWithListed(CObjectBase* obj, Filter filter);

    uint32_t Seed(const std::optional<uint32_t>& fixed) const;
    bool CreatePlayer();  // the hero and barriers on section-0 records 0-2; false (none) if absent
    int32_t BossKind(const char* name) const;  // section 6 by name, 0 when absent (play/boss0.cpp)
    void ReadyPlayer();  // the boss story's helpers (game/scenes/boss_story.cpp)
    void EnterEnding();  // scene 8, or 9 while a replay plays
    void UnlockExtras();  // the title menu's extras, saved at once
};
