#include "ui/core/ptr_array.h"

#include <stdlib.h>
#include <string.h>

namespace SkinUI {

CUIPtrArray::CUIPtrArray(int preallocate)
{
    if (preallocate <= 0)
        return;
    items_ = static_cast<void**>(malloc(static_cast<size_t>(preallocate) * sizeof(void*)));
    if (items_)
        capacity_ = preallocate;
}

CUIPtrArray::CUIPtrArray(const CUIPtrArray& other)
{
    *this = other;
}

CUIPtrArray& CUIPtrArray::operator=(const CUIPtrArray& other)
{
    if (this == &other)
        return *this;
    Empty();
    for (int i = 0; i < other.count_; ++i)
        Add(other.items_[i]);
    return *this;
}

CUIPtrArray::~CUIPtrArray()
{
    free(items_);
}

void CUIPtrArray::Empty()
{
    free(items_);
    items_ = nullptr;
    count_ = 0;
    capacity_ = 0;
}

bool CUIPtrArray::Grow()
{
    int capacity = capacity_ == 0 ? 11 : capacity_ * 2;
    void** grown = static_cast<void**>(realloc(items_, static_cast<size_t>(capacity) * sizeof(void*)));
    if (!grown)
        return false;
    items_ = grown;
    capacity_ = capacity;
    return true;
}

// The append that fills the last free slot doubles the capacity at once.
bool CUIPtrArray::Add(void* item)
{
    if (count_ + 1 >= capacity_ && !Grow())
        return false;
    items_[count_++] = item;
    return true;
}

bool CUIPtrArray::InsertAt(int index, void* item)
{
    if (index == count_)
        return Add(item);
    if (index < 0 || index > count_)
        return false;
    if (count_ + 1 >= capacity_ && !Grow())
        return false;
    memmove(items_ + index + 1, items_ + index, static_cast<size_t>(count_ - index) * sizeof(void*));
    items_[index] = item;
    ++count_;
    return true;
}

bool CUIPtrArray::SetAt(int index, void* item)
{
    if (index < 0 || index >= count_)
        return false;
    items_[index] = item;
    return true;
}

bool CUIPtrArray::Remove(int index)
{
    if (index < 0 || index >= count_)
        return false;
    --count_;
    memmove(items_ + index, items_ + index + 1, static_cast<size_t>(count_ - index) * sizeof(void*));
    return true;
}

int CUIPtrArray::Find(void* item) const
{
    for (int i = 0; i < count_; ++i) {
        if (items_[i] == item)
            return i;
    }
    return -1;
}

void* CUIPtrArray::GetAt(int index) const
{
    if (index < 0 || index >= count_)
        return nullptr;
    return items_[index];
}

} // namespace SkinUI
