#include "draw/fast_draw.h"

#include <algorithm>

#include "draw/base/blend_tables.h"
#include "draw/plane_factory.h"
#include "foundation/thread/com.h"
#include "foundation/thread/thread_local.h"
#include "foundation/vtl/text_output_stream.h"

namespace tovarineGameSDK3rd::Draw {

namespace {
// The current display of each thread, through its anchor: a display destroyed elsewhere
// leaves an anchor that reads null rather than a dangling pointer.
Thread::ThreadLocal<std::shared_ptr<DisplayAnchor>>& CurrentDisplaySlot() {
    static Thread::ThreadLocal<std::shared_ptr<DisplayAnchor>> slot;
    return slot;
}
}  // namespace

// ---- CDirectDraw

CDirectDraw::CDirectDraw(bool emulationOnly) {
    com_ = Thread::AddRefCOM() == 0;
    object_ = morna::platform::DirectDraw::Create();
    if (!object_) {
        status_ = NotCreated;
        return;
    }
    if (emulationOnly) {
        if (object_->Initialize(true) == morna::platform::kDdOk) {
            status_ = Ready;
            return;
        }
        GetErrorLog().Out("CDirectDraw::CDirectDrawでEmulationOnlyに出来なかった");
        if (object_->Initialize(false) == morna::platform::kDdOk) {
            status_ = HardwareOnly;
            return;
        }
    } else if (object_->Initialize(false) == morna::platform::kDdOk) {
        status_ = Ready;
        return;
    }
    GetErrorLog().Out("CDirectDraw::CDirectDrawでHAL初期化に失敗");
    object_.reset();
    status_ = InitialiseFailed;
}

CDirectDraw::~CDirectDraw() {
    object_.reset();
    if (com_) Thread::ReleaseCOM();
}

// ---- CFastDraw

CFastDraw::CFastDraw()
    : anchor_(std::make_shared<DisplayAnchor>(DisplayAnchor{this})),
      directDraw_(true),
      primary_(this),
      palettePlane_(this),
      backPlane_(this) {
    CurrentDisplaySlot().Set(anchor_);
    if (Window::IWindow* window = AppFrame::CAppManager::GetMyWindow()) {
        const Window::CWindowOption* options = window->GetWindowOption();
        if (options && options->width > 0 && options->height > 0) {
            width_ = options->width;
            height_ = options->height;
        }
    }
    hwnd_ = AppFrame::CAppManager::GetMyHWnd();
    AppFrame::CAppManager::AddDraw(this);
    AppFrame::CAppManager::Hook(this);
    primary_.SetSystemMemory(false);
    backPlane_.SetKeepContents(true);
    InitBlendTables();
}

CFastDraw::~CFastDraw() {
    AppFrame::CAppManager::Unhook(this);
    AppFrame::CAppManager::DelDraw(this);
    // Planes that outlive the display keep their pixels but no longer reach it.
    anchor_->display = nullptr;
    planes_.clear();
    std::shared_ptr<DisplayAnchor>* current = CurrentDisplaySlot().Get();
    if (*current == anchor_) current->reset();
}

VTL::smart_ptr<CFastDraw> CFastDraw::CreateWithPlaneFactory() {
    VTL::smart_ptr<CFastDraw> display(new CFastDraw);
    VTL::smart_ptr<IPlaneFactory> factory(new CPlaneFactoryFastPlane(display.operator->()));
    GetPlaneFactorySlot().SetAndGet(factory);
    return display;
}

CFastDraw* CFastDraw::GetCurrent() {
    Thread::ThreadLocal<std::shared_ptr<DisplayAnchor>>& slot = CurrentDisplaySlot();
    if (slot.IsEmpty()) return nullptr;
    const std::shared_ptr<DisplayAnchor> anchor = *slot.Get();
    return anchor ? anchor->display : nullptr;
}

void CFastDraw::GetDisplaySize(int* width, int* height) const {
    if (width) *width = width_;
    if (height) *height = height_;
}

void CFastDraw::AddPlane(CFastPlane* plane) {
    if (plane && !HasPlane(plane)) planes_.push_back(plane);
}

void CFastDraw::RemovePlane(CFastPlane* plane) {
    planes_.erase(std::remove(planes_.begin(), planes_.end(), plane), planes_.end());
}

bool CFastDraw::HasPlane(const CFastPlane* plane) const {
    return std::find(planes_.begin(), planes_.end(), plane) != planes_.end();
}

void CFastDraw::RestorePlanes() {
    const std::vector<CFastPlane*> walk = planes_;
    for (CFastPlane* plane : walk) {
        if (HasPlane(plane)) plane->Restore();
    }
}

}  // namespace tovarineGameSDK3rd::Draw
