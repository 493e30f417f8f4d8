#pragma once
// Surfaces by request: code that needs a surface asks the calling thread's plane factory,
// never a surface class by name. CFastDraw::CreateWithPlaneFactory installs the factory of
// its display; CPlane is the owning handle of a surface made that way.
#include <memory>

#include "draw/surface.h"
#include "foundation/thread/thread_local.h"
#include "foundation/vtl/smart_ptr.h"

namespace tovarineGameSDK3rd::Draw {

class CFastDraw;
struct DisplayAnchor;

class IPlaneFactory {
public:
    // A new surface owned by the caller, or null.
    virtual ISurface* CreatePlane() = 0;
    virtual ~IPlaneFactory() = default;
};

// Makes CFastPlanes of one display. It holds the display through its anchor, so a factory
// that outlives its display makes nothing (null, with a log line) instead of reaching it.
class CPlaneFactoryFastPlane : public IPlaneFactory {
public:
    explicit CPlaneFactoryFastPlane(CFastDraw* display);
    ISurface* CreatePlane() override;

private:
    std::shared_ptr<DisplayAnchor> display_;
};

// The factory of each thread; a thread without one reads an empty pointer.
Thread::ThreadLocal<VTL::smart_ptr<IPlaneFactory>>& GetPlaneFactorySlot();

class CPlane : public VTL::smart_ptr<ISurface> {
public:
    // A surface from the calling thread's factory; throws VTL::CRuntimeException when the
    // thread has none.
    CPlane();
    // A counted copy of the calling thread's factory (empty when it has none).
    static VTL::smart_ptr<IPlaneFactory> GetPlaneFactory();
    // Releases what the handle held, then makes it own a new surface of the factory (nothing
    // when the factory answers null). Throws VTL::CRuntimeException for an empty factory.
    static void CreateInstance(CPlane& plane, const VTL::smart_ptr<IPlaneFactory>& factory);
};

}  // namespace tovarineGameSDK3rd::Draw
