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
        if (delegates_[i]->Equals(delegate))
            return;
    }
    delegates_.Add(delegate.Copy());
}

void CDelegateList::operator-=(const CDelegateBase& delegate)
{
    for (int i = 0; i < delegates_.GetSize(); ++i) {
        CDelegateBase* stored = delegates_[i];
        if (stored->Equals(delegate)) {
            delete stored;
            delegates_.Remove(i);
            return;
        }
    }
}

void CDelegateList::Clear()
{
    delegates_.DeleteAll();
}

bool CDelegateList::operator()(void* param)
{
    for (int i = 0; i < delegates_.GetSize(); ++i) {
        if (!delegates_[i]->Invoke(param))
            return false;
    }
    return true;
}

} // namespace SkinUI
