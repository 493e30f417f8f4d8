#include "tools/datagen/images.h"

#include "draw/image_writer.h"
#include "foundation/auxiliary/file.h"
#include "framework/image_loader.h"

namespace morna::datagen {
namespace {

constexpr int kSheetW = 1280, kSheetH = 960, kColumns = 20, kRows = 17;
constexpr int kCellW = kSheetW / kColumns, kCellH = kSheetH / kRows;

// A thumbnail over a grey checker, so that empty, black and lit pixels all show.
Canvas Thumbnail(const Canvas& pic) {
    const int boxW = kCellW - 2, boxH = kCellH - 10;
    int w = boxW, h = pic.h * boxW / pic.w;
    if (h > boxH) h = boxH, w = std::max(1, pic.w * boxH / pic.h);
    Canvas flat(pic.w, pic.h);
    for (int y = 0; y < pic.h; ++y)
        for (int x = 0; x < pic.w; ++x) {
            const Colour p = pic.px[size_t(y) * pic.w + x];
            const Colour back = ((x / 8 + y / 8) % 2) ? 0xFF505058u : 0xFF404048u;
            flat.px[size_t(y) * pic.w + x] = AlphaOf(p) == 255 ? p : Mix(back, p | 0xFF000000u, AlphaOf(p));
        }
    return Resized(flat, std::max(1, w), std::max(1, h));
}

}  // namespace

ImageBook::ImageBook() {
    AddInterfacePictures(*this);
    AddCharacterPictures(*this);
    AddWorldPictures(*this);
    AddBossPictures(*this);
    AddCutinPictures(*this);
    AddEffectPictures(*this);
}

void ImageBook::Add(int32_t id, Recipe recipe) { recipes_[id] = std::move(recipe); }

std::map<int32_t, std::string> ImageBook::ReadList() const {
    std::map<int32_t, tovarineGameSDK3rd::VTL::VTLstring> names;
    tovarineGameSDK3rd::Auxiliary::CFile list;
    if (list.Read("data\\image\\list.txt") == 0) KestraneGameBase2::CImageLoader::ReadList(list, names);
    std::map<int32_t, std::string> out;
    for (const auto& [id, name] : names) out[id] = std::string(name.c_str());
    return out;
}

std::vector<int32_t> ImageBook::Ids() const {
    std::vector<int32_t> ids;
    for (const auto& entry : recipes_) ids.push_back(entry.first);
    return ids;
}

Canvas ImageBook::Picture(int32_t id) const {
    Random random(0x5EED0000u + static_cast<uint32_t>(id));
    return recipes_.at(id)(random);
}

int SavePicture(const Canvas& pic, const std::string& gameName, bool bitmap, bool pack) {
    tovarineGameSDK3rd::Draw::CSurfaceInfo info;
    info.initialised = true;
    info.pixels = reinterpret_cast<uint8_t*>(const_cast<Colour*>(pic.px.data()));  // read only
    info.pitch = pic.w * 4;
    info.width = pic.w;
    info.height = pic.h;
    info.type = tovarineGameSDK3rd::Draw::ARGB8888;
    const int r = bitmap ? tovarineGameSDK3rd::Draw::SaveBitmap(info, gameName.c_str())
                         : tovarineGameSDK3rd::Draw::SaveTvg(info, gameName.c_str(), nullptr, pack);
    info.pixels = nullptr;
    return r;
}

bool ImageBook::Make(int32_t id, const std::string& name, std::string& error) {
    const Canvas pic = Picture(id);
    const bool bitmap = name.size() > 4 && name.compare(name.size() - 4, 4, ".bmp") == 0;
    // Packing is asked for above 16 KB; the writer keeps the packed form only when smaller.
    const int r = SavePicture(pic, name, bitmap, size_t(pic.w) * pic.h * 4 > 16384);
    if (r != 0) {
        error = "the image writer answered " + std::to_string(r);
        return false;
    }
    Canvas thumbnail = Thumbnail(pic);
    const std::lock_guard<std::mutex> hold(thumbnailsLock_);
    thumbnails_[id] = std::move(thumbnail);
    return true;
}

Canvas ImageBook::ContactSheet() {
    const std::lock_guard<std::mutex> hold(thumbnailsLock_);
    Canvas sheet(kSheetW, kSheetH, 0xFF202028u);
    size_t i = 0;
    for (const auto& [id, thumb] : thumbnails_) {
        if (i == size_t(kColumns * kRows)) break;
        const int cx = int(i % kColumns) * kCellW, cy = int(i / kColumns) * kCellH;
        Put(sheet, thumb, cx + (kCellW - thumb.w) / 2, cy + 1 + (kCellH - 10 - thumb.h) / 2);
        const std::string label = std::to_string(id);
        Text(sheet, cx + (kCellW - TextWidth(label, 1)) / 2, cy + kCellH - 8, label, 0xFFC0C0C8u, 1, 1);
        ++i;
    }
    return sheet;
}

}  // namespace morna::datagen
