#include "framework/image_loader.h"

#include <algorithm>
#include <iterator>

#include "draw/base/pixel_format.h"
#include "foundation/appframe/app_manager.h"
#include "foundation/auxiliary/file.h"
#include "foundation/auxiliary/string_scanner.h"
#include "foundation/vtl/text_output_stream.h"
#include "framework/message_box.h"
#include "platform/memory_status.h"

namespace KestraneGameBase2 {

using tovarineGameSDK3rd::Auxiliary::CFile;
using tovarineGameSDK3rd::Auxiliary::CStringScanner;
using tovarineGameSDK3rd::Draw::CFastPlane;
using tovarineGameSDK3rd::Draw::ISurface;
using tovarineGameSDK3rd::VTL::VTLstring;

CImageLoader::CImageLoader() = default;

CImageLoader& CImageLoader::GetInstance() {
    static CImageLoader instance;
    return instance;
}

ISurface& CImageLoader::GetImage(int32_t id) { return GetInstance().GetImageImpl(id); }

void CImageLoader::LoadList(const VTLstring& folder) {
    const VTLstring dir = folder + "\\";
    CFile file;
    if (file.Read(dir + "list.txt") == 0) ReadList(file, names_);
    folder_ = dir;
}

void CImageLoader::ReadList(CFile& file, std::map<int32_t, VTLstring>& names) {
    VTLstring line;
    while (file.ReadLine(line) == 0) {
        if (line.empty() || (line[0] == '/' && line[1] == '/')) continue;
        const char* p = line.c_str();
        const VTLstring name = CStringScanner::GetStrTo(&p, ',');
        if (*p == ',') ++p;
        int id = 0;
        if (!name.empty() && CStringScanner::GetNum(&p, &id) == 0) names[id] = name;
    }
}

void CImageLoader::CheckMemory(int32_t percent) {
    morna::platform::MemoryStatus status;
    if (!morna::platform::QueryMemoryStatus(status)) {
        // Unknown is not the same as none free: no budget, and no warning.
        tovarineGameSDK3rd::GetErrorLog().Out("CImageLoader::CheckMemoryで空きメモリを取得できない");
        return;
    }
    CheckMemory(percent, status.availablePhysical);
}

void CImageLoader::CheckMemory(int32_t percent, uint64_t availableBytes) {
    if (percent < 0 || percent > 100) return;
    const uint64_t available = std::min<uint64_t>(availableBytes, 0xFFFFFFFFu);
    budget_ = static_cast<uint32_t>(available / 100) * static_cast<uint32_t>(percent);
    if (budget_ < 200) {
        ShowMessageBox(tovarineGameSDK3rd::AppFrame::GetMainHWnd(),
                       "メモリの空きが少なくなっているため\n正常にゲームが動作しない恐れがあります。", "メモリ警告",
                       morna::platform::MB_OK | morna::platform::MB_ICONWARNING);
    }
}

ISurface& CImageLoader::GetImageImpl(int32_t id) {
    const auto found = byId_.find(id);
    if (found != byId_.end()) {
        recent_.splice(recent_.begin(), recent_, found->second);
        return planes_[found->second->image.slot];
    }
    if (recent_.size() >= static_cast<size_t>(kSlotCount)) ReleaseEntry(std::prev(recent_.end()));

    int32_t slot = static_cast<int32_t>(recent_.size());
    if (!freeSlots_.empty()) {
        slot = freeSlots_.front();
        freeSlots_.pop_front();
    }
    CFastPlane& plane = planes_[slot];
    SEntry entry{id, SImage{slot, -1}, 0};
    const auto name = names_.find(id);
    if (name != names_.end()) {
        plane.Load(folder_ + name->second);
        plane.SetColorKey(0xFF00FF);
        entry.image.id = id;
    }
    int w = 0, h = 0;
    plane.GetSize(&w, &h);
    entry.bytes = uint64_t(w) * uint64_t(h) * uint64_t(tovarineGameSDK3rd::Draw::PixelSizeOf(plane.GetSurfaceType()));
    recent_.push_front(entry);
    byId_[id] = recent_.begin();

    const uint64_t before = bytesUsed_;
    bytesUsed_ += entry.bytes;
    if (budget_ != 0 && before > budget_) {
        // The image just loaded is at the front and stays, whatever its own size.
        while (bytesUsed_ - entry.bytes > budget_ && recent_.size() > 1) ReleaseEntry(std::prev(recent_.end()));
    }
    return plane;
}

void CImageLoader::ReleaseEntry(Recent::iterator it) {
    planes_[it->image.slot].Release();
    bytesUsed_ -= it->bytes;
    // Keyed by the id asked for, so that an empty image leaves no stale entry behind.
    byId_.erase(it->key);
    freeSlots_.push_back(it->image.slot);
    recent_.erase(it);
}

void CImageLoader::Release(int32_t id) {
    const auto it = std::find_if(recent_.begin(), recent_.end(), [id](const SEntry& e) { return e.image.id == id; });
    if (it != recent_.end()) ReleaseEntry(it);
}

void CImageLoader::ReleasePlanes() {
    for (CFastPlane& plane : planes_) plane.Release();
    recent_.clear();
    byId_.clear();
    freeSlots_.clear();
    bytesUsed_ = 0;
}

int32_t CImageLoader::FindId(const tovarineGameSDK3rd::Draw::CSurfaceInfo* info) {
    for (const SEntry& e : recent_) {
        if (planes_[e.image.slot].GetSurfaceInfo() == info) return e.key;
    }
    return -1;
}

}  // namespace KestraneGameBase2
