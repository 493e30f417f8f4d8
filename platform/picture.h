#pragma once
// Standard picture formats (PNG, JPEG, GIF) decoded from memory, and drawn onto a memory
// device context. PNG and JPEG are decoded by SDL2_image, GIF by giflib; the picture's size
// is read from its header and checked against the picture limit before the decoder
// allocates anything.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace morna::platform {

class DeviceContext;

// The size a PNG, JPEG or GIF header declares (for a GIF, its logical screen, grown to hold
// its first image). False for data of another kind or a header that ends too soon.
bool PeekPictureSize(const uint8_t* data, size_t size, int32_t& width, int32_t& height);

class Picture {
public:
    // Null, with the reason in *why, for data that is none of the formats, a size beyond the
    // picture limit, or data the decoder refuses.
    static std::unique_ptr<Picture> Decode(const uint8_t* data, size_t size, std::string* why = nullptr);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    // Pixels 0xAARRGGBB, rows top down.
    const std::vector<uint32_t>& Pixels() const { return pixels_; }

    // Draws the picture at its own size with its top-left corner at (x, y), cut to the
    // bitmap; a pixel with alpha is laid over what the bitmap holds there. False when the
    // context has no bitmap.
    bool Render(DeviceContext& dc, int32_t x, int32_t y) const;

private:
    Picture() = default;
    bool DecodeGif(const uint8_t* data, size_t size, std::string& why);
    bool DecodeWithSdl(const uint8_t* data, size_t size, bool png, std::string& why);
    int32_t width_ = 0, height_ = 0;
    std::vector<uint32_t> pixels_;
};

}  // namespace morna::platform
