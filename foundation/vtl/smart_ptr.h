// smart_ptr: the SDK's reference-counted owning pointer, to one object or into an
// array, with checked access. The count and the way to destroy the object live in a
// separate holder (ref_object), so pointers to a base share the holder that knows
// the concrete type.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "foundation/vtl/exception.h"
#include "foundation/vtl/function_callback.h"

namespace tovarineGameSDK3rd {
namespace VTL {

// The shared holder. The count is atomic: pointers to one object are copied and
// released on several threads (a device held by the error log, thread bodies).
class ref_object {
public:
    ref_object(bool owns, std::uint32_t element_size, std::uint32_t element_count, void* pointer) noexcept
        : owns(owns), element_size(element_size), element_count(element_count), pointer(pointer) {}
    ref_object(const ref_object&) = delete;
    ref_object& operator=(const ref_object&) = delete;

    // Destroys the held object or array.
    virtual void destroy() = 0;
    virtual ~ref_object() = default;

    void AddRef() noexcept { count.fetch_add(1, std::memory_order_relaxed); }
    // Drops one reference; the last one destroys the object (when owned) and the holder.
    void ReleaseRef() noexcept {
        if (count.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            if (owns) destroy();
            delete this;
        }
    }

    std::atomic<std::uint32_t> count{1};
    bool owns;
    std::uint32_t element_size;
    std::uint32_t element_count;
    void* pointer;
};

// One object made with new; deleted as a T (through its virtual destructor if T has one).
template <class T>
class nonarray_ref_object : public ref_object {
public:
    nonarray_ref_object(T* p, bool owns) noexcept : ref_object(owns, sizeof(T), 1, const_cast<std::remove_cv_t<T>*>(p)) {}
    void destroy() override { delete static_cast<T*>(pointer); }
};

// An array made with new[]; delete[] destroys every element of a class type.
template <class T>
class array_ref_object : public ref_object {
public:
    array_ref_object(T* p, std::uint32_t n) noexcept : ref_object(true, sizeof(T), n, p) {}
    void destroy() override { delete[] static_cast<T*>(pointer); }
};

template <class T>
class smart_ptr {
public:
    smart_ptr() noexcept = default;
    smart_ptr(std::nullptr_t) noexcept {}  // NOLINT: an empty pointer reads as nullptr
    // Takes p (of T or a class derived from it); the holder deletes it as a U.
    // owns = false never destroys the object; the holder still goes with the last copy.
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    smart_ptr(U* p, bool owns = true) {  // NOLINT: implicit, as callers write ptr = new X
        if (p) {
            holder_ = new nonarray_ref_object<U>(p, owns);
            base_ = p;
        }
    }
    smart_ptr(const smart_ptr& o) noexcept : base_(o.base_), position_(o.position_), holder_(o.holder_) {
        if (holder_) holder_->AddRef();
    }
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    smart_ptr(const smart_ptr<U>& o) noexcept : base_(o.base_), position_(o.position_), holder_(o.holder_) {
        if (holder_) holder_->AddRef();
    }
    smart_ptr(smart_ptr&& o) noexcept : base_(o.base_), position_(o.position_), holder_(o.holder_) {
        o.base_ = nullptr;
        o.holder_ = nullptr;
    }
    ~smart_ptr() { Release(); }

    // The new holder gains its reference before the old one drops its own, so an
    // object may be replaced by a pointer that it holds itself.
    smart_ptr& operator=(const smart_ptr& o) noexcept {
        if (&o != this) Assign(o.base_, o.position_, o.holder_);
        return *this;
    }
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    smart_ptr& operator=(const smart_ptr<U>& o) noexcept {
        Assign(o.base_, o.position_, o.holder_);
        return *this;
    }
    smart_ptr& operator=(smart_ptr&& o) noexcept {
        if (&o != this) {
            ref_object* old = holder_;
            base_ = o.base_;
            position_ = o.position_;
            holder_ = o.holder_;
            o.base_ = nullptr;
            o.holder_ = nullptr;
            if (old) old->ReleaseRef();
        }
        return *this;
    }

    // Adopts a holder made by the caller with its first reference (count 1), e.g. a
    // nonarray_callback_ref_object; p is the object it holds.
    static smart_ptr Adopt(T* p, ref_object* holder) noexcept {
        smart_ptr r;
        r.base_ = p;
        r.holder_ = holder;
        return r;
    }

    // Drops this pointer's reference; the position keeps its value.
    void Release() noexcept {
        ref_object* h = holder_;
        holder_ = nullptr;
        base_ = nullptr;
        if (h) h->ReleaseRef();
    }

    // A new zeroed array of n elements (bytes, char, int32_t, uint32_t, ...); n <= 0
    // leaves the pointer empty. What it held is released either way.
    void AddArray(std::int64_t n) {
        static_assert(std::is_trivially_default_constructible_v<T>, "AddArray makes arrays of plain values");
        if (n <= 0) {
            Release();
            return;
        }
        if (static_cast<std::uint64_t>(n) > 0xFFFFFFFFu) throw std::length_error("smart_ptr::AddArray: too many elements");
        T* p = new T[static_cast<std::size_t>(n)]();
        ref_object* h;
        try {
            h = new array_ref_object<T>(p, static_cast<std::uint32_t>(n));
        } catch (...) {
            delete[] p;
            throw;
        }
        Release();
        base_ = p;
        position_ = 0;
        holder_ = h;
    }

    // Takes an array of n objects made with new[]. With n = 0 access still fails
    // (nothing lies inside), but the array is freed with the last pointer.
    void SetArray(T* p, std::uint32_t n) {
        ref_object* h = p ? new array_ref_object<T>(p, n) : nullptr;
        Release();
        base_ = p;
        position_ = 0;
        holder_ = h;
    }

    T* operator->() const { return Checked(); }
    T& operator*() const { return *Checked(); }
    // Checks the position only; the caller keeps position + n below the element count.
    T& operator[](std::ptrdiff_t n) const {
        Checked();
        return *Element(static_cast<std::ptrdiff_t>(position_) + n);
    }
    // The current element without any check; null when empty.
    T* GetNoCheck() const noexcept {
        if (!base_) return nullptr;
        if (!holder_) return base_;
        return Element(position_);
    }

    bool isNull() const noexcept { return base_ == nullptr; }
    explicit operator bool() const noexcept { return base_ != nullptr; }
    std::uint32_t GetPosition() const noexcept { return position_; }
    std::uint32_t GetElementCount() const noexcept { return holder_ ? holder_->element_count : 0; }
    // References sharing the holder; 0 when empty.
    std::uint32_t GetRefCount() const noexcept { return holder_ ? holder_->count.load() : 0; }
    ref_object* GetHolder() const noexcept { return holder_; }

    // Moves the position within the array.
    smart_ptr& operator++() noexcept { ++position_; return *this; }
    smart_ptr& operator--() noexcept { --position_; return *this; }
    smart_ptr& operator+=(std::int32_t n) noexcept { position_ += static_cast<std::uint32_t>(n); return *this; }
    smart_ptr& operator-=(std::int32_t n) noexcept { position_ -= static_cast<std::uint32_t>(n); return *this; }

    friend bool operator==(const smart_ptr& a, const smart_ptr& b) noexcept { return a.GetNoCheck() == b.GetNoCheck(); }
    friend bool operator==(const smart_ptr& a, std::nullptr_t) noexcept { return a.base_ == nullptr; }

private:
    template <class U>
    friend class smart_ptr;

    void Assign(T* base, std::uint32_t position, ref_object* holder) noexcept {
        if (holder) holder->AddRef();
        ref_object* old = holder_;
        base_ = base;
        position_ = position;
        holder_ = holder;
        if (old) old->ReleaseRef();
    }
    T* Checked() const {
        if (!base_) throw CNullPointerException();
        if (position_ >= GetElementCount()) throw CIndexOutOfBoundsException();
        return Element(position_);
    }
    // Elements are element_size bytes apart: the holder's type, which may be a
    // class derived from T.
    T* Element(std::ptrdiff_t index) const noexcept {
        if (index == 0) return base_;
        using Byte = std::conditional_t<std::is_const_v<T>, const unsigned char, unsigned char>;
        return reinterpret_cast<T*>(reinterpret_cast<Byte*>(base_) + index * static_cast<std::ptrdiff_t>(holder_->element_size));
    }

    T* base_ = nullptr;
    std::uint32_t position_ = 0;
    ref_object* holder_ = nullptr;
};

// Holds one object and a callback: the last release deletes the object (through its
// virtual destructor), then runs the callback, e.g. to take a sound off its factory's list.
template <class T>
class nonarray_callback_ref_object : public ref_object {
public:
    nonarray_callback_ref_object(T* p, const smart_ptr<function_callback>& callback, bool owns = true)
        : ref_object(owns, sizeof(T), 1, p), callback_(callback) {}
    void destroy() override {
        delete static_cast<T*>(pointer);
        pointer = nullptr;
        if (callback_) callback_->run();
    }

private:
    smart_ptr<function_callback> callback_;
};

}  // namespace VTL
}  // namespace tovarineGameSDK3rd
