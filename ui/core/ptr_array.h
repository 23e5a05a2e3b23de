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

// The same array holding pointers to T only, so that reads need no cast;
// storage and growth are the untyped array's.
template <typename T>
class CUIPtrArrayOf {
public:
    explicit CUIPtrArrayOf(int preallocate = 0) : items_(preallocate) {}

    void Empty() { items_.Empty(); }
    bool IsEmpty() const { return items_.IsEmpty(); }
    int GetSize() const { return items_.GetSize(); }

    bool Add(T* item) { return items_.Add(item); }
    bool InsertAt(int index, T* item) { return items_.InsertAt(index, item); }
    bool Remove(int index) { return items_.Remove(index); }
    int Find(T* item) const { return items_.Find(item); }

    // An index outside the array gives null.
    T* GetAt(int index) const { return static_cast<T*>(items_.GetAt(index)); }
    T* operator[](int index) const { return GetAt(index); }

    // For arrays that own what they point to: deletes each, then empties.
    void DeleteAll()
    {
        for (int i = 0; i < GetSize(); ++i)
            delete GetAt(i);
        Empty();
    }

private:
    CUIPtrArray items_;
};

} // namespace SkinUI
