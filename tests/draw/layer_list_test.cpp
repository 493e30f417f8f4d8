// Layer lists: order of drawing, invisible layers, removal of every entry, and lists changed
// by a layer while they draw.
#include <gtest/gtest.h>

#include <string>

#include "draw/layer_list.h"

using namespace tovarineGameSDK3rd::Draw;

namespace {

std::string g_log;

class Layer : public ILayer {
public:
    explicit Layer(char name) : name_(name) {}
    void OnDraw(morna::platform::DeviceContext*) override { g_log += std::string("d") + name_; }
    void OnDraw(ISurface*) override {
        g_log += std::string("s") + name_;
        if (onDraw) onDraw();
    }
    void (*onDraw)() = nullptr;

private:
    char name_;
};

class LayerListTest : public ::testing::Test {
protected:
    void SetUp() override { g_log.clear(); }
    CLayerList list;
    Layer a{'a'}, b{'b'}, c{'c'};
};

TEST_F(LayerListTest, DrawsTheVisibleLayersInTheOrderAdded) {
    EXPECT_TRUE(list.IsEmpty());
    list.Add(&b);
    list.Add(&a);
    list.Add(&c);
    list.Add(nullptr);
    c.visible = 0;
    list.OnDraw(static_cast<ISurface*>(nullptr));
    list.OnDraw(static_cast<morna::platform::DeviceContext*>(nullptr));
    EXPECT_EQ(g_log, "sbsadbda");
    EXPECT_FALSE(list.IsEmpty());
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
}

TEST_F(LayerListTest, DelRemovesEveryEntryOfTheLayer) {
    list.Add(&a);
    list.Add(&b);
    list.Add(&a);
    list.Del(&a);
    list.OnDraw(static_cast<ISurface*>(nullptr));
    EXPECT_EQ(g_log, "sb");
    list.Del(&b);
    EXPECT_TRUE(list.IsEmpty());
}

CLayerList* g_list;
Layer* g_removed;
Layer* g_added;

TEST_F(LayerListTest, ALayerThatChangesTheListWhileDrawingIsSafe) {
    g_list = &list;
    g_removed = &c;
    g_added = &a;
    list.Add(&b);
    list.Add(&c);
    b.onDraw = [] {
        g_list->Del(g_removed);  // not drawn any more
        g_list->Add(g_added);    // drawn from the next frame on
        for (int i = 0; i < 64; ++i) g_list->Add(g_added);  // the list grows under the walk
    };
    list.OnDraw(static_cast<ISurface*>(nullptr));
    EXPECT_EQ(g_log, "sb");
    b.onDraw = nullptr;
    g_log.clear();
    list.Del(&a);
    list.Add(&a);
    list.OnDraw(static_cast<ISurface*>(nullptr));
    EXPECT_EQ(g_log, "sbsa");
}

}  // namespace
