#include "draw/layer_list.h"

#include <algorithm>

namespace tovarineGameSDK3rd::Draw {

void CLayerList::Add(ILayer* layer) {
    if (layer != nullptr) layers_.push_back(layer);
}

void CLayerList::Del(ILayer* layer) { layers_.erase(std::remove(layers_.begin(), layers_.end(), layer), layers_.end()); }

void CLayerList::Clear() { layers_.clear(); }

bool CLayerList::IsEmpty() const { return layers_.empty(); }

// Over a copy: a layer may add or remove layers while it draws; those changes show from the
// next frame on.
template <class Target>
void CLayerList::DrawAll(Target* target) {
    const std::vector<ILayer*> walk = layers_;
    for (ILayer* layer : walk) {
        if (std::find(layers_.begin(), layers_.end(), layer) == layers_.end()) continue;  // removed meanwhile
        if (layer->visible) layer->OnDraw(target);
    }
}

void CLayerList::OnDraw(morna::platform::DeviceContext* dc) { DrawAll(dc); }

void CLayerList::OnDraw(ISurface* surface) { DrawAll(surface); }

}  // namespace tovarineGameSDK3rd::Draw
