#include "tools/wave/wave_writer.h"

#include <cstdio>
#include <stdexcept>

namespace morna::tools {
namespace {

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

void AppendLE32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

Bytes RiffChunkBytes(const std::string& id, const Bytes& data) {
    if (id.size() != 4) throw std::invalid_argument("a chunk id has four bytes");
    Bytes out(id.begin(), id.end());
    AppendLE32(out, static_cast<uint32_t>(data.size()));
    Append(out, data);
    if (data.size() & 1) out.push_back(0);
    return out;
}

Bytes WaveFileBytes(const platform::WaveFormat& format, const Bytes& data, const WaveLayout& layout) {
    platform::WaveFormat f = format;
    f.extraSize = static_cast<uint16_t>(layout.extra.size());
    Bytes fmt(platform::kWaveFormatSize);
    platform::WriteWaveFormat(f, fmt.data());
    if (layout.shortPcmFormat) fmt.resize(16);
    Append(fmt, layout.extra);

    Bytes body{'W', 'A', 'V', 'E'};
    Append(body, RiffChunkBytes("fmt ", fmt));
    for (const auto& [id, bytes] : layout.before) Append(body, RiffChunkBytes(id, bytes));
    Append(body, RiffChunkBytes("data", data));
    for (const auto& [id, bytes] : layout.after) Append(body, RiffChunkBytes(id, bytes));
    return RiffChunkBytes("RIFF", body);
}

Bytes PcmWaveFileBytes(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& data) {
    WaveLayout layout;
    layout.shortPcmFormat = true;
    return WaveFileBytes(platform::PcmWaveFormat(channels, rate, bits), data, layout);
}

bool SaveBytes(const std::string& path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace morna::tools
