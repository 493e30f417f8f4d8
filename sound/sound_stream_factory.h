#pragma once
// Picks the stream for a file: the WAVE stream for ".wav", then the classes that
// the extension map names (created by name through the object creator), then the
// compressed-audio stream, and the null stream when nothing opens the file.
#include "foundation/auxiliary/string_map.h"
#include "foundation/vtl/smart_ptr.h"
#include "foundation/vtl/vtl_string.h"
#include "sound/sound_stream.h"

namespace tovarineGameSDK3rd::Multimedia {

class ISoundStreamFactory {
public:
    virtual ~ISoundStreamFactory() {}
    // Never empty: an open stream, or a CNullSoundStream.
    virtual VTL::smart_ptr<ISoundStream> Open(const VTL::VTLstring& name) = 0;
};

class CSoundStreamFactory : public ISoundStreamFactory {
public:
    CSoundStreamFactory() : map_(new Auxiliary::CStringMap) {}

    VTL::smart_ptr<ISoundStream> Open(const VTL::VTLstring& name) override;
    // Extension (without the dot, any case) -> class name known to the object creator.
    VTL::smart_ptr<Auxiliary::CStringMap> GetStreamMap() const { return map_; }

private:
    VTL::smart_ptr<Auxiliary::CStringMap> map_;
};

}  // namespace tovarineGameSDK3rd::Multimedia
