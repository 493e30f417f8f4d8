#include "foundation/auxiliary/string_map.h"

#include "foundation/auxiliary/file.h"
#include "foundation/auxiliary/string_scanner.h"

#include <utility>

namespace tovarineGameSDK3rd::Auxiliary {

using VTL::VTLstring;

void CStringMap::Write(const VTLstring& key, int64_t number) { Write(key, VTL::Int64ToString(number)); }

void CStringMap::Write(const VTLstring& key, const VTLstring& value) { map_[key] = value; }

void CStringMap::Append(const VTLstring& key, const VTLstring& value) {
    auto it = map_.find(key);
    if (it == map_.end()) {
        map_.emplace(key, value);
    } else if (!value.empty()) {
        it->second += value;
    }
}

int32_t CStringMap::ReadNumber(const VTLstring& key, int64_t& out) const {
    auto it = map_.find(key);
    if (it == map_.end()) {
        out = 0;
        return -1;
    }
    return CStringScanner::GetNum64(it->second, &out);
}

int32_t CStringMap::Read(const VTLstring& key, VTLstring& value) const {
    auto it = map_.find(key);
    if (it == map_.end()) {
        value.clear();
        return -1;
    }
    value = it->second;
    return 0;
}

VTLstring CStringMap::GetString(const VTLstring& key, const VTLstring& def) const {
    auto it = map_.find(key);
    return (it == map_.end() || it->second.empty()) ? def : it->second;
}

int32_t CStringMap::GetNumber(const VTLstring& key, int32_t def) const {
    int64_t n = 0;
    return ReadNumber(key, n) == 0 ? static_cast<int32_t>(static_cast<uint32_t>(n)) : def;
}

int64_t CStringMap::GetNumber64(const VTLstring& key, int64_t def) const {
    int64_t n = 0;
    return ReadNumber(key, n) == 0 ? n : def;
}

bool CStringMap::Erase(const VTLstring& key) { return map_.erase(key) != 0; }

int32_t CStringMap::Load(const VTLstring& name) {
    CFile file;
    const int32_t r = file.Read(name);
    if (r != 0) return r;
    Clear();
    VTLstring line;
    while (file.ReadLine(line) == 0) {
        const char* text = line.c_str();
        if (text[0] == '/' && text[1] == '/') continue;
        if (text[0] != '#') continue;
        const char* cursor = text + 1;
        if (CStringScanner::IsEnd(&cursor)) continue;
        const VTLstring key = CStringScanner::GetWord(&cursor);
        if (CStringScanner::IsEnd(&cursor)) continue;  // a key without a value is not stored
        Write(key, CStringScanner::GetWord(&cursor));
    }
    return 0;
}

int32_t CStringMap::Save(const VTLstring& name) const {
    // One whole-file write (a new file renamed over the old), so a failed save
    // never leaves half a map behind and a failed write is reported. Lines end
    // in CR LF, which Load needs.
    VTLstring text;
    for (const auto& [key, value] : map_) {
        text += "#";
        text += key;
        text += " ";
        text += value;
        text += "\r\n";
    }
    CFile file;
    return file.Write(name, text.c_str(), text.size());
}

void CStringMap::Replace(VTLstring& text, bool caseSensitive) const {
    for (const auto& [key, value] : map_) VTL::ReplaceString(text, key, value, caseSensitive);
}

void CStringMap::Serialize(ISerialize& ar) {
    if (ar.IsStoring()) {
        int32_t count = static_cast<int32_t>(map_.size());
        ar << count;
        for (auto& [key, value] : map_) {
            VTLstring k = key;
            ar << k << value;
        }
        return;
    }
    // A damaged stream (the archive fails) leaves the map as it was.
    int32_t count = 0;
    ar << count;
    Map loaded;
    for (int32_t i = 0; i < count && !ar.IsFailed(); ++i) {
        VTLstring key, value;
        ar << key << value;
        loaded.emplace(std::move(key), std::move(value));  // a repeated key keeps its first value
    }
    if (!ar.IsFailed()) map_.swap(loaded);
}

}  // namespace tovarineGameSDK3rd::Auxiliary
