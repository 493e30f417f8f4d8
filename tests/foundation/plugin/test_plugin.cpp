// A plug-in library for the object creator's tests. Built as a module and
// loaded at run time; it links nothing of the program and reaches the creator
// only through the pointer its entry is given.
#include "foundation/appframe/object_creater.h"
#include "tests/foundation/plugin/plugin_probe.h"

namespace {

class CPlugInProbe : public IPlugInProbe {
public:
    int Answer() const override { return 42; }
};

}  // namespace

#ifndef MORNA_PLUGIN_WITHOUT_ENTRY
extern "C" __attribute__((visibility("default")))
void TovaDllInitializer(tovarineGameSDK3rd::AppFrame::IObjectCreater* creater) {
    creater->RegisterClass("CPlugInProbe",
                           new tovarineGameSDK3rd::AppFrame::CObjectFactory<CPlugInProbe, IPlugInProbe>());
}
#else
// A library that a plug-in name may point at by mistake: no entry.
extern "C" __attribute__((visibility("default"))) int MornaNotAPlugIn() { return 0; }
#endif
