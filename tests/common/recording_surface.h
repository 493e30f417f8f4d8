// Test helper: a memory plane (XRGB8888 unless told otherwise) that draws as any plane does
// and logs every blit, polygon blit, effect and fill colour made on it, and every CBltSupport
// helper call whose destination it is, in call order. Draw tests compare the log.
//
//   RecordingSurface target(64, 48);
//   CBltSupport::BltKeyedCopy(target, CImageLoader::GetImage(7), 10, 20);
//   target.Log()[0].kind == "helper", .helper == "BltKeyedCopy"
//   target.Log()[1].kind == "blt", .op == 1, .image == 7, .point == (10, 20)
//
// Later draw tests extend this one file (new kinds, more fields) rather than writing their own.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "draw/fast_plane.h"
#include "framework/blt_support.h"
#include "framework/image_loader.h"

namespace morna::test {

namespace draw = tovarineGameSDK3rd::Draw;

struct DrawCall {
    std::string kind;    // "blt", "polyblt", "effect", "fill" or "helper"
    std::string helper;  // kind "helper": the helper's name
    int32_t op = -1;     // blit or polygon operation, effect code
    int32_t image = -1;  // the source's image-list id; -1 when it is not an image of the list
    const draw::CSurfaceInfo* sourceSurface = nullptr;  // blit: the source as passed, while it lives
    bool hasPoint = false;
    draw::Point point{};  // blit: destination point; helper: (x, y)
    bool hasSize = false;
    draw::Size size{};  // blit: destination size (stretching)
    draw::Size source{};  // blit: the source's whole size
    bool hasRect = false;
    draw::Rect rect{};  // blit and helper: source rectangle (DarkenRect: its own); effect: the rectangle
    uint32_t value = 0;  // rate (first byte of the parameter), effect colour or parameter, fill colour,
                         // helper value (AddColor's colour, a helper's rate)
    uint32_t value2 = 0;  // second rate (ops 16, 17)
    uint32_t key = 0;     // keyed blits: the source's colour key
    int result = 0;       // what the call answered (helpers: not known when logged, 0)
    std::vector<draw::Point> polygon;  // polygon blit: the destination points, then the source points

    // "op (x,y)", then " wxh" for a blit's source, " [l,t,r,b]" for a rectangle and " =v" for a
    // value: a string that a test compares whole.
    std::string Brief() const {
        char s[128];
        int n = std::snprintf(s, sizeof s, "%d (%d,%d)", op, point.x, point.y);
        if (source.cx) n += std::snprintf(s + n, sizeof s - n, " %dx%d", source.cx, source.cy);
        if (hasRect) n += std::snprintf(s + n, sizeof s - n, " [%d,%d,%d,%d]", rect.left, rect.top, rect.right, rect.bottom);
        if (value) std::snprintf(s + n, sizeof s - n, " =%u", value);
        return s;
    }
};

class RecordingSurface : public draw::CFastPlane {
public:
    RecordingSurface(int width, int height, int32_t type = draw::XRGB8888) {
        CreateMemorySurface(width, height, type, true);
        log_.clear();  // the clear of the creation is not a draw call
        if (live_++ == 0) KestraneGameBase2::CBltSupport::SetObserver(&Observer());
    }
    ~RecordingSurface() override {
        if (--live_ == 0) KestraneGameBase2::CBltSupport::SetObserver(nullptr);
    }

    const std::vector<DrawCall>& Log() const { return log_; }
    void ClearLog() { log_.clear(); }
    // The calls of one kind, in order.
    std::vector<DrawCall> Calls(const std::string& kind) const {
        std::vector<DrawCall> out;
        for (const DrawCall& c : log_) {
            if (c.kind == kind) out.push_back(c);
        }
        return out;
    }

    int Blt(draw::EBltOp op, draw::CSurfaceInfo* src, const draw::BltGeometry* geom, const void* param) override {
        DrawCall c;
        c.kind = "blt";
        c.op = static_cast<int32_t>(op);
        c.image = ImageId(src);
        c.sourceSurface = src;
        if (geom && geom->dstPoint) c.hasPoint = true, c.point = *geom->dstPoint;
        if (geom && geom->dstSize) c.hasSize = true, c.size = *geom->dstSize;
        if (geom && geom->srcRect) c.hasRect = true, c.rect = *geom->srcRect;
        if (src) c.source = {src->width, src->height};
        const int o = c.op;
        if (param && ((o >= 6 && o <= 9) || o == 14 || o == 15)) c.value = *static_cast<const uint8_t*>(param);
        if (param && (o == 16 || o == 17)) {
            uint32_t rates[2];
            std::memcpy(rates, param, sizeof rates);
            c.value = rates[0] & 0xFF, c.value2 = rates[1] & 0xFF;
        }
        if (src && (o == 1 || o == 4 || o == 5 || o == 8 || o == 9 || o == 15 || o == 17)) c.key = src->colourKey;
        c.result = CFastPlane::Blt(op, src, geom, param);
        log_.push_back(c);
        return c.result;
    }

    int PolyBlt(int32_t op, draw::CSurfaceInfo* src, const draw::PolyBltGeometry* geom, int32_t arg) override {
        DrawCall c;
        c.kind = "polyblt";
        c.op = op;
        c.image = ImageId(src);
        c.value = static_cast<uint32_t>(arg);
        if (geom && geom->dstPoints && geom->srcPoints && geom->count > 0) {
            c.polygon.assign(geom->dstPoints, geom->dstPoints + geom->count);
            c.polygon.insert(c.polygon.end(), geom->srcPoints, geom->srcPoints + geom->count);
        }
        c.result = CFastPlane::PolyBlt(op, src, geom, arg);
        log_.push_back(c);
        return c.result;
    }

    int Effect(draw::EffectOp op, const draw::Rect* rect, const void* param) override {
        DrawCall c;
        c.kind = "effect";
        c.op = static_cast<int32_t>(op);
        if (rect) c.hasRect = true, c.rect = *rect;
        if (param) std::memcpy(&c.value, param, op == draw::EffectFade ? 1 : 4);
        c.result = CFastPlane::Effect(op, rect, param);
        log_.push_back(c);
        return c.result;
    }

    void SetFillColor(uint32_t colour) override {
        DrawCall c;
        c.kind = "fill";
        c.value = colour;
        log_.push_back(c);
        CFastPlane::SetFillColor(colour);
    }

    // The pixel at (x, y) as 0xAARRGGBB (alpha 0 for formats without one).
    uint32_t Pixel(int x, int y) {
        uint32_t c = 0;
        GetSurfaceInfo()->GetPixel(x, y, &c);
        return c;
    }

private:
    static int32_t ImageId(const draw::CSurfaceInfo* src) {
        return src ? KestraneGameBase2::CImageLoader::GetInstance().FindId(src) : -1;
    }

    struct HelperObserver : KestraneGameBase2::IBltSupportObserver {
        void OnBltSupport(const KestraneGameBase2::SBltSupportCall& call) override {
            auto* target = dynamic_cast<RecordingSurface*>(call.dst);
            if (!target) return;
            DrawCall c;
            c.kind = "helper";
            c.helper = call.helper;
            c.image = call.src ? ImageId(call.src->GetSurfaceInfo()) : -1;
            c.hasPoint = true, c.point = {call.x, call.y};
            c.hasRect = call.hasRect, c.rect = call.rect;
            c.value = call.value;
            target->log_.push_back(c);
        }
    };
    static HelperObserver& Observer() {
        static HelperObserver observer;
        return observer;
    }

    static inline int live_ = 0;
    std::vector<DrawCall> log_;
};

}  // namespace morna::test
