// Test helper: what every checked configuration file must stand. The record is
// saved to `file` under the base folder, then each damaged copy (every single
// byte flipped, and the 4-byte file with the checksum of nothing) must load as
// 2 into a record that keeps its bytes; the undamaged file loads back to the
// record bytes it holds (those after a header of headerSize bytes).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "foundation/auxiliary/serialize.h"
#include "tests/common/file_bytes.h"

namespace morna::test {

// Bytes of a record as its Serialize stores them.
template <class Record>
std::vector<uint8_t> RecordBytes(Record& r) {
    tovarineGameSDK3rd::Auxiliary::CSerialize ar;
    ar << r;
    return ar.GetData();
}

// load(record, name) answers 0, 1 or 2; the record passed in holds `other`
// values, so that a load that changes it shows.
template <class Record>
void ExpectDamagedFilesRefused(const std::string& folder, const char* file, const std::vector<uint8_t>& saved,
                               size_t headerSize,
                               const std::function<void(Record&)>& makeOther,
                               const std::function<int(Record&, const char*)>& load) {
    const std::string path = folder + "/" + file;
    std::vector<std::vector<uint8_t>> damaged = {{0, 0, 0, 0}};
    for (size_t i = 0; i < saved.size(); ++i) {
        damaged.push_back(saved);
        damaged.back()[i] ^= 0x01;
    }
    for (size_t k = 0; k < damaged.size(); ++k) {
        WriteBytes(path, damaged[k]);
        Record r;
        makeOther(r);
        const std::vector<uint8_t> before = RecordBytes(r);
        EXPECT_EQ(load(r, file), 2) << "damaged copy " << k;
        EXPECT_EQ(RecordBytes(r), before) << "damaged copy " << k;
    }
    WriteBytes(path, saved);
    Record r;
    makeOther(r);
    EXPECT_EQ(load(r, file), 0);
    EXPECT_EQ(RecordBytes(r), std::vector<uint8_t>(saved.begin() + headerSize, saved.end() - 4));
}

}  // namespace morna::test
