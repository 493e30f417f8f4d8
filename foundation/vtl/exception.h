// The SDK's exceptions for programming errors, thrown by value. Each answers its
// message, Shift-JIS text, through getMessage.
#pragma once

#include "foundation/vtl/vtl_string.h"

namespace tovarineGameSDK3rd {
namespace VTL {

class CException {
public:
    virtual ~CException() = default;
    virtual VTLstring getMessage() const;
};

// Access through an empty smart_ptr.
class CNullPointerException : public CException {
public:
    VTLstring getMessage() const override;
};

// Access through a smart_ptr at or past its element count.
class CIndexOutOfBoundsException : public CException {
public:
    VTLstring getMessage() const override;
};

// A value out of range or a misuse found at run time; an empty message is
// replaced by a general one.
class CRuntimeException : public CException {
public:
    CRuntimeException() = default;
    explicit CRuntimeException(const VTLstring& message) : message_(message) {}
    VTLstring getMessage() const override;

private:
    VTLstring message_;
};

class CSyntaxException : public CException {
public:
    CSyntaxException() = default;
    explicit CSyntaxException(const VTLstring& message) : message_(message) {}
    VTLstring getMessage() const override;

private:
    VTLstring message_;
};

// A thread's sleep or wait after it was interrupted.
class CInterruptedException : public CException {
public:
    VTLstring getMessage() const override;
};

// A monitor operation by a thread that does not own the monitor.
class CIllegalMonitorStateException : public CException {
public:
    VTLstring getMessage() const override;
};

}  // namespace VTL
}  // namespace tovarineGameSDK3rd
