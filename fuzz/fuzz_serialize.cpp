// Loads a record of strings, vectors and values from arbitrary bytes. A load that
// does not fail must store back to exactly the bytes it consumed; a failed one
// must leave every later field empty.
#include "foundation/auxiliary/serialize.h"

#include <cstdlib>
#include <cstring>

using namespace tovarineGameSDK3rd;
using namespace tovarineGameSDK3rd::Auxiliary;

namespace {

struct SRecord : IArchive {
    int32_t version = 0;
    VTL::VTLstring name;
    std::vector<uint8_t> keys;
    std::vector<VTL::VTLstring> lines;
    std::vector<uint16_t> codes;
    std::vector<bool> bits;
    double speed = 0;
    VTL::smart_ptr<uint32_t> table;
    std::vector<int32_t> tail;

    void Serialize(ISerialize& ar) override {
        ar << version << name << keys << lines << codes << bits << speed << table << tail;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CSerialize ar;
    ar.GetData().assign(data, data + size);
    ar.SetStoring(false);
    SRecord r;
    r.tail = {1, 2, 3};
    ar << r;
    if (ar.GetReadPosition() > size) std::abort();
    if (ar.IsFailed()) {
        if (!r.tail.empty()) std::abort();
        return 0;
    }
    CSerialize back;
    back << r;
    const uint32_t used = ar.GetReadPosition();
    if (back.GetData().size() != used) std::abort();
    // Booleans load from any non-zero byte but store as 1: compare all else exactly.
    if (used != 0 && std::memcmp(back.GetData().data(), data, used) != 0) {
        CSerialize again;
        again.GetData() = back.GetData();
        again.SetStoring(false);
        SRecord r2;
        again << r2;
        CSerialize third;
        third << r2;
        if (third.GetData() != back.GetData()) std::abort();
    }
    return 0;
}
