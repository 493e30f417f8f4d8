#include "foundation/vtl/exception.h"

namespace tovarineGameSDK3rd {
namespace VTL {

VTLstring CException::getMessage() const { return VTLstring(); }

VTLstring CNullPointerException::getMessage() const { return VTLstring("Null pointerからのアクセス"); }

VTLstring CIndexOutOfBoundsException::getMessage() const {
    return VTLstring("配列範囲外へのメモリへのアクセス");
}

VTLstring CRuntimeException::getMessage() const {
    if (message_.empty()) return VTLstring("実行時例外（範囲外の数値が指定されている)");
    return message_;
}

VTLstring CSyntaxException::getMessage() const { return message_; }

VTLstring CInterruptedException::getMessage() const { return VTLstring("InterruptedException例外が発生"); }

VTLstring CIllegalMonitorStateException::getMessage() const {
    return VTLstring("CIllegalMonitorStateException例外が発生");
}

}  // namespace VTL
}  // namespace tovarineGameSDK3rd
