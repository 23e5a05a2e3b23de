#include "ui/controls/delegate.h"

namespace SkinUI {

bool CDelegateStatic::Equals(const CDelegateBase& other) const
{
    return other.Kind() == Kind() && static_cast<const CDelegateStatic&>(other).function_ == function_;
}

const void* CDelegateStatic::Kind() const
{
    static const char kind = 0;
    return &kind;
}

CDelegateList::~CDelegateList()
{
    Clear();
}

void CDelegateList::operator+=(const CDelegateBase& delegate)
{
    for (int i = 0; i < delegates_.GetSize(); ++i) {
        if (static_cast<CDelegateBase*>(delegates_[i])->Equals(delegate))
            return;
    }
    delegates_.Add(delegate.Copy());
}

void CDelegateList::operator-=(const CDelegateBase& delegate)
{
    for (int i = 0; i < delegates_.GetSize(); ++i) {
        CDelegateBase* stored = static_cast<CDelegateBase*>(delegates_[i]);
        if (stored->Equals(delegate)) {
            delete stored;
            delegates_.Remove(i);
            return;
        }
    }
}

void CDelegateList::Clear()
{
    for (int i = 0; i < delegates_.GetSize(); ++i)
        delete static_cast<CDelegateBase*>(delegates_[i]);
    delegates_.Empty();
}

bool CDelegateList::operator()(void* param)
{
    for (int i = 0; i < delegates_.GetSize(); ++i) {
        if (!static_cast<CDelegateBase*>(delegates_[i])->Invoke(param))
            return false;
    }
    return true;
}

} // namespace SkinUI
