#pragma once
// An image plug-in library loaded at run time (the C interface is in image_plugin_abi.h).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/image_plugin_abi.h"

namespace morna::platform {

class ImagePlugin {
public:
    ~ImagePlugin();
    ImagePlugin(const ImagePlugin&) = delete;
    ImagePlugin& operator=(const ImagePlugin&) = delete;

    // Loads the library at a program name ("Z:\..." form) and finds its three exports. Null,
    // with the reason in *why, when it does not load or lacks one of them.
    static std::unique_ptr<ImagePlugin> Open(const std::string& name, std::string* why = nullptr);

    bool IsSupported(const void* data) const { return isSupported_(nullptr, data) != 0; }
    bool GetPictureInfo(const void* data, size_t size, MornaSpiPictureInfo& info) const;

    // A decoded picture: the two blocks the plug-in handed over, freed with it.
    struct Output {
        ~Output();
        void* info = nullptr;
        void* bits = nullptr;
    };
    bool GetPicture(const void* data, size_t size, Output& out) const;

private:
    ImagePlugin() = default;
    void* library_ = nullptr;
    MornaSpiIsSupported isSupported_ = nullptr;
    MornaSpiGetPictureInfo getPictureInfo_ = nullptr;
    MornaSpiGetPicture getPicture_ = nullptr;
};

}  // namespace morna::platform
