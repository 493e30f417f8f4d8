#pragma once
// The data-set generator: every binary file that the committed lists of data\ name (the
// images now; the sounds and the music join as further recipe books), made from recipes
// into a run folder, with a manifest of sizes and checksums.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace morna::datagen {

// One kind of generated file: the folder whose list.txt names the files, and a recipe for
// every id. Lists are read and files written through the game's file layer, whose base
// directory the driver sets.
class RecipeBook {
public:
    virtual ~RecipeBook() = default;
    virtual const char* Folder() const = 0;  // "data\\image"
    // folder\list.txt as the game reads it: file name by id.
    virtual std::map<int32_t, std::string> ReadList() const = 0;
    virtual std::vector<int32_t> Ids() const = 0;
    // Writes the file of id under name (a game path); false with a reason on failure. Called
    // for several ids at once from worker threads.
    virtual bool Make(int32_t id, const std::string& name, std::string& error) = 0;
};

struct Options {
    std::string source;        // the tree whose data\ holds the lists
    std::string out;           // the run folder that receives data\...
    std::string manifest;      // where the manifest goes (empty: nowhere)
};

// Makes every listed file of every book (up to four at a time; the manifest in book order and
// ascending ids). A listed id without a recipe, or a recipe that no list names, stops it
// before anything is written. True when all was written; else error says why (the first
// failure in that order).
bool Generate(const std::vector<RecipeBook*>& books, const Options& options, std::string& error);

// The manifest line of a file: "path size crc32" (path '/'-separated from the run folder).
std::string ManifestLine(const std::string& path, const std::vector<uint8_t>& bytes);
uint32_t Crc32(const std::vector<uint8_t>& bytes);

}  // namespace morna::datagen
