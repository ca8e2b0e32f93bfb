// The resource tests look resources up the way the dialog layer does, in the registered module.
#include "framework/ResourceModule.h"
#include "res/AppResources.h"

namespace {

const bool g_registered = [] {
    AfxSetResourceModule(VocamintResources());
    return true;
}();

} // namespace
