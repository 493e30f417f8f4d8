#include "game/files/kind_tables.h"

#include <initializer_list>
#include <utility>

#include "foundation/auxiliary/string_scanner.h"
#include "framework/list_field.h"
#include "game/files/text_file.h"

using KestraneGameBase2::ForEachListLine;
using KestraneGameBase2::ReadListDouble;
using KestraneGameBase2::ReadListField;
using KestraneGameBase2::ReadListInt;
using tovarineGameSDK3rd::Auxiliary::CStringScanner;
using tovarineGameSDK3rd::VTL::VTLstring;

void RegisterName(NameMap& map, const VTLstring& name) {
    map.emplace(name, static_cast<int32_t>(map.size()));
}

int32_t FindName(const NameMap& map, const VTLstring& name) {
    const auto it = map.find(name);
    return it == map.end() ? 0 : it->second;
}

namespace {

// Walks the rows of a kind table: fn(section, count, name, cursor) for each row, the cursor
// standing on the row's second column. A row's name is its first token; a line without one
// is a section break, which counts only after a row of the section.
template <class Fn>
void ForEachKindRow(std::string_view text, Fn&& fn) {
    int section = 0;
    int count = 0;
    ForEachListLine(text, [&](const VTLstring& line) {
        const char* p = line.c_str();
        const VTLstring name = CStringScanner::GetStrings(&p);
        if (*p != '\n' && *p != '\0') ++p;
        if (name.empty()) {
            if (count > 0) ++section, count = 0;
            return;
        }
        fn(section, count, name, &p);
        ++count;
    });
}

// Integer columns into the record's fields, in order, each cut to its field's width.
template <class... T>
void Ints(const char** p, T&... fields) {
    ((fields = static_cast<T>(ReadListInt(p))), ...);
}

uint8_t On(const char** p) { return ReadListField(p) == "on" ? 1 : 0; }

// A keyword column: the value of the word that matches the whole field, else the fallback.
uint8_t Word(const char** p, std::initializer_list<std::pair<const char*, uint8_t>> words, uint8_t fallback) {
    const VTLstring field = ReadListField(p);
    for (const auto& [word, value] : words) {
        if (field == word) return value;
    }
    return fallback;
}

uint8_t Blend(const char** p) { return Word(p, {{"fast", 1}, {"add", 2}, {"blend", 3}}, 0); }

// A number list: rounds of blanks, an optional sign and digits, then one separator character;
// a round without digits appends nothing.
template <class T>
std::vector<T> Frames(const char** p) {
    const VTLstring field = ReadListField(p);
    std::vector<T> frames;
    const char* q = field.c_str();
    int n = 0;
    for (int r; (r = CStringScanner::GetNum(&q, &n)) != -1;) {
        if (r == 0) frames.push_back(static_cast<T>(n));
        if (*q != '\0') ++q;
    }
    return frames;
}

}  // namespace

void ParseEffectTable(std::string_view text, SKindTables& tables) {
    tables.effects.emplace_back();
    RegisterName(tables.effectNames, "dummy");
    ForEachKindRow(text, [&](int section, int, const VTLstring& name, const char** p) {
        SEffectKind k;
        Ints(p, k.image, k.srcX, k.srcY, k.cellWidth, k.cellHeight, k.value7, k.value8);
        k.speed = ReadListDouble(p);
        Ints(p, k.angle);
        k.blend = Blend(p);
        Ints(p, k.priority, k.sound, k.frameTime);
        k.frames = Frames<int32_t>(p);
        if (section == 0) {
            tables.effects.push_back(std::move(k));
            RegisterName(tables.effectNames, name);
        } else if (section == 1) {
            tables.cutins.push_back(std::move(k));
        }
    });
}

void ParseDataTable(std::string_view text, SKindTables& tables) {
    ForEachKindRow(text, [&](int section, int count, const VTLstring& name, const char** p) {
        SObjectKind k;
        k.index = static_cast<uint8_t>(count);
        Ints(p, k.life, k.score, k.drop, k.power, k.mass);
        k.gravity = On(p);
        k.reaction = Word(p, {{"破壊", 0}, {"反射", 1}, {"弾む", 2}}, 3);
        Ints(p, k.hitWidth, k.hitHeight);
        k.hitShape = Word(p, {{"円", 1}, {"台形", 2}}, 0);
        k.undying = On(p);
        Ints(p, k.image, k.srcX, k.srcY, k.cellWidth, k.cellHeight);
        k.blend = Blend(p);
        const VTLstring effect = ReadListField(p);
        k.effect = static_cast<uint16_t>(effect.empty() ? 0 : FindName(tables.effectNames, effect));
        Ints(p, k.priority, k.frameTime);
        k.frames = Frames<uint8_t>(p);
        if (section >= SKindTables::kObjectSections) return;
        tables.objects[section].push_back(std::move(k));
        if (section >= 1) RegisterName(tables.objectNames[section], name);
    });
}

int LoadEffectTable(SKindTables& tables) {
    return ReadTextFile("data\\text\\effect.txt", [&](std::string_view text) { ParseEffectTable(text, tables); });
}

int LoadDataTable(SKindTables& tables) {
    return ReadTextFile("data\\text\\data.txt", [&](std::string_view text) { ParseDataTable(text, tables); });
}
