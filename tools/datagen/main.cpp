// datagen --source TREE --out RUN [--manifest FILE] [--contact-sheet FILE.bmp]
// Writes every listed binary file of TREE's data\ lists under RUN's data\.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "tools/datagen/images.h"
#include "tools/datagen/sounds.h"

namespace {

bool SaveSheet(const morna::datagen::Canvas& sheet, const std::string& path) {
    std::string name;
    return morna::platform::NameFromSystemPath(std::filesystem::absolute(path).string(), name) &&
           morna::datagen::SavePicture(sheet, name, true, false) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    morna::datagen::Options options;
    std::string sheet;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i], value = argv[i + 1];
        if (flag == "--source") options.source = value;
        else if (flag == "--out") options.out = value;
        else if (flag == "--manifest") options.manifest = value;
        else if (flag == "--contact-sheet") sheet = value;
        else {
            std::fprintf(stderr, "datagen: unknown option %s\n", flag.c_str());
            return 2;
        }
    }
    if (options.source.empty() || options.out.empty() || argc % 2 == 0) {
        std::fprintf(stderr, "usage: datagen --source TREE --out RUN [--manifest FILE] [--contact-sheet FILE.bmp]\n");
        return 2;
    }
    const uint32_t start = morna::platform::MonotonicMilliseconds();
    morna::datagen::ImageBook images;
    morna::datagen::SoundBook effects;
    morna::datagen::MusicBook music;
    std::string error;
    if (!morna::datagen::Generate({&images, &effects, &music}, options, error)) {
        std::fprintf(stderr, "datagen: %s\n", error.c_str());
        return 1;
    }
    const uint32_t made = morna::platform::MonotonicMilliseconds();
    if (!sheet.empty() && !SaveSheet(images.ContactSheet(), sheet)) {
        std::fprintf(stderr, "datagen: cannot write %s\n", sheet.c_str());
        return 1;
    }
    std::printf("datagen: %zu images, %zu sound effects, %zu music tracks in %u ms\n", images.Ids().size(),
                effects.Ids().size(), music.Ids().size(), made - start);
    return 0;
}
