#include "platform/image_plugin.h"

#include <climits>
#include <cstdlib>
#include <new>

#include "platform/file_system.h"
#include "platform/shared_library.h"

namespace morna::platform {

ImagePlugin::~ImagePlugin() {
    if (library_) CloseSharedLibrary(library_);
}

std::unique_ptr<ImagePlugin> ImagePlugin::Open(const std::string& name, std::string* why) {
    std::string path;
    if (!SystemPathFromName(name, path)) {
        if (why) *why = "the name does not convert";
        return nullptr;
    }
    std::unique_ptr<ImagePlugin> p(new (std::nothrow) ImagePlugin);
    if (!p) return nullptr;
    p->library_ = OpenSharedLibrary(path);
    if (!p->library_) {
        if (why) *why = LastSharedLibraryError();
        return nullptr;
    }
    p->isSupported_ = reinterpret_cast<MornaSpiIsSupported>(FindSharedLibrarySymbol(p->library_, "IsSupported"));
    p->getPictureInfo_ =
        reinterpret_cast<MornaSpiGetPictureInfo>(FindSharedLibrarySymbol(p->library_, "GetPictureInfo"));
    p->getPicture_ = reinterpret_cast<MornaSpiGetPicture>(FindSharedLibrarySymbol(p->library_, "GetPicture"));
    if (!p->isSupported_ || !p->getPictureInfo_ || !p->getPicture_) {
        if (why) *why = "an export is missing";
        return nullptr;
    }
    return p;
}

bool ImagePlugin::GetPictureInfo(const void* data, size_t size, MornaSpiPictureInfo& info) const {
    if (size > static_cast<size_t>(INT32_MAX)) return false;
    info = MornaSpiPictureInfo{};
    return getPictureInfo_(data, static_cast<int32_t>(size), 1, &info) == 0;
}

ImagePlugin::Output::~Output() {
    std::free(info);
    std::free(bits);
}

bool ImagePlugin::GetPicture(const void* data, size_t size, Output& out) const {
    if (size > static_cast<size_t>(INT32_MAX)) return false;
    std::free(out.info);
    std::free(out.bits);
    out.info = out.bits = nullptr;
    const bool ok = getPicture_(data, static_cast<int32_t>(size), 1, &out.info, &out.bits, nullptr, 0) == 0;
    return ok && out.info && out.bits;
}

}  // namespace morna::platform
