#pragma once

namespace SkinUI {

// A growable array of untyped pointers; it never owns what they point to.
class CUIPtrArray {
public:
    explicit CUIPtrArray(int preallocate = 0);
    CUIPtrArray(const CUIPtrArray& other);
    CUIPtrArray& operator=(const CUIPtrArray& other);
    ~CUIPtrArray();

    void Empty();
    bool IsEmpty() const { return count_ == 0; }
    int GetSize() const { return count_; }
    int GetCapacity() const { return capacity_; }

    bool Add(void* item);
    bool InsertAt(int index, void* item);
    bool SetAt(int index, void* item);
    bool Remove(int index);
    int Find(void* item) const;

    // An index outside the array gives null.
    void* GetAt(int index) const;
    void* operator[](int index) const { return GetAt(index); }
    void** GetData() const { return items_; }

private:
    bool Grow();

    void** items_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
};

} // namespace SkinUI
