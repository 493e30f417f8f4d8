#pragma once
// A counter that runs between two bounds and wraps to the opposite bound when
// it leaves the range.
#include "foundation/auxiliary/serialize.h"

#include <cstdint>

namespace tovarineGameSDK3rd::Math {

class ICounter {
public:
    virtual ~ICounter() = default;
    virtual int32_t Get() const = 0;
    virtual void Set(int32_t value) = 0;
    virtual ICounter& operator++() = 0;  // one step toward end
    virtual ICounter& operator--() = 0;  // one step toward start
    virtual bool IsBegin() const = 0;
    virtual bool IsEnd() const = 0;
};

class CRootCounter : public ICounter, public Auxiliary::IArchive {
public:
    CRootCounter() = default;

    // current, start, end, step and sub-count, 4 bytes each. A load that runs
    // past the data leaves the counter as it was.
    void Serialize(Auxiliary::ISerialize& ar) override;

    int32_t Get() const override { return current_; }
    void Set(int32_t value) override { current_ = value; }
    CRootCounter& operator++() override { Step(true); return *this; }
    CRootCounter& operator--() override { Step(false); return *this; }
    bool IsBegin() const override { return current_ == start_; }
    bool IsEnd() const override { return current_ == end_; }

    void SetStart(int32_t v) { start_ = v; }
    void SetEnd(int32_t v) { end_ = v; }
    // >= 1: the amount per step; < 1: -step calls make one unit step (0 moves every call).
    void SetStep(int32_t v) { step_ = v; }
    int32_t GetStart() const { return start_; }
    int32_t GetEnd() const { return end_; }
    int32_t GetStep() const { return step_; }

    // One step toward end (towardEnd) or toward start.
    void Step(bool towardEnd);

private:
    int32_t current_ = 0;
    int32_t start_ = 0;
    int32_t end_ = 0x7FFFFFFF;
    int32_t step_ = 1;
    int32_t subCount_ = 0;
};

}  // namespace tovarineGameSDK3rd::Math
