#pragma once

#include "ui/core/ptr_array.h"

namespace SkinUI {

// A callable listener: an object with one of its member functions, or a
// plain function. Lists compare them, so each kind knows how to tell
// whether another delegate is the same binding.
class CDelegateBase {
public:
    virtual ~CDelegateBase() = default;
    virtual CDelegateBase* Copy() const = 0;
    virtual bool Invoke(void* param) = 0;
    // Same kind, same object and same function.
    virtual bool Equals(const CDelegateBase& other) const = 0;
    bool operator()(void* param) { return Invoke(param); }
    // One address per delegate kind, so Equals can compare without RTTI.
    virtual const void* Kind() const = 0;
};

template <class T>
class CDelegate : public CDelegateBase {
public:
    typedef bool (T::*Function)(void* param);

    CDelegate(T* object, Function function) : object_(object), function_(function) {}
    CDelegateBase* Copy() const override { return new CDelegate(*this); }
    bool Invoke(void* param) override { return (object_->*function_)(param); }
    bool Equals(const CDelegateBase& other) const override
    {
        if (other.Kind() != Kind())
            return false;
        const CDelegate& same = static_cast<const CDelegate&>(other);
        return same.object_ == object_ && same.function_ == function_;
    }
    const void* Kind() const override
    {
        static const char kind = 0;
        return &kind;
    }

private:
    T* object_;
    Function function_;
};

class CDelegateStatic : public CDelegateBase {
public:
    typedef bool (*Function)(void* param);

    explicit CDelegateStatic(Function function) : function_(function) {}
    CDelegateBase* Copy() const override { return new CDelegateStatic(*this); }
    bool Invoke(void* param) override { return function_(param); }
    bool Equals(const CDelegateBase& other) const override;
    const void* Kind() const override;

private:
    Function function_;
};

template <class T>
CDelegate<T> MakeDelegate(T* object, bool (T::*function)(void*))
{
    return CDelegate<T>(object, function);
}

inline CDelegateStatic MakeDelegate(bool (*function)(void*))
{
    return CDelegateStatic(function);
}

// An ordered list of owned delegate copies; a binding is kept once.
class CDelegateList {
public:
    CDelegateList() = default;
    ~CDelegateList();
    CDelegateList(const CDelegateList&) = delete;
    CDelegateList& operator=(const CDelegateList&) = delete;

    bool IsEmpty() const { return delegates_.IsEmpty(); }
    int GetSize() const { return delegates_.GetSize(); }
    void operator+=(const CDelegateBase& delegate);
    void operator-=(const CDelegateBase& delegate);
    void Clear();
    // Calls each in order; stops at the first false and returns false.
    bool operator()(void* param);

private:
    CUIPtrArrayOf<CDelegateBase> delegates_;
};

} // namespace SkinUI
