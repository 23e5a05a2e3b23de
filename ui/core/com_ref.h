#pragma once

#include <utility>

namespace SkinUI {

// Move-only counted reference to a COM-style object, released when it goes.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { reset(); }

    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept
    {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }

    // Takes a new reference of its own; null stays null.
    static ComRef Share(T* object)
    {
        ComRef ref;
        ref.object_ = object;
        if (object)
            object->AddRef();
        return ref;
    }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // For out-parameters that hand over a reference.
    T** put()
    {
        reset();
        return &object_;
    }

    void reset()
    {
        if (object_)
            std::exchange(object_, nullptr)->Release();
    }

private:
    T* object_ = nullptr;
};

} // namespace SkinUI
