// Display names of the keyboard's codes and of 256 + a pad code.
#include <algorithm>
#include <iterator>

#include "framework/key_control.h"

namespace KestraneGameBase2 {
namespace {

struct KeyName {
    int code;
    const char* name;
};

// Sorted by code. Scan code 52 has no name and 53 shows "．".
constexpr KeyName kKeyNames[] = {
    {2, "１"}, {3, "２"}, {4, "３"}, {5, "４"}, {6, "５"}, {7, "６"}, {8, "７"}, {9, "８"}, {10, "９"},
    {11, "０"}, {12, "－"}, {13, "＾"}, {14, "BS"}, {15, "Tab "}, {16, "Ｑ"}, {17, "Ｗ"}, {18, "Ｅ"},
    {19, "Ｒ"}, {20, "Ｔ"}, {21, "Ｙ"}, {22, "Ｕ"}, {23, "Ｉ"}, {24, "Ｏ"}, {25, "Ｐ"}, {26, "＠"},
    {27, "「"}, {28, "ENTER "}, {29, "左Ctrl"}, {30, "Ａ"}, {31, "Ｓ"}, {32, "Ｄ"}, {33, "Ｆ"}, {34, "Ｇ"},
    {35, "Ｈ"}, {36, "Ｊ"}, {37, "Ｋ"}, {38, "Ｌ"}, {39, "；"}, {40, "："}, {41, "」"}, {42, "左Shift "},
    {43, "￥"}, {44, "Ｚ"}, {45, "Ｘ"}, {46, "Ｃ"}, {47, "Ｖ"}, {48, "Ｂ"}, {49, "Ｎ"}, {50, "Ｍ"},
    {51, "，"}, {53, "．"}, {54, "右Shift "}, {55, "Num ＊"}, {56, "左Menu"}, {57, "Space "}, {58, "Cap "},
    {59, "Ｆ１"}, {60, "Ｆ２"}, {61, "Ｆ３"}, {62, "Ｆ４"}, {63, "Ｆ５"}, {64, "Ｆ６"}, {65, "Ｆ７"},
    {66, "Ｆ８"}, {67, "Ｆ９"}, {68, "Ｆ１０"}, {69, "NLock "}, {70, "Scroll"}, {71, "Num ７"},
    {72, "Num ８"}, {73, "Num ９"}, {74, "Num －"}, {75, "Num ４"}, {76, "Num ５"}, {77, "Num ６"},
    {78, "Num ＋"}, {79, "Num １"}, {80, "Num ２"}, {81, "Num ３"}, {82, "Num ０"}, {83, "Num ．"},
    {87, "Ｆ１１"}, {88, "Ｆ１２"}, {125, "￥"}, {156, "NEnter"}, {157, "右Ctrl"}, {181, "Num ／"},
    {197, "Pause"}, {199, "Home"}, {200, "↑"}, {201, "PageUp"}, {203, "←"}, {205, "→"}, {207, "End"},
    {208, "↓"}, {209, "PageDn"}, {210, "Insert"}, {211, "Delete"},
    {256, "Pad ↑"}, {257, "Pad ↓"}, {258, "Pad ←"}, {259, "Pad →"}, {260, "Pad ０"}, {261, "Pad １"},
    {262, "Pad ２"}, {263, "Pad ３"}, {264, "Pad ４"}, {265, "Pad ５"}, {266, "Pad ６"}, {267, "Pad ７"},
    {268, "Pad ８"}, {269, "Pad ９"}, {270, "Pad １０"}, {271, "Pad １１"}, {272, "Pad １２"},
    {273, "Pad １３"}, {274, "Pad １４"}, {275, "Pad １５"}, {320, "Pad R↑"}, {321, "Pad R↓"},
    {322, "Pad R←"}, {323, "Pad R→"}, {324, "POV ↑"}, {325, "POV ↓"}, {326, "POV →"}, {327, "POV ←"},
};
static_assert(std::size(kKeyNames) == 126);

}  // namespace

tovarineGameSDK3rd::VTL::VTLstring CKeyControlBase::GetKeyName(int code) {
    const auto* end = std::end(kKeyNames);
    const auto* it = std::lower_bound(std::begin(kKeyNames), end, code,
                                      [](const KeyName& k, int c) { return k.code < c; });
    return it != end && it->code == code ? it->name : "不明";
}

}  // namespace KestraneGameBase2
