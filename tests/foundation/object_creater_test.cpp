#include "foundation/appframe/object_creater.h"

#include "foundation/auxiliary/file.h"
#include "platform/file_system.h"
#include "tests/common/log_capture.h"
#include "tests/foundation/plugin/plugin_probe.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <memory>
#include <string>

using namespace tovarineGameSDK3rd;
using AppFrame::CObjectCreater;
using AppFrame::CObjectFactory;

namespace {

struct Counted {
    explicit Counted(int v = 0) : value(v) {}
    int value;
};
struct One : Counted { One() : Counted(1) {} };
struct Two : Counted { Two() : Counted(2) {} };

// A factory that records its own destruction.
class TrackedFactory : public AppFrame::IObjectFactory {
public:
    explicit TrackedFactory(bool* destroyed) : destroyed_(destroyed) {}
    void* Create() override { return new Counted(7); }
    ~TrackedFactory() override { *destroyed_ = true; }

private:
    bool* destroyed_;
};

// Whether the dynamic loader still holds the library at this path.
bool IsLoaded(const char* path) {
    void* h = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    if (!h) return false;
    dlclose(h);
    return true;
}

std::unique_ptr<Counted> Make(CObjectCreater& c, const char* name) {
    return std::unique_ptr<Counted>(static_cast<Counted*>(c.Create(name)));
}

}  // namespace

TEST(ObjectCreater, CreatesByExactNameAndTheFirstRegistrationWins) {
    CObjectCreater c;
    EXPECT_EQ(c.Create("One"), nullptr);
    c.RegisterClass("One", new CObjectFactory<One, Counted>());
    c.RegisterClass(VTL::VTLstring("One"), new CObjectFactory<Two, Counted>());
    c.RegisterClass("Two", new CObjectFactory<Two, Counted>());
    EXPECT_EQ(Make(c, "One")->value, 1);
    EXPECT_EQ(Make(c, "Two")->value, 2);
    EXPECT_EQ(std::unique_ptr<Counted>(static_cast<Counted*>(c.Create(VTL::VTLstring("Two"))))->value, 2);
    for (const char* near : {"one", "On", "One "}) EXPECT_EQ(c.Create(near), nullptr) << near;
}

TEST(ObjectCreater, DestroysTheFactoriesItOwns) {
    bool destroyed = false;
    {
        CObjectCreater c;
        c.RegisterClass("T", new TrackedFactory(&destroyed));
        EXPECT_EQ(Make(c, "T")->value, 7);
        EXPECT_FALSE(destroyed);
    }
    EXPECT_TRUE(destroyed);
}

TEST(ObjectCreater, InstanceLivesUntilDestroyed) {
    CObjectCreater* a = CObjectCreater::GetInstance();
    EXPECT_EQ(CObjectCreater::GetInstance(), a);
    a->RegisterClass("Probe", new CObjectFactory<One, Counted>());
    EXPECT_EQ(Make(*CObjectCreater::GetInstance(), "Probe")->value, 1);
    CObjectCreater::DestroyInstance();
    EXPECT_EQ(CObjectCreater::GetInstance()->Create("Probe"), nullptr);
    CObjectCreater::DestroyInstance();
}

// ---- plug-ins

namespace {

// The program's name of a library built beside the tests ("Z:\...").
VTL::VTLstring ProgramName(const char* systemPath) {
    std::string name;
    EXPECT_TRUE(morna::platform::NameFromSystemPath(systemPath, name)) << systemPath;
    return VTL::VTLstring(name.c_str());
}

int ProbeAnswer(CObjectCreater& c) {
    std::unique_ptr<IPlugInProbe> probe(static_cast<IPlugInProbe*>(c.Create("CPlugInProbe")));
    return probe ? probe->Answer() : -1;
}

}  // namespace

TEST(ObjectCreaterPlugIn, LoadedOnceCountedAndGoneAfterTheLastRelease) {
    const VTL::VTLstring name = ProgramName(MORNA_TEST_PLUGIN);
    morna::test::LogCapture log;
    CObjectCreater c;
    ASSERT_FALSE(IsLoaded(MORNA_TEST_PLUGIN));
    EXPECT_EQ(c.LoadPlugIn(name), 0);
    ASSERT_TRUE(IsLoaded(MORNA_TEST_PLUGIN));
    EXPECT_EQ(ProbeAnswer(c), 42);

    EXPECT_EQ(c.LoadPlugIn(name.c_str()), 0);
    EXPECT_EQ(c.ReleasePlugIn(name), 0);
    EXPECT_TRUE(IsLoaded(MORNA_TEST_PLUGIN));
    EXPECT_EQ(ProbeAnswer(c), 42);

    EXPECT_EQ(c.ReleasePlugIn(name.c_str()), 0);
    EXPECT_EQ(c.Create("CPlugInProbe"), nullptr);
    EXPECT_FALSE(IsLoaded(MORNA_TEST_PLUGIN));
    EXPECT_TRUE(log.Lines().empty());

    // Loadable again afterwards, and the class comes back with it.
    c.LoadPlugIn(name);
    EXPECT_EQ(ProbeAnswer(c), 42);
    c.ReleasePlugIn(name);
    EXPECT_FALSE(IsLoaded(MORNA_TEST_PLUGIN));
}

// Edge cases: the log is their only sign, as a load always answers 0. A missing file is
// named in full (a relative name against the base directory); a library without the entry is
// dropped silently; releasing a name not loaded (names compare exactly: another case is
// another plug-in) is logged and changes nothing.
TEST(ObjectCreaterPlugIn, EdgeCases) {
    const VTL::VTLstring probe = ProgramName(MORNA_TEST_PLUGIN);
    std::string upper(probe.c_str());
    upper.replace(upper.rfind("probe"), 5, "Probe");
    const std::string base = Auxiliary::CFile::GetBaseDirectory().c_str();
    const std::string unknown = "CObjectCreater::ReleasePlugIn 登録されていないPlugInの削除";
    const struct {
        std::string load, release, log;
    } cases[] = {
        {"Z:/nowhere/none.so", "", "CDllPlugInLoader::Load \"Z:\\nowhere\\none.so\"のロードに失敗"},
        {"./sub/missing.so", "", "CDllPlugInLoader::Load \"" + base + "sub\\missing.so\"のロードに失敗"},
        {ProgramName(MORNA_TEST_PLUGIN_NOENTRY).c_str(), "", ""},
        {"", ProgramName(MORNA_TEST_PLUGIN_NOENTRY).c_str(), unknown},  // never in the list
        {"", upper, unknown},
    };
    {
        CObjectCreater c;
        c.LoadPlugIn(probe);
        for (const auto& k : cases) {
            morna::test::LogCapture log;
            const int32_t answer = k.load.empty() ? c.ReleasePlugIn(k.release.c_str()) : c.LoadPlugIn(k.load.c_str());
            EXPECT_EQ(answer, 0);
            EXPECT_EQ(log.Lines(), k.log.empty() ? std::vector<std::string>{} : std::vector<std::string>{k.log});
            EXPECT_FALSE(IsLoaded(MORNA_TEST_PLUGIN_NOENTRY));
            EXPECT_EQ(ProbeAnswer(c), 42);
        }
    }  // the factories go before their library: the other order would crash here
    EXPECT_FALSE(IsLoaded(MORNA_TEST_PLUGIN));
}
