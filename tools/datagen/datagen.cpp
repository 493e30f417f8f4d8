#include "tools/datagen/datagen.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "foundation/auxiliary/file.h"
#include "platform/file_system.h"

namespace morna::datagen {
namespace {

using tovarineGameSDK3rd::Auxiliary::CFile;

bool SetBase(const std::string& folder, std::string& error) {
    std::string name;
    if (!platform::NameFromSystemPath(std::filesystem::absolute(folder).string(), name)) {
        error = "no game path for " + folder;
        return false;
    }
    CFile::SetBaseDirectory(name.c_str());
    return true;
}

std::string Posix(std::string gamePath) {
    std::replace(gamePath.begin(), gamePath.end(), '\\', '/');
    return gamePath;
}

}  // namespace

uint32_t Crc32(const std::vector<uint8_t>& bytes) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::string ManifestLine(const std::string& path, const std::vector<uint8_t>& bytes) {
    char tail[40];
    std::snprintf(tail, sizeof tail, " %zu %08x", bytes.size(), Crc32(bytes));
    return path + tail;
}

bool Generate(const std::vector<RecipeBook*>& books, const Options& options, std::string& error) {
    const tovarineGameSDK3rd::VTL::VTLstring savedBase = CFile::GetBaseDirectory();
    struct Job {
        RecipeBook* book;
        int32_t id;
        std::string name;  // game path from the base
    };
    std::vector<Job> jobs;
    bool ok = SetBase(options.source, error);
    for (RecipeBook* book : books) {
        if (!ok) break;
        const std::string list = std::string(book->Folder()) + "\\list.txt";
        const std::map<int32_t, std::string> listed = book->ReadList();
        const std::vector<int32_t> ids = book->Ids();
        for (const auto& [id, file] : listed) {
            if (!std::binary_search(ids.begin(), ids.end(), id)) {
                error = list + ": " + file + " (id " + std::to_string(id) + ") has no recipe";
                ok = false;
                break;
            }
            jobs.push_back({book, id, std::string(book->Folder()) + "\\" + file});
        }
        for (int32_t id : ids) {
            if (ok && !listed.count(id)) {
                error = "the recipe of id " + std::to_string(id) + " is not listed in " + list;
                ok = false;
            }
        }
    }
    // The files are independent: workers take them in turn, each result kept at its place.
    std::vector<std::string> manifest(jobs.size()), errors(jobs.size());
    if (ok) ok = SetBase(options.out, error);
    for (const Job& job : jobs) {
        if (ok) std::filesystem::create_directories((std::filesystem::path(options.out) / Posix(job.name)).parent_path());
    }
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            const Job& job = jobs[i];
            const std::string path = Posix(job.name);
            std::vector<uint8_t> bytes;
            CFile file;
            if (!job.book->Make(job.id, job.name, errors[i])) errors[i] = path + ": " + errors[i];
            else if (file.ReadVector(job.name.c_str(), bytes) != 0) errors[i] = path + ": not written";
            else manifest[i] = ManifestLine(path, bytes);
            if (!errors[i].empty()) next = jobs.size();  // the others stop after their file
        }
    };
    if (ok) {
        std::vector<std::thread> workers;
        for (unsigned k = 1; k < std::clamp(std::thread::hardware_concurrency(), 1u, 4u); ++k) workers.emplace_back(work);
        work();
        for (std::thread& w : workers) w.join();
        for (const std::string& e : errors) {
            if (!e.empty()) {
                error = e;
                ok = false;
                break;
            }
        }
    }
    CFile::SetBaseDirectory(savedBase);
    if (ok && !options.manifest.empty()) {
        std::ofstream out(options.manifest, std::ios::binary | std::ios::trunc);
        for (const std::string& line : manifest) out << line << '\n';
        if (!out.flush()) {
            error = "cannot write " + options.manifest;
            ok = false;
        }
    }
    return ok;
}

}  // namespace morna::datagen
