// Arbitrary bytes laid out by the message window's SetText with fixed widths (28 a double-byte
// character, 14 a single byte); the first two bytes pick the mode and the window width. Beyond
// not crashing, no line splits a character and a line's pause lies within its characters.
#include <cstdlib>
#include <string_view>

#include "game/widgets/message_window.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

bool WholeCharacters(std::string_view s) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\0') return false;
        if (tovarineGameSDK3rd::VTL::IsSJISLeadByte(static_cast<unsigned char>(s[i])) && ++i >= s.size()) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static CMessageWindow window;
    window.SetMeasure([](std::string_view ch, int32_t) { return ch.size() == 2 ? 28 : 14; });
    window.SetWidth(data[1] * 4);
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
    window.SetText(static_cast<int8_t>(data[0]), tovarineGameSDK3rd::VTL::VTLstring(text));
    Check(!window.GetPending().empty());
    for (const SMessageLine& line : window.GetPending()) {
        Check(WholeCharacters(line.text.view()));
        int32_t chars = 0;
        for (const SColourRun& run : SplitColourRuns(line.text.view())) chars += run.chars;
        Check(line.typingStop == CMessageWindow::kNoWait || line.typingStop <= chars);
    }
    window.Clear();
    return 0;
}
