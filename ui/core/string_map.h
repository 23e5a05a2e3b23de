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

    // visit(key, data) for every entry in GetAt's order, walking the buckets
    // once. The next entry is read before the visit, so a visit may remove
    // the entry it is given.
    template <typename Visit>
    void ForEach(Visit&& visit) const
    {
        for (int i = 0; i < bucketCount_; ++i) {
            for (Entry* entry = buckets_[i]; entry;) {
                Entry* next = entry->next;
                visit(entry->key.GetData(), entry->data);
                entry = next;
            }
        }
    }

    // The data of the first entry, in GetAt's order, that match(key, data)
    // accepts; null when none does.
    template <typename Match>
    void* FindFirst(Match&& match) const
    {
        for (int i = 0; i < bucketCount_; ++i) {
            for (Entry* entry = buckets_[i]; entry; entry = entry->next) {
                if (match(entry->key.GetData(), entry->data))
                    return entry->data;
            }
        }
        return nullptr;
    }

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

// The same map with values of type T only, so that reads need no cast;
// buckets and hash are the untyped map's.
template <typename T>
class CUIStringMapOf {
public:
    explicit CUIStringMapOf(int buckets = 83) : map_(buckets) {}

    T* Find(const wchar_t* key) const { return static_cast<T*>(map_.Find(key)); }
    bool Insert(const wchar_t* key, T* data) { return map_.Insert(key, data); }
    T* Set(const wchar_t* key, T* data) { return static_cast<T*>(map_.Set(key, data)); }
    bool Remove(const wchar_t* key) { return map_.Remove(key); }
    void RemoveAll() { map_.RemoveAll(); }
    int GetSize() const { return map_.GetSize(); }

    template <typename Visit>
    void ForEach(Visit&& visit) const
    {
        map_.ForEach([&visit](const wchar_t* key, void* data) { visit(key, static_cast<T*>(data)); });
    }

    template <typename Match>
    T* FindFirst(Match&& match) const
    {
        return static_cast<T*>(
            map_.FindFirst([&match](const wchar_t* key, void* data) { return match(key, static_cast<T*>(data)); }));
    }

    // For maps that own their values: deletes each, then empties the map.
    void DeleteAll()
    {
        ForEach([](const wchar_t*, T* value) { delete value; });
        RemoveAll();
    }

private:
    CUIStringMap map_;
};

} // namespace SkinUI
