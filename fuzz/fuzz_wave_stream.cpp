// Opens arbitrary bytes as a WAVE stream twice, as a file on disk and as a memory
// name, and walks both the same way: format, length, a few positions picked by
// the input, and reads to the end in pieces. The two modes must agree on every
// answer and every byte.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sound/wave_stream.h"
#include "tests/common/temp_base_folder.h"

using tovarineGameSDK3rd::Multimedia::CWaveStream;

namespace {

// Every answer of the walk, in order, and the bytes read.
std::vector<int64_t> Walk(CWaveStream& s, const char* name, const uint8_t* data, size_t size) {
    std::vector<int64_t> trace{s.Open(name)};
    const auto* f = s.GetFormat();
    trace.insert(trace.end(), {f->formatTag, f->channels, f->samplesPerSec, f->avgBytesPerSec, f->blockAlign,
                               f->bitsPerSample, s.GetLength(), s.GetCurrentPos()});
    std::vector<uint8_t> buffer(4099);
    for (int round = 0; round < 3; ++round) {
        int32_t ms = 0;
        if (size >= 4u * (round + 1)) std::memcpy(&ms, data + size - 4u * (round + 1), 4);
        trace.push_back(s.SetCurrentPos(round == 2 ? ms : ms % 4000));
        trace.push_back(s.GetCurrentPos());
        for (uint32_t piece = 1 + static_cast<uint32_t>(round * 1000);;) {
            const uint32_t n = s.Read(buffer.data(), piece);
            if (n > piece) std::abort();
            trace.push_back(n);
            for (uint32_t i = 0; i < n; ++i) trace.push_back(buffer[i]);
            if (n == 0 || trace.size() > 400000) break;
        }
    }
    return trace;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = morna::test::ProgramBaseFolder("morna-fuzz-wave") + "/a.wav";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) std::abort();
    if (size != 0 && std::fwrite(data, 1, size, out) != size) std::abort();
    std::fclose(out);

    std::vector<uint8_t> copy(data, data + size);
    char memoryName[64];
    std::snprintf(memoryName, sizeof memoryName, "!%llx,%zx",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(copy.data())), size);
    CWaveStream disk, memory;
    const std::vector<int64_t> a = Walk(disk, "a.wav", data, size);
    const std::vector<int64_t> b = Walk(memory, memoryName, data, size);
    if (size != 0 && a != b) std::abort();  // an empty file has no memory copy to read
    return 0;
}
