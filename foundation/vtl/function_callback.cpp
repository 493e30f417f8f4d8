#include "foundation/vtl/function_callback.h"

namespace tovarineGameSDK3rd {
namespace VTL {

void function_callback::bind(void*) {
    throw CRuntimeException(VTLstring("メンバ関数へのfunction_callbackに対してbindを行なった"));
}

}  // namespace VTL
}  // namespace tovarineGameSDK3rd
