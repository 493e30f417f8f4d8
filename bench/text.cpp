// Rendering one line of 20 Japanese characters at size 16, anti-aliased: the font made,
// measured and drawn with its shadow, as a text render does each time its text changes.
#include <benchmark/benchmark.h>

#include <vector>

#include "draw/font.h"
#include "draw/text_dib_bitmap.h"

namespace {

using tovarineGameSDK3rd::Draw::CFont;

// 20 full-width characters (Shift-JIS at run time).
const char kLine[] = "今日は良い天気ですね。明日も晴れるでしょう";

void BM_FontMeasureAndDrawLine(benchmark::State& state) {
    CFont font;
    font.SetText(kLine);
    font.SetSize(16);
    font.SetQuality(3);  // antialiased
    int w = 0, h = 0;
    font.GetSize(&w, &h);
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
    const morna::platform::PixelTarget target{pixels.data(), w, h, w * 4, 32};
    for (auto _ : state) {
        font.GetSize(&w, &h);
        font.Draw(target, 0, 0);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_FontMeasureAndDrawLine)->Unit(benchmark::kMicrosecond);

// The whole render of a text plane's picture: mode 2 (2 x 2 supersampled) with its shadow.
void BM_TextBitmapUpdateTextAA(benchmark::State& state) {
    tovarineGameSDK3rd::Draw::CTextDIBitmap bm;
    bm.GetFont()->SetText(kLine);
    bm.GetFont()->SetSize(16);
    for (auto _ : state) benchmark::DoNotOptimize(bm.UpdateTextAA());
}
BENCHMARK(BM_TextBitmapUpdateTextAA)->Unit(benchmark::kMicrosecond);

}  // namespace
