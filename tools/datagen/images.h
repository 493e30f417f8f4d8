#pragma once
// The image recipes: a picture for every id of data\image\list.txt, written as the list's
// name says (.bmp: 24-bit BMP; else tvg, packed above 16 KB).
#include <functional>
#include <mutex>

#include "tools/datagen/datagen.h"
#include "tools/datagen/raster.h"

namespace morna::datagen {

// Writes a picture through the drawing core's writers: a 24-bit BMP, or a tvg (packed when
// asked); the writer's answer (0 written).
int SavePicture(const Canvas& pic, const std::string& gameName, bool bitmap, bool pack);

class ImageBook : public RecipeBook {
public:
    using Recipe = std::function<Canvas(Random&)>;

    ImageBook();  // every picture of the data set
    const char* Folder() const override { return "data\\image"; }
    std::map<int32_t, std::string> ReadList() const override;
    std::vector<int32_t> Ids() const override;
    bool Make(int32_t id, const std::string& name, std::string& error) override;

    void Add(int32_t id, Recipe recipe);
    // The picture of id, drawn anew from its fixed seed.
    Canvas Picture(int32_t id) const;
    // Every picture made so far, shrunk into one 1280 x 960 sheet with its id.
    Canvas ContactSheet();

private:
    std::map<int32_t, Recipe> recipes_;
    std::mutex thumbnailsLock_;  // Make runs on several threads
    std::map<int32_t, Canvas> thumbnails_;
};

// The recipe groups, each adding its pictures to the book.
void AddInterfacePictures(ImageBook& book);    // HUD sheets, items, barriers, faces
void AddCharacterPictures(ImageBook& book);    // hero, enemies, shots, blocks
void AddWorldPictures(ImageBook& book);        // terrain, puddings, jelly, backgrounds
void AddBossPictures(ImageBook& book);         // bosses and their pieces
void AddCutinPictures(ImageBook& book);        // cut-ins, finisher frames, gallery stills
void AddEffectPictures(ImageBook& book);       // effects 601-695

}  // namespace morna::datagen
