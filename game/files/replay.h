#pragma once
// A replay file as a pure function of its byte vector: "morna" and its NUL, the 61 bytes
// of the record the game started from, the key log (i32 count, one byte a play frame),
// the checksum trailer. Replays are dropped on the window, so the reader takes any bytes:
// a damaged file is refused whole and changes nothing. Saving, loading and the per-frame
// hook are members of CGameResource (game/play/replay_log.cpp).
#include <cstdint>
#include <vector>

#include "foundation/auxiliary/serialize.h"
#include "game/files/stage_progress.h"

// The stored fields of a start record, one operation for both directions: stage, scroll x
// and y, event step, vertical, scroll and target speed, next column, background opacity,
// background speed, score carry.
void SerializeProgress(tovarineGameSDK3rd::Auxiliary::ISerialize& ar, SStageProgress& record);

// A frame's push mask as its key-log byte: from bit 0 up the decide (barrier) and back
// (skill) keys, the four directions in their mask order, the pause key; the other keys are
// dropped.
uint8_t PackKeys(uint32_t mask);
// The inverse; bit 7 is ignored.
uint32_t UnpackKeys(uint8_t keys);

std::vector<uint8_t> EncodeReplay(SStageProgress header, const std::vector<uint8_t>& keys);
// 0 with header and keys replaced; 1 when the trailer does not match or the content is
// damaged (too short for the header, a key count negative or past the bytes); 2 when the
// magic is not "morna", whatever the trailer. On 1 and 2 nothing changes. The fields a
// replay does not hold (drop counter, item levels, invincible) load as 0, so a replay
// always starts alike; the record's last field stays.
int32_t DecodeReplay(std::vector<uint8_t> bytes, SStageProgress& header, std::vector<uint8_t>& keys);
