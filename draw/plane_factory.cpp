#include "draw/plane_factory.h"

#include <new>

#include "draw/fast_draw.h"
#include "foundation/vtl/exception.h"
#include "foundation/vtl/text_output_stream.h"

namespace tovarineGameSDK3rd::Draw {

CPlaneFactoryFastPlane::CPlaneFactoryFastPlane(CFastDraw* display)
    : display_(display ? display->GetAnchor() : nullptr) {}

ISurface* CPlaneFactoryFastPlane::CreatePlane() {
    CFastDraw* display = display_ ? display_->display : nullptr;
    if (!display) {
        GetErrorLog().Out("CPlaneFactoryFastPlane::CreatePlaneでディスプレイが既にない");
        return nullptr;
    }
    return new (std::nothrow) CFastPlane(display);
}

Thread::ThreadLocal<VTL::smart_ptr<IPlaneFactory>>& GetPlaneFactorySlot() {
    static Thread::ThreadLocal<VTL::smart_ptr<IPlaneFactory>> slot;
    return slot;
}

CPlane::CPlane() { CreateInstance(*this, GetPlaneFactory()); }

VTL::smart_ptr<IPlaneFactory> CPlane::GetPlaneFactory() { return *GetPlaneFactorySlot().Get(); }

void CPlane::CreateInstance(CPlane& plane, const VTL::smart_ptr<IPlaneFactory>& factory) {
    if (factory.isNull()) throw VTL::CRuntimeException("CPlane::CreateInstanceでfactoryがNULL");
    plane.Release();
    ISurface* surface = factory->CreatePlane();
    if (surface) static_cast<VTL::smart_ptr<ISurface>&>(plane) = VTL::smart_ptr<ISurface>(surface);
}

}  // namespace tovarineGameSDK3rd::Draw
