#pragma once

#include "ui/core/ui_string.h"

namespace SkinUI {

// Hash map from strings to untyped pointers; the bucket count is fixed at
// construction and the map never owns the values.
class CUIStringMap {
public:
    static const int kMinBuckets = 16;

    explicit CUIStringMap(int buckets = 83);
    ~CUIStringMap();
    CUIStringMap(const CUIStringMap&) = delete;
    CUIStringMap& operator=(const CUIStringMap&) = delete;

    static unsigned Hash(const wchar_t* key);

    void* Find(const wchar_t* key) const;
    // Fails (false) when the key is already there.
    bool Insert(const wchar_t* key, void* data);
    // Replaces the value of an existing key (returning the old one) or inserts it.
    void* Set(const wchar_t* key, void* data);
    bool Remove(const wchar_t* key);
    void RemoveAll();

    int GetSize() const { return count_; }
    int GetBucketCount() const { return bucketCount_; }
    // Key of the index-th entry, walking buckets in order and each from its front.
    const wchar_t* GetAt(int index) const;

private:
    struct Entry {
        CUIString key;
        void* data;
        Entry* next;
    };

    Entry** BucketOf(const wchar_t* key) const;

    Entry** buckets_;
    int bucketCount_;
    int count_ = 0;
};

} // namespace SkinUI
