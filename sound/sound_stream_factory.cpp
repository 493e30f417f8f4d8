#include "sound/sound_stream_factory.h"

#include "foundation/appframe/object_creater.h"
#include "foundation/auxiliary/file.h"
#include "sound/acm_stream.h"
#include "sound/wave_stream.h"

namespace tovarineGameSDK3rd::Multimedia {

VTL::smart_ptr<ISoundStream> CSoundStreamFactory::Open(const VTL::VTLstring& name) {
    const VTL::VTLstring full = Auxiliary::CFile::GetFullName(name);
    VTL::VTLstring ext = Auxiliary::CFile::GetSuffix(full);
    ext.ToLower();

    if (ext == "wav") {
        VTL::smart_ptr<ISoundStream> wave(new CWaveStream);
        if (wave->Open(full.c_str()) == 0) return wave;
    }
    for (const auto& [key, className] : map_->GetMap()) {
        VTL::VTLstring lower = key;
        lower.ToLower();
        if (!(lower == ext)) continue;
        void* object = AppFrame::CObjectCreater::GetInstance()->Create(className);
        if (object == nullptr) continue;
        VTL::smart_ptr<ISoundStream> stream(static_cast<ISoundStream*>(object));
        if (stream->Open(full.c_str()) == 0) return stream;
    }
    VTL::smart_ptr<ISoundStream> acm(new CACMStream);
    if (acm->Open(full.c_str()) == 0) return acm;
    return VTL::smart_ptr<ISoundStream>(new CNullSoundStream);
}

}  // namespace tovarineGameSDK3rd::Multimedia
