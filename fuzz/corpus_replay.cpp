// Runs every file of a fuzz target's corpus folder once through the target, in the ordinary
// builds (g++, with the sanitizers when they are on), so that a past finding fails every
// build's tests and not only the fuzz build's. Usage: replay_fuzz_<name> <corpus folder>.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    std::vector<std::filesystem::path> inputs;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file()) inputs.push_back(it->path());
    if (error || inputs.empty()) {
        std::fprintf(stderr, "no corpus in %s\n", folder.c_str());
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const std::filesystem::path& path : inputs) {
        // A block of exactly the input's size, as the fuzzer gives, so a read past its end is caught.
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
        std::unique_ptr<uint8_t[]> data(new uint8_t[size > 0 ? size : 1]);
        if (size < 0 || !in.seekg(0).read(reinterpret_cast<char*>(data.get()), size)) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        std::printf("%s (%lld bytes)\n", path.filename().c_str(), static_cast<long long>(size));
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(data.get(), static_cast<size_t>(size));
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
