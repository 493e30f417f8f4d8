// Runs every file of a fuzz target's corpus folder once through the target, in the ordinary
// builds (g++, with the sanitizers when they are on), so that a past finding fails every
// build's tests and not only the fuzz build's. Usage: replay_fuzz_<name> <corpus folder>.
//
// A target that defines MornaFuzzEndState (a hash of what the last input left) is also held to
// ending each input alike whatever ran before it, since the fuzzer saves only the one input of
// a finding: after the pass in name order, the files run again in the reverse order, each after
// another neighbour, and must end as they did.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" __attribute__((weak)) uint64_t MornaFuzzEndState();

namespace {

struct Input {
    std::filesystem::path path;
    // A block of exactly the input's size, as the fuzzer gives, so a read past its end is caught.
    std::unique_ptr<uint8_t[]> data;
    size_t size = 0;
};

bool Read(Input& input) {
    std::ifstream in(input.path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    if (size < 0) return false;
    input.data.reset(new uint8_t[size > 0 ? size : 1]);
    input.size = static_cast<size_t>(size);
    return static_cast<bool>(in.seekg(0).read(reinterpret_cast<char*>(input.data.get()), size));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    std::vector<Input> inputs;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file()) inputs.emplace_back().path = it->path();
    if (error || inputs.empty()) {
        std::fprintf(stderr, "no corpus in %s\n", folder.c_str());
        return 1;
    }
    std::sort(inputs.begin(), inputs.end(), [](const Input& a, const Input& b) { return a.path < b.path; });
    for (Input& input : inputs) {
        if (!Read(input)) {
            std::fprintf(stderr, "cannot read %s\n", input.path.c_str());
            return 1;
        }
    }
    std::vector<uint64_t> ends;
    for (const Input& input : inputs) {
        std::printf("%s (%zu bytes)\n", input.path.filename().c_str(), input.size);
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(input.data.get(), input.size);
        if (MornaFuzzEndState) ends.push_back(MornaFuzzEndState());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    if (!MornaFuzzEndState) return 0;
    size_t differing = 0;
    for (size_t i = inputs.size(); i-- > 0;) {
        LLVMFuzzerTestOneInput(inputs[i].data.get(), inputs[i].size);
        if (MornaFuzzEndState() == ends[i]) continue;
        ++differing;
        std::printf("%s ends otherwise after %s than after %s\n", inputs[i].path.filename().c_str(),
                    inputs[std::min(i + 1, inputs.size() - 1)].path.filename().c_str(),
                    i > 0 ? inputs[i - 1].path.filename().c_str() : "nothing");
    }
    std::printf("%zu of %zu inputs end otherwise after another input\n", differing, inputs.size());
    return differing == 0 ? 0 : 1;
}
