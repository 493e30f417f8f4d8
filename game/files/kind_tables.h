#pragma once
// The object and effect kind tables: data.txt (object kinds in seven sections) and
// effect.txt (effect kinds, then cut-in layers), each row a record that objects point to for
// their whole life. The parsers fill the tables from a text; the loaders read the files.
#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "foundation/vtl/vtl_string.h"

// One row of data.txt. A new record is all zeros before its columns are read.
struct SObjectKind {
    uint8_t index = 0;  // the record's number within its section
    int16_t image = 0;  // image-list id; negative: not drawn
    int16_t srcX = 0;
    int16_t srcY = 0;
    uint16_t cellWidth = 0;
    uint16_t cellHeight = 0;
    uint8_t blend = 0;  // 0 none named, 1 "fast", 2 "add", 3 "blend"
    uint8_t priority = 0;
    std::vector<uint8_t> frames;
    int16_t frameTime = 0;
    uint16_t hitWidth = 0;
    uint16_t hitHeight = 0;
    uint8_t hitShape = 0;  // 0 rectangle, 1 "円", 2 "台形"
    int32_t score = 0;
    uint8_t drop = 0;
    int16_t power = 0;
    uint8_t mass = 0;
    uint8_t gravity = 0;   // "on"
    uint8_t reaction = 0;  // 0 "破壊", 1 "反射", 2 "弾む", 3 any other word
    uint16_t effect = 0;   // effect-kind number of the death effect; 0 none
    uint8_t undying = 0;   // "on"
    uint16_t life = 0;
};

// One row of effect.txt (section 0: effects; section 1: cut-in layers).
struct SEffectKind {
    int16_t image = 0;
    int16_t srcX = 0;  // -1: the whole image
    int16_t srcY = 0;
    int16_t cellWidth = 0;
    int16_t cellHeight = 0;
    int16_t value7 = 0;  // x offset of the drawing
    int16_t value8 = 0;  // y offset of the drawing
    std::vector<int32_t> frames;
    int32_t frameTime = 0;
    uint8_t blend = 0;
    uint8_t priority = 0;
    uint8_t angle = 0;  // 256 steps a turn
    uint8_t sound = 0;
    double speed = 0;
};

// Name -> number, the number being the count of names before it.
using NameMap = std::map<tovarineGameSDK3rd::VTL::VTLstring, int32_t>;

// Inserts name with the number of names already in the map, unless it is there already.
void RegisterName(NameMap& map, const tovarineGameSDK3rd::VTL::VTLstring& name);
// The number of name; 0 when absent.
int32_t FindName(const NameMap& map, const tovarineGameSDK3rd::VTL::VTLstring& name);

struct SKindTables {
    static constexpr int kObjectSections = 7;
    std::vector<SObjectKind> objects[kObjectSections];  // 0 hero and barriers, 1 enemies, 2 shots,
                                                        // 3 blocks, 4 items, 5 terrain, 6 bosses
    NameMap objectNames[kObjectSections];               // sections 1-6
    std::vector<SEffectKind> effects;                   // entry 0: "dummy", the empty effect
    NameMap effectNames;
    std::vector<SEffectKind> cutins;
};

// effect.txt: appends "dummy" as effect 0, then the rows of section 0 (effects, named) and
// section 1 (cut-in layers); later sections are read and dropped.
void ParseEffectTable(std::string_view text, SKindTables& tables);
// data.txt: the rows of sections 0-6, their death effects looked up by name in the
// effect-name map (so effect.txt comes first); later sections are read and dropped.
void ParseDataTable(std::string_view text, SKindTables& tables);

// Read data\text\effect.txt and data\text\data.txt: 0, or 1 when the file cannot be read
// (the tables untouched).
int LoadEffectTable(SKindTables& tables);
int LoadDataTable(SKindTables& tables);
