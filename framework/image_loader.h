#pragma once
// CImageLoader: the process-wide image cache. A list file maps image ids to file names; an
// image is loaded on first use into one of 255 surfaces, the images are kept in
// least-recently-used order, and the oldest goes when all surfaces are taken or when the
// memory that images use passes a budget taken from the machine's free memory.
// Application thread only.
#include <cstdint>
#include <list>
#include <map>

#include "draw/fast_plane.h"
#include "foundation/auxiliary/file.h"
#include "foundation/vtl/vtl_string.h"

namespace KestraneGameBase2 {

class CImageLoader {
public:
    static constexpr int32_t kSlotCount = 255;

    struct SImage {
        int32_t slot = -1;
        int32_t id = -1;  // -1: the id has no file; the slot's surface stays empty
    };

    // The one instance, built on first use.
    static CImageLoader& GetInstance();

    // Reads folder\list.txt ("name,id" lines; empty and "//" lines skipped, a later line of
    // an id replaces an earlier one) and keeps the folder. A missing list leaves no names.
    void LoadList(const tovarineGameSDK3rd::VTL::VTLstring& folder);
    // The lines of a list file read into `file`, added to `names`.
    static void ReadList(tovarineGameSDK3rd::Auxiliary::CFile& file,
                         std::map<int32_t, tovarineGameSDK3rd::VTL::VTLstring>& names);
    // The budget := percent of the available memory (percent 0 to 100; other values are
    // ignored). A budget below 200 bytes warns the player with a message box.
    void CheckMemory(int32_t percent);
    // The same with the available memory given.
    void CheckMemory(int32_t percent, uint64_t availableBytes);

    // The surface of image id, loaded when needed; an id without a file, or a file that does
    // not load, answers an empty surface.
    static tovarineGameSDK3rd::Draw::ISurface& GetImage(int32_t id);
    tovarineGameSDK3rd::Draw::ISurface& GetImageImpl(int32_t id);
    // Releases the loaded image of that id, if any.
    void Release(int32_t id);
    // Releases every surface and forgets every loaded image (the list is kept).
    void ReleasePlanes();

    // The id whose loaded image has this description; -1 when none (test draw logs read it).
    int32_t FindId(const tovarineGameSDK3rd::Draw::CSurfaceInfo* info);
    const std::map<int32_t, tovarineGameSDK3rd::VTL::VTLstring>& GetNameList() const { return names_; }
    uint32_t GetBudget() const { return budget_; }
    uint64_t GetBytesUsed() const { return bytesUsed_; }

private:
    CImageLoader();
    CImageLoader(const CImageLoader&) = delete;
    CImageLoader& operator=(const CImageLoader&) = delete;

    struct SEntry {
        int32_t key;  // the id asked for (also for an empty image, whose SImage id is -1)
        SImage image;
        uint64_t bytes;
    };
    using Recent = std::list<SEntry>;

    void ReleaseEntry(Recent::iterator it);

    Recent recent_;  // most recently used first
    std::map<int32_t, Recent::iterator> byId_;
    std::list<int32_t> freeSlots_;
    tovarineGameSDK3rd::Draw::CFastPlane planes_[kSlotCount];
    std::map<int32_t, tovarineGameSDK3rd::VTL::VTLstring> names_;
    tovarineGameSDK3rd::VTL::VTLstring folder_;
    uint64_t bytesUsed_ = 0;  // wide, so that 255 large images cannot wrap it
    uint32_t budget_ = 0;     // 0: none
};

}  // namespace KestraneGameBase2
