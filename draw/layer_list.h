#pragma once
// Layers: what the display draws over each frame before it presents it, in three lists (onto
// the back surface, onto its device context, onto the back surface again). A list holds its
// layers without owning them and draws the visible ones in the order they were added.
#include <cstdint>
#include <vector>

namespace morna::platform {
class DeviceContext;
}

namespace tovarineGameSDK3rd::Draw {

class ISurface;

class ILayer {
public:
    virtual ~ILayer() = default;
    virtual void OnDraw(morna::platform::DeviceContext* dc) = 0;
    virtual void OnDraw(ISurface* surface) = 0;

    uint8_t visible = 1;  // 0: the lists pass the layer by
};

class ILayerList {
public:
    virtual void Add(ILayer* layer) = 0;
    // Removes every entry of the layer.
    virtual void Del(ILayer* layer) = 0;
    virtual void Clear() = 0;
    virtual bool IsEmpty() const = 0;
    virtual void OnDraw(morna::platform::DeviceContext* dc) = 0;
    virtual void OnDraw(ISurface* surface) = 0;
    virtual ~ILayerList() = default;
};

class CLayerList : public ILayerList {
public:
    void Add(ILayer* layer) override;
    void Del(ILayer* layer) override;
    void Clear() override;
    bool IsEmpty() const override;
    void OnDraw(morna::platform::DeviceContext* dc) override;
    void OnDraw(ISurface* surface) override;

private:
    template <class Target>
    void DrawAll(Target* target);

    std::vector<ILayer*> layers_;
};

}  // namespace tovarineGameSDK3rd::Draw
