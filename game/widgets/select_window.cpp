#include "game/widgets/select_window.h"

#include <algorithm>
#include <cstdlib>

#include "draw/text_fast_plane.h"
#include "framework/image_loader.h"
#include "framework/list_field.h"
#include "game/files/key_control.h"
#include "game/files/sounds.h"
#include "game/ids.h"

namespace {

using namespace tovarineGameSDK3rd::Draw;
using KestraneGameBase2::CBltSupport;

constexpr int32_t kBarTop = 192;
constexpr int32_t kBarBottom = 216;
constexpr int32_t kCapWidth = 4;
constexpr int32_t kMiddleLeft = 4;
constexpr int32_t kMiddleRight = 188;

}  // namespace

void CSelectWindow::Open(int32_t x, int32_t y, int32_t width, int32_t cursorAt,
                         const tovarineGameSDK3rd::VTL::VTLstring& text) {
    x_ = x;
    y_ = y;
    width_ = width;
    items_.clear();
    for (const char* at = text.c_str(); *at != '\0';) items_.push_back(KestraneGameBase2::ReadListField(&at));
    cursor = cursorAt;
    closed = false;
    Prepare();
}

void CSelectWindow::Prepare() {
    window_plane::Prepare(plane_, width_, GetCount() * kItemHeight + 16, Config().textPlaneAlpha);
}

void CSelectWindow::Paint(bool withText) {
    Prepare();
    window_plane::DrawFrame(plane_, 0);
    if (!withText) return;
    const SGlobalConfig& config = Config();
    for (int32_t i = 0; i < GetCount(); ++i) {
        CTextFastPlane text;
        CFont& font = *text.GetFont();
        font.SetFont(config.propFontName);
        font.SetSize(28);
        font.SetColor(0xFFFFFF);
        if (!config.textShadow) font.SetShadowColor(CFont::kNoColour);
        font.SetText(items_[i]);
        if ((config.smoothText ? text.UpdateTextAA2() : text.UpdateText()) != 0) continue;
        const int32_t y = 8 + kItemHeight * i;
        if (!window_plane::IsAlpha(text)) {
            CBltSupport::BltKeyedCopy(plane_, text, 32, y);
        } else if (window_plane::IsAlpha(plane_)) {
            CBltSupport::BltAlphaOver(plane_, text, 32, y);
        } else {
            plane_.BlendBlt(&text, 32, y, 255);
        }
    }
}

void CSelectWindow::Render(bool withText) {
    Paint(withText);
    fade = withText ? 0 : 1;
}

bool CSelectWindow::Update(const KestraneGameBase2::SKey& key) {
    // Planes made anew by the display are painted as they stood; the animation goes on.
    if (ScreenChanged()) Paint(fade == 0 && !closed);
    if (closed) return false;
    if (fade > 0) {
        fade += kFadeStep;
        if (fade >= 255) Render(true);
        return false;
    }
    if (fade < 0) {
        fade += kFadeStep;
        if (fade >= 0) {
            fade = 0;
            closed = true;
        }
        return false;
    }
    blink_ = (blink_ + 1) % 256;
    const int32_t count = GetCount();
    const bool up = Pushed(key, KeyBit::kUp), left = Pushed(key, KeyBit::kLeft), down = Pushed(key, KeyBit::kDown),
               right = Pushed(key, KeyBit::kRight);
    if (count == 0 || (!(up || left || down || right) && !Chosen())) return false;
    int32_t c = cursor;
    if (!Chosen()) c = up || left || right ? 0 : -1;
    if (up) --c;
    if (down) ++c;
    c = (c % count + count) % count;
    if (c == cursor) return false;
    cursor = c;
    PlaySe(Se::kCursor);
    blink_ = 0;
    return true;
}

void CSelectWindow::Draw(ISurface* target) {
    int w = 0, h = 0;
    if (!target || plane_.GetSize(&w, &h) != 0) return;
    if (fade == 0) {
        window_plane::Blit(*target, plane_, x_, y_, 255);
        return;
    }
    // Growing or shrinking: the top rows, then the bottom edge right under them.
    const int32_t top = h * std::abs(fade) / 256;
    const Rect upper{0, 0, w, top};
    const Rect edge{0, h - 8, w, h};
    if (top > 0) window_plane::Blit(*target, plane_, x_, y_, 255, &upper);
    window_plane::Blit(*target, plane_, x_, y_ + top, 255, &edge);
}

int32_t CSelectWindow::GetCursorOpacity() const {
    const int32_t p = blink_ % 32;
    return p < 16 ? 127 + 8 * p : 383 - 8 * p;
}

void CSelectWindow::DrawCursor(ISurface* target) {
    if (!target || !Chosen()) return;
    ISurface& image = KestraneGameBase2::CImageLoader::GetImage(0);
    const auto rate = static_cast<uint8_t>(GetCursorOpacity());
    const int32_t y = y_ + 7 + cursor * kItemHeight;
    int32_t x = x_ + 16;
    auto piece = [&](int32_t left, int32_t right) {
        const Rect r{left, kBarTop, right, kBarBottom};
        target->KeyedBlendBlt(&image, x, y, rate, nullptr, &r);
        x += right - left;
    };
    piece(0, kCapWidth);
    for (int32_t left = width_ - 40; left > 0; left -= kMiddleRight - kMiddleLeft) {
        piece(kMiddleLeft, kMiddleLeft + std::min(left, kMiddleRight - kMiddleLeft));
    }
    piece(kMiddleRight, kMiddleRight + kCapWidth);
}
