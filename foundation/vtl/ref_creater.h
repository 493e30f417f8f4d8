// Holders of a lazily created shared object: made by the first use, deleted by
// the last (or by the holder's destructor when uses remain).
#pragma once

#include <cstdint>

namespace tovarineGameSDK3rd {
namespace VTL {

// The count and the object; Maker::Create makes it.
template <class T, class Maker>
class ref_creater_base {
public:
    ref_creater_base() = default;
    ref_creater_base(const ref_creater_base&) = delete;
    ref_creater_base& operator=(const ref_creater_base&) = delete;
    ~ref_creater_base() { delete object_; }

    // One more use; the first makes the object.
    void AddRef() {
        if (count_++ == 0 && object_ == nullptr) object_ = static_cast<Maker*>(this)->Create();
    }
    // One use less; the last deletes the object.
    void Release() {
        if (count_ > 0 && --count_ == 0) {
            delete object_;
            object_ = nullptr;
        }
    }
    T* Get() const { return object_; }
    int32_t GetRefCount() const { return count_; }

private:
    T* object_ = nullptr;
    int32_t count_ = 0;
};

// new T().
template <class T>
class ref_creater : public ref_creater_base<T, ref_creater<T>> {
public:
    T* Create() { return new T(); }
};

// new T(mediator).
template <class T, class M>
class ref_creater_and_mediator : public ref_creater_base<T, ref_creater_and_mediator<T, M>> {
public:
    void SetMediator(M* mediator) { mediator_ = mediator; }
    M* GetMediator() const { return mediator_; }
    T* Create() { return new T(mediator_); }

private:
    M* mediator_ = nullptr;
};

}  // namespace VTL
}  // namespace tovarineGameSDK3rd
