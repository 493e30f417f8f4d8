#pragma once
// The game's identities, each named once: the scenes, the sound effects and music tracks the
// code plays, the talks and cut-ins it shows and the key bits of a frame's key mask. The data
// files keep their numbers (data\se\list.txt, data\music\list.txt, data\text\talkNN.txt); these
// are the numbers the code asks them for.
#include <cstdint>

// The play state's scene.
enum class Scene : int32_t {
    kTitle = 0,         // title menu; a dropped file plays as a replay
    kHowToPlay = 1,     // help pages with a scripted demonstration
    kRanking = 2,       // ranking list; decide plays the entry's replay
    kPlay = 3,          // the in-game frame with the player's keys
    kTalk = 4,          // pages of a conversation
    kScriptedWait = 5,  // the world runs without input until a scripted move and a walk-in end
    kPause = 6,         // pause menu; the world stands still
    kGameOver = 7,      // game-over sequence, ranking entry, retry menu
    kEnding = 8,        // ending pictures, ranking entry
    kFadeToTitle = 9,   // waits for a fade-out, then a new game at the title
    kGalleryMenu = 10,  // choice of one of the special-move cut-ins
    kGallery = 11,      // the chosen cut-in, panned with the arrows
};

// Sound effects by what their list says they are.
enum class Se : int32_t {
    kNone = 0,  // no sound
    kEnemyAppears = 15,
    kSplitterSplits = 55,
    kJellyEaten = 57,
    kShotHigh = 58,  // shot kinds 11, 12
    kBlockBurstSmall = 59,
    kBlockBurstBig = 60,
    kCarrierLaunch = 61,
    kCursor = 100,
    kDecide = 101,
    kBack = 102,
    kGameStart = 103,
    kBarrierHum = 104,  // looped while the barrier is up
    kOverload = 105,
    kBarrierRestored = 106,
    kHeroHit = 107,
    kBarrierHitByBlock = 108,
    kItemTaken = 109,
    kItemSwatted = 110,
    kBarrierHitsEnemy = 111,
    kShieldHit = 112,
    kShotTurnedBack = 113,
    kReflectorHit = 114,
    kSparkleBurst = 115,
    kCutinStart = 116,
    kFinisherLoop = 117,
    kFinisherStart = 118,
    kFinisherChargeLoop = 119,
    kBossDefeated = 120,
    kGreyOutLong = 121,
    kGreyOutShort = 122,
    kNewRank = 123,
    kNarratorPage = 124,
    kSkillBlast = 125,
    kGameOver = 126,
    kFinisherHit = 127,
    kDragonDash = 150,
    kBoss0Step = 151,
    kRockBounce = 152,
    kRockCrack = 153,
    kBoss0Lands = 154,
    kHammerImpact = 156,
    kCakeRises = 157,
    kLauncherRow = 158,
    kBoss1Shot = 159,
    kRoarSlash = 160,
    kChargedThrust = 161,
    kThrow = 162,
    kPartnerBack = 163,
    kWallBuilt = 164,
    kSwing = 165,
    kBoomerangOut = 166,
    kBoomerangBack = 167,
    kStoneFalls = 168,
    kHealPieceOut = 169,
    kHealPieceCaught = 170,
    kIceSpike = 171,
    kIceRain = 172,
    kBoss1PowerUp = 173,
    kBoss3PowerUp = 174,
    kFinaleSlam = 175,
    kSpiralStorm = 176,
    kMirrorBurst = 177,
    kDive = 178,
    kShot0 = 200,  // the shot sounds, by shot kind
    kShot1 = 201,
    kShot2 = 202,
    kShot3 = 203,
    kLauncherBoom = 204,
    kJump = 205,
    kComet = 206,
    kChick = 207,
    kGateCloses = 208,
    kPuddingBounce = 209,
    kAmbush = 210,
};

// Music tracks.
enum class Music : int32_t {
    kTitle = 0,
    kStageStart = 1,  // also after a boss
    kBoss0 = 3,
    kBoss1 = 5,
    kBoss2 = 7,
    kBoss3 = 8,
    kEnding = 9,
    kGameOver = 10,
};

// Talks (data\text\talkNN.txt): each boss's before, after its walk-in, after its defeat.
enum class Talk : int32_t {
    kBoss0Before = 1,
    kBoss0WalkedIn = 2,
    kBoss0Defeated = 3,
    kBoss1Before = 4,
    kBoss1WalkedIn = 5,
    kBoss1Defeated = 6,
    kBoss2Before = 7,
    kBoss2WalkedIn = 8,
    kBoss2Defeated = 9,
    kLanternRegained = 10,  // after boss 2, on the way up
    kBoss3Before = 11,
    kBoss3WalkedIn = 12,
    kBoss3Defeated = 13,
};

// The special moves' cut-ins. Each plays the layer records that begin at its number; the cut-in
// screen and the gallery keep that number.
namespace Cutin {
enum : int32_t {
    kSkillBlast = 0,
    kFinisher = 4,  // the finisher on the last stages
    kBoss0Hammer = 6,
    kBoss1Finale = 8,
    kBoss2Special = 11,
    kBoss3Finale = 13,
};
// Every cut-in, in the order their pictures are released.
constexpr int32_t kAll[] = {kSkillBlast, kFinisher, kBoss0Hammer, kBoss1Finale, kBoss2Special, kBoss3Finale};
}  // namespace Cutin

// Bits of a frame's key mask (the key control's logical keys).
enum class KeyBit : int32_t {
    kUp = 0,
    kLeft = 1,
    kDown = 2,
    kRight = 3,
    kDecide = 8,  // also the barrier in play
    kBack = 9,    // also the skill in play
    kPause = 14,
    kFastForward = 15,  // a talk's text
};

constexpr uint32_t Bit(KeyBit key) { return 1u << static_cast<int32_t>(key); }
