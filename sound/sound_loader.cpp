#include "sound/sound_loader.h"

namespace tovarineGameSDK3rd::Multimedia {

using Auxiliary::CLoadCacheInfo;
using SoundRef = VTL::smart_ptr<ISound>;
using RecordRef = VTL::smart_ptr<CSELoader::CSELoaderInfo>;

namespace {
SoundRef Silent() { return SoundRef(new CSoundNullDevice); }
}  // namespace

int32_t CSoundLoader::CreateEntry(VTL::smart_ptr<CLoadCacheInfo>& entry) {
    if (!factory_) return -1;
    const SoundRef sound =
        waveOnly_ ? factory_->CreateWaveSound(entry->fileName, streaming_) : factory_->CreateSound(entry->fileName);
    entry->object = sound;
    if (sound->GetType() == kSoundNullDevice) return 1;
    return sound->Load(entry->fileName);
}

SoundRef CSoundLoader::GetSound(int32_t id) {
    VTL::smart_ptr<CLoadCacheInfo> entry;
    if (GetInfo(id, entry) != 0) return Silent();
    const SoundRef* sound = std::any_cast<SoundRef>(&entry->object);
    return sound != nullptr ? *sound : SoundRef();
}

void CSoundLoader::Stop(int32_t id) {
    if (!useList_->contains(Key(id))) return;
    if (const SoundRef sound = GetSound(id)) sound->Stop();
}

CSELoader::CSELoaderInfo* CSELoader::Record(const CLoadCacheInfo& entry) {
    const RecordRef* record = std::any_cast<RecordRef>(&entry.object);
    return record != nullptr ? record->GetNoCheck() : nullptr;
}

void CSELoader::CreateEntryInfo(VTL::smart_ptr<CLoadCacheInfo>& entry, int32_t id) {
    RecordRef record(new CSELoaderInfo);
    record->id = id;
    record->fileName = entry->fileName;
    entry->object = record;
}

int32_t CSELoader::CreateEntrySound(VTL::smart_ptr<CLoadCacheInfo>& entry) {
    if (!factory_) return -1;
    CSELoaderInfo* record = Record(*entry);
    if (record == nullptr) return -1;
    record->sound = factory_->CreateSound(record->fileName);
    const int32_t r = record->sound->Load(record->fileName);
    if (r != 0) record->sound = Silent();
    return r;
}

SoundRef CSELoader::GetSound(int32_t id) {
    Load(id);
    VTL::smart_ptr<CLoadCacheInfo> entry;
    if (GetInfo(id, entry) != 0) return Silent();
    const CSELoaderInfo* record = Record(*entry);
    return record != nullptr && record->sound ? record->sound : Silent();
}

}  // namespace tovarineGameSDK3rd::Multimedia
