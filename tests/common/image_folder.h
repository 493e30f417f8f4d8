// Test helper: a temporary base folder with an image folder "img" of small BMPs and its
// list.txt, read by the image list, with an XRGB8888 display as the thread's current one (as
// the game's). The image list is emptied of loaded images before and after.
//
//   ImageFolder images;
//   images.Write("a.bmp", 0x445566, "a.bmp,7\r\n");   // the picture, then list.txt, read
//   images.Colour(7) == 0x445566;                        // 1 for an empty surface
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "draw/fast_draw.h"
#include "framework/image_loader.h"
#include "tests/common/temp_base_folder.h"

namespace morna::test {

class ImageFolder {
public:
    ImageFolder() {
        draw_.GetDDraw()->SetDisplayMode(tovarineGameSDK3rd::Draw::XRGB8888, 64, 48);
        bool retry = false;
        EXPECT_EQ(draw_.GetPrimary()->CreatePrimary(&retry, 0, 0), 0);
        std::filesystem::create_directory(folder_.Path() + "/img");
        Loader().ReleasePlanes();
        Loader().CheckMemory(100, UINT64_MAX);
    }
    ~ImageFolder() { Loader().ReleasePlanes(); }

    static KestraneGameBase2::CImageLoader& Loader() { return KestraneGameBase2::CImageLoader::GetInstance(); }

    // Writes img\name, a rectangle of one colour (a square without height), and (with `list`)
    // img\list.txt, then reads the list.
    void Write(const char* name, uint32_t colour, const std::string& list, int size = 2, int height = 0) {
        tovarineGameSDK3rd::Draw::CFastPlane p;
        p.CreateMemorySurface(size, height > 0 ? height : size, tovarineGameSDK3rd::Draw::XRGB8888, true);
        p.SetFillColor(colour);
        p.Clear(nullptr);
        ASSERT_EQ(p.SaveBitmap(tovarineGameSDK3rd::VTL::VTLstring("img\\") + name, nullptr), 0);
        if (list.empty()) return;
        std::ofstream(folder_.Path() + "/img/list.txt", std::ios::binary) << list;
        Loader().LoadList("img");
    }
    // The colour of an image's first pixel (loading it when needed); 1 for an empty surface.
    uint32_t Colour(int32_t id) {
        tovarineGameSDK3rd::Draw::ISurface& s = KestraneGameBase2::CImageLoader::GetImage(id);
        uint32_t c = 1;
        if (s.GetSize(nullptr, nullptr) == 0) s.GetSurfaceInfo()->GetPixel(0, 0, &c);
        return c;
    }
    void Remove(const char* name) { std::filesystem::remove(folder_.Path() + "/img/" + name); }
    const std::string& Path() const { return folder_.Path(); }

private:
    TempBaseFolder folder_{"morna-images"};
    tovarineGameSDK3rd::Draw::CFastDraw draw_;
};

}  // namespace morna::test
