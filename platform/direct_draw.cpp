#include "platform/direct_draw.h"

#include <algorithm>
#include <atomic>
#include <new>

#include "platform/dib.h"
#include "platform/system_palette.h"

namespace morna::platform {

// What the object and its surfaces share: the surfaces alive (a display change loses them
// all), the display's mode and the injected faults. A surface may outlive its object.
struct DirectDrawSurface::Shared {
    std::vector<DirectDrawSurface*> surfaces;
    SurfaceDesc format = DescribeDisplayFormat(7);
    int32_t width = 640;
    int32_t height = 480;
    int32_t createFailures = 0;
    int32_t lockFailures = 0;
    int32_t lockFailureCode = kDdErrGeneric;
};

namespace {

std::atomic<int32_t> g_createFailures{0};

// One channel of a pixel word by its mask: where it starts and how many bits it has.
struct MaskField {
    int shift = 0;
    int bits = 0;
};
MaskField FieldOf(uint32_t mask) {
    MaskField f;
    if (!mask) return f;
    while (!(mask & 1u)) {
        mask >>= 1;
        ++f.shift;
    }
    while (mask & 1u) {
        mask >>= 1;
        ++f.bits;
    }
    return f;
}
uint32_t Widen(uint32_t word, MaskField f) {
    if (!f.bits) return 0;
    const uint32_t v = (word >> f.shift) & ((1u << f.bits) - 1u);
    return f.bits >= 8 ? v >> (f.bits - 8) : v << (8 - f.bits);
}
uint32_t Narrow(uint32_t byte, MaskField f) {
    if (!f.bits) return 0;
    const uint32_t v = f.bits >= 8 ? byte << (f.bits - 8) : byte >> (8 - f.bits);
    return v << f.shift;
}

// Reads and writes pixel words of 1 to 4 bytes, little endian.
uint32_t LoadWord(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= uint32_t{p[i]} << (8 * i);
    return v;
}
void StoreWord(uint8_t* p, int bytes, uint32_t v) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

SurfaceDesc DescribeDisplayFormat(int32_t code) {
    switch (code) {
        case 2: return {8, 0, 0, 0};
        case 3: return {16, 0xF800, 0x07E0, 0x001F};
        case 4: return {16, 0x7C00, 0x03E0, 0x001F};
        case 5: return {24, 0xFF0000, 0x00FF00, 0x0000FF};
        case 6: return {24, 0x0000FF, 0x00FF00, 0xFF0000};
        case 7: return {32, 0xFF0000, 0x00FF00, 0x0000FF};
        case 8: return {32, 0x0000FF, 0x00FF00, 0xFF0000};
        default: return {};
    }
}

// ---- surface

DirectDrawSurface::DirectDrawSurface(std::shared_ptr<Shared> shared, const SurfaceDesc& format, int32_t width,
                                     int32_t height, bool primary, bool systemMemory)
    : shared_(std::move(shared)),
      format_(format),
      bytesPerPixel_(static_cast<int32_t>(format.bitCount / 8)),
      width_(width),
      height_(height),
      // Rows start on 16-byte boundaries, as display memory often does: callers must use
      // the pitch, never width x bytes per pixel.
      pitch_((width * bytesPerPixel_ + 15) & ~15),
      primary_(primary),
      systemMemory_(systemMemory),
      pixels_(static_cast<size_t>(pitch_) * static_cast<size_t>(height)) {
    shared_->surfaces.push_back(this);
}

DirectDrawSurface::~DirectDrawSurface() {
    auto& list = shared_->surfaces;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

bool DirectDrawSurface::GetSurfaceDesc(SurfaceDesc& out) {
    out = format_;
    return true;
}

int32_t DirectDrawSurface::Lock(LockedSurface* out) {
    if (!out) return kDdErrInvalidParams;
    if (shared_->lockFailures > 0) {
        --shared_->lockFailures;
        return shared_->lockFailureCode;
    }
    if (lost_) return kDdErrSurfaceLost;
    if (locked_ || dc_) return kDdErrSurfaceBusy;
    locked_ = true;
    out->pixels = pixels_.data();
    out->pitch = pitch_;
    return kDdOk;
}

int32_t DirectDrawSurface::Unlock() {
    if (!locked_) return kDdErrGeneric;
    locked_ = false;
    return kDdOk;
}

int32_t DirectDrawSurface::IsLost() const { return lost_ ? kDdErrSurfaceLost : kDdOk; }

int32_t DirectDrawSurface::Restore() {
    lost_ = false;
    return kDdOk;
}

void DirectDrawSurface::MarkLost() {
    lost_ = true;
    std::fill(pixels_.begin(), pixels_.end(), uint8_t{0});
}

int32_t DirectDrawSurface::GetDC(DeviceContext** out) {
    if (!out) return kDdErrInvalidParams;
    *out = nullptr;
    if (lost_) return kDdErrSurfaceLost;
    if (locked_ || dc_) return kDdErrSurfaceBusy;
    const bool indexed = format_.bitCount == 8;
    if (indexed) {
        PaletteEntry entries[256];
        const int n = GetSystemPaletteEntries(0, 256, entries);
        RgbQuad colours[256];
        for (int i = 0; i < n; ++i) colours[i] = {entries[i].blue, entries[i].green, entries[i].red, 0};
        dcBitmap_ = DibSection::Create(width_, height_, 8, true, colours, n);
    } else {
        dcBitmap_ = DibSection::Create(width_, height_, 32, true);
    }
    if (!dcBitmap_) return kDdErrGeneric;

    // Copy the pixels in; remember what each was, so that ReleaseDC writes back only what the
    // context drew (bits a 32-bit copy cannot hold, such as a pad byte, stay as they were).
    const MaskField r = FieldOf(format_.redMask), g = FieldOf(format_.greenMask), b = FieldOf(format_.blueMask);
    dcOriginal_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
    for (int32_t y = 0; y < height_; ++y) {
        const uint8_t* src = pixels_.data() + static_cast<size_t>(y) * pitch_;
        uint8_t* dst = dcBitmap_->Bits() + static_cast<size_t>(y) * dcBitmap_->Stride();
        for (int32_t x = 0; x < width_; ++x) {
            uint32_t v;
            if (indexed) {
                v = src[x];
                dst[x] = static_cast<uint8_t>(v);
            } else {
                const uint32_t w = LoadWord(src + x * bytesPerPixel_, bytesPerPixel_);
                v = Widen(w, r) << 16 | Widen(w, g) << 8 | Widen(w, b);
                StoreWord(dst + 4 * x, 4, v);
            }
            dcOriginal_[static_cast<size_t>(y) * width_ + x] = v;
        }
    }
    dc_ = std::make_unique<DeviceContext>();
    dc_->SelectBitmap(dcBitmap_.get());
    *out = dc_.get();
    return kDdOk;
}

int32_t DirectDrawSurface::ReleaseDC(DeviceContext* dc) {
    if (!dc || dc != dc_.get()) return kDdErrInvalidParams;
    const bool indexed = format_.bitCount == 8;
    const MaskField r = FieldOf(format_.redMask), g = FieldOf(format_.greenMask), b = FieldOf(format_.blueMask);
    for (int32_t y = 0; y < height_ && !lost_; ++y) {
        uint8_t* dst = pixels_.data() + static_cast<size_t>(y) * pitch_;
        const uint8_t* src = dcBitmap_->Bits() + static_cast<size_t>(y) * dcBitmap_->Stride();
        for (int32_t x = 0; x < width_; ++x) {
            const uint32_t v = indexed ? src[x] : LoadWord(src + 4 * x, 4) & 0xFFFFFFu;
            if (v == dcOriginal_[static_cast<size_t>(y) * width_ + x]) continue;
            if (indexed) {
                dst[x] = static_cast<uint8_t>(v);
            } else {
                StoreWord(dst + x * bytesPerPixel_, bytesPerPixel_,
                          Narrow(v >> 16 & 0xFF, r) | Narrow(v >> 8 & 0xFF, g) | Narrow(v & 0xFF, b));
            }
        }
    }
    dc_.reset();
    dcBitmap_.reset();
    dcOriginal_.clear();
    dcOriginal_.shrink_to_fit();
    return kDdOk;
}

int32_t DirectDrawSurface::GetAttachedSurface(std::unique_ptr<DirectDrawSurface>* out) {
    if (out) out->reset();
    return kDdErrNotFound;
}

// ---- object

DirectDraw::DirectDraw() : shared_(std::make_shared<DirectDrawSurface::Shared>()) {}

DirectDraw::~DirectDraw() = default;

std::unique_ptr<DirectDraw> DirectDraw::Create() {
    int32_t n = g_createFailures.load();
    while (n > 0) {
        if (g_createFailures.compare_exchange_weak(n, n - 1)) return nullptr;
    }
    return std::make_unique<DirectDraw>();
}

int32_t DirectDraw::Initialize(bool /*emulationOnly*/) { return kDdOk; }

int32_t DirectDraw::CreateSurface(const SurfaceRequest& request, std::unique_ptr<DirectDrawSurface>* out) {
    if (!out) return kDdErrInvalidParams;
    out->reset();
    DirectDrawSurface::Shared& s = *shared_;
    if (s.createFailures > 0) {
        --s.createFailures;
        return kDdErrGeneric;
    }
    const int32_t w = request.primary ? s.width : request.width;
    const int32_t h = request.primary ? s.height : request.height;
    const uint32_t bits = s.format.bitCount;
    if (bits == 0 || bits % 8 != 0 || bits > 32) return kDdErrInvalidParams;
    if (w <= 0 || h <= 0 || w > kMaxSurfaceSide || h > kMaxSurfaceSide ||
        int64_t{w} * h > kMaxSurfacePixels) {
        return kDdErrInvalidParams;
    }
    try {
        out->reset(new DirectDrawSurface(shared_, s.format, w, h, request.primary, request.systemMemory));
    } catch (const std::bad_alloc&) {
        return kDdErrOutOfMemory;
    }
    return kDdOk;
}

const SurfaceDesc& DirectDraw::GetDisplayFormat() const { return shared_->format; }
int32_t DirectDraw::GetDisplayWidth() const { return shared_->width; }
int32_t DirectDraw::GetDisplayHeight() const { return shared_->height; }

void DirectDraw::SetDisplayMode(const SurfaceDesc& format, int32_t width, int32_t height) {
    shared_->format = format;
    shared_->width = width;
    shared_->height = height;
    LoseAllSurfaces();
}

void DirectDraw::LoseAllSurfaces() {
    for (DirectDrawSurface* surface : shared_->surfaces) surface->MarkLost();
}

int32_t DirectDraw::SurfaceCount() const { return static_cast<int32_t>(shared_->surfaces.size()); }

void DirectDraw::InjectCreateSurfaceFailures(int32_t count) { shared_->createFailures = std::max(count, 0); }

void DirectDraw::InjectLockFailures(int32_t count, int32_t code) {
    shared_->lockFailures = std::max(count, 0);
    shared_->lockFailureCode = code;
}

void DirectDraw::InjectCreateFailures(int32_t count) { g_createFailures.store(std::max(count, 0)); }

}  // namespace morna::platform
