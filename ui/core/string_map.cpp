#include "ui/core/string_map.h"

#include <wchar.h>

namespace SkinUI {

CUIStringMap::CUIStringMap(int buckets)
    : bucketCount_(buckets < kMinBuckets ? kMinBuckets : buckets)
{
    buckets_ = new Entry*[bucketCount_]();
}

CUIStringMap::~CUIStringMap()
{
    RemoveAll();
    delete[] buckets_;
}

// From the last character to the first, as the stored tables expect.
unsigned CUIStringMap::Hash(const wchar_t* key)
{
    unsigned h = 0;
    for (size_t i = wcslen(key); i > 0; --i)
        h = h * 33 + static_cast<unsigned>(key[i - 1]);
    return h;
}

CUIStringMap::Entry** CUIStringMap::BucketOf(const wchar_t* key) const
{
    return &buckets_[Hash(key) % static_cast<unsigned>(bucketCount_)];
}

void* CUIStringMap::Find(const wchar_t* key) const
{
    if (!key)
        return nullptr;
    for (Entry* entry = *BucketOf(key); entry; entry = entry->next) {
        if (entry->key == key)
            return entry->data;
    }
    return nullptr;
}

bool CUIStringMap::Insert(const wchar_t* key, void* data)
{
    if (!key)
        return false;
    Entry** bucket = BucketOf(key);
    for (Entry* entry = *bucket; entry; entry = entry->next) {
        if (entry->key == key)
            return false;
    }
    *bucket = new Entry{CUIString(key), data, *bucket};
    ++count_;
    return true;
}

void* CUIStringMap::Set(const wchar_t* key, void* data)
{
    if (!key)
        return nullptr;
    for (Entry* entry = *BucketOf(key); entry; entry = entry->next) {
        if (entry->key == key) {
            void* old = entry->data;
            entry->data = data;
            return old;
        }
    }
    Insert(key, data);
    return nullptr;
}

bool CUIStringMap::Remove(const wchar_t* key)
{
    if (!key)
        return false;
    for (Entry** link = BucketOf(key); *link; link = &(*link)->next) {
        if ((*link)->key == key) {
            Entry* gone = *link;
            *link = gone->next;
            delete gone;
            --count_;
            return true;
        }
    }
    return false;
}

void CUIStringMap::RemoveAll()
{
    for (int i = 0; i < bucketCount_; ++i) {
        while (Entry* entry = buckets_[i]) {
            buckets_[i] = entry->next;
            delete entry;
        }
    }
    count_ = 0;
}

const wchar_t* CUIStringMap::GetAt(int index) const
{
    if (index < 0 || index >= count_)
        return nullptr;
    for (int i = 0; i < bucketCount_; ++i) {
        for (Entry* entry = buckets_[i]; entry; entry = entry->next) {
            if (index-- == 0)
                return entry->key;
        }
    }
    return nullptr;
}

} // namespace SkinUI
