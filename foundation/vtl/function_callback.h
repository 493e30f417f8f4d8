// Callable objects over a global function or a bound member function. The SDK's
// start-up and exit lists, thread bodies and timers hold them through smart_ptr.
#pragma once

#include <new>
#include <type_traits>

#include "foundation/vtl/exception.h"

namespace tovarineGameSDK3rd {
namespace VTL {

class function_callback {
public:
    virtual void run() = 0;
    virtual ~function_callback() = default;
    // Sets the object of a member-function callback; a global-function callback has
    // none and refuses.
    virtual void bind(void* object);

    void operator()() { run(); }
};

// A callback whose call returns nothing.
class function_callback_v : public function_callback {};

// A callback whose call yields an R: the result of the latest run.
template <class R>
class function_callback_r : public function_callback {
public:
    virtual R GetResult() const = 0;
    R call() {
        run();
        return GetResult();
    }
};

class function_callback_vg0 : public function_callback_v {
public:
    using function_type = void (*)();
    explicit function_callback_vg0(function_type f) : function_(f) {}
    void run() override {
        if (function_) function_();
    }
    // Allocates a callback for f; null when allocation fails.
    static function_callback_v* Create(function_type f) { return new (std::nothrow) function_callback_vg0(f); }

private:
    function_type function_;
};

template <class T>
class function_callback_vm0 : public function_callback_v {
public:
    using member_type = void (T::*)();
    function_callback_vm0(T* object, member_type f) : object_(object), function_(f) {}
    void run() override { (object_->*function_)(); }
    void bind(void* object) override { object_ = static_cast<T*>(object); }
    static function_callback_v* Create(T* object, member_type f) {
        return new (std::nothrow) function_callback_vm0(object, f);
    }

private:
    T* object_;
    member_type function_;
};

template <class T, class A>
class function_callback_vm1 : public function_callback_v {
public:
    using member_type = void (T::*)(A);
    using argument_type = std::decay_t<A>;
    function_callback_vm1(T* object, member_type f, const argument_type& arg)
        : object_(object), function_(f), argument_(arg) {}
    void run() override { (object_->*function_)(argument_); }
    void bind(void* object) override { object_ = static_cast<T*>(object); }
    static function_callback_v* Create(T* object, member_type f, const argument_type& arg) {
        return new (std::nothrow) function_callback_vm1(object, f, arg);
    }

private:
    T* object_;
    member_type function_;
    argument_type argument_;
};

template <class R, class T, class A>
class function_callback_rm1 : public function_callback_r<R> {
public:
    using member_type = R (T::*)(A);
    using argument_type = std::decay_t<A>;
    function_callback_rm1(T* object, member_type f, const argument_type& arg)
        : result_(), object_(object), function_(f), argument_(arg) {}
    void run() override { result_ = (object_->*function_)(argument_); }
    void bind(void* object) override { object_ = static_cast<T*>(object); }
    R GetResult() const override { return result_; }
    static function_callback_r<R>* Create(T* object, member_type f, const argument_type& arg) {
        return new (std::nothrow) function_callback_rm1(object, f, arg);
    }

private:
    R result_;
    T* object_;
    member_type function_;
    argument_type argument_;
};

}  // namespace VTL
}  // namespace tovarineGameSDK3rd
