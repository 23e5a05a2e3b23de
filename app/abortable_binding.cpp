#include "app/abortable_binding.h"

AbortableBinding::~AbortableBinding()
{
    Detach();
}

void AbortableBinding::Attach(IBinding* binding)
{
    std::lock_guard<std::mutex> hold(lock_);
    if (binding_)
        binding_->Release();
    binding_ = binding;
    if (!binding_)
        return;
    binding_->AddRef();
    if (aborted_)
        binding_->Abort();
}

void AbortableBinding::Detach()
{
    std::lock_guard<std::mutex> hold(lock_);
    if (binding_)
        binding_->Release();
    binding_ = nullptr;
}

// The lock is held across IBinding::Abort so that the download's thread
// cannot release the binding in the middle of it.
void AbortableBinding::Abort()
{
    std::lock_guard<std::mutex> hold(lock_);
    if (aborted_)
        return;
    aborted_ = true;
    if (binding_)
        binding_->Abort();
}
