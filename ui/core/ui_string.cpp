#include "ui/core/ui_string.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <wctype.h>

namespace SkinUI {

namespace {

int TextLength(const wchar_t* text, int length)
{
    if (!text)
        return 0;
    if (length >= 0) {
        const wchar_t* end = wmemchr(text, L'\0', static_cast<size_t>(length));
        return end ? static_cast<int>(end - text) : length;
    }
    return static_cast<int>(wcslen(text));
}

} // namespace

CUIString::CUIString() : data_(inline_)
{
    inline_[0] = L'\0';
}

CUIString::CUIString(const wchar_t* text, int length) : CUIString()
{
    Assign(text, length);
}

CUIString::CUIString(wchar_t ch) : CUIString()
{
    Assign(&ch, 1);
}

CUIString::CUIString(const CUIString& other) : CUIString()
{
    Assign(other.data_, other.length_);
}

CUIString::~CUIString()
{
    if (data_ != inline_)
        free(data_);
}

CUIString& CUIString::operator=(const CUIString& other)
{
    if (this != &other)
        Assign(other.data_, other.length_);
    return *this;
}

CUIString& CUIString::operator=(const wchar_t* text)
{
    Assign(text);
    return *this;
}

CUIString& CUIString::operator=(wchar_t ch)
{
    Assign(&ch, 1);
    return *this;
}

// Grows the storage to hold length characters; the text so far is kept.
void CUIString::Reserve(int length)
{
    if (length <= capacity_)
        return;
    int capacity = length + length / 2;
    wchar_t* grown = static_cast<wchar_t*>(malloc((static_cast<size_t>(capacity) + 1) * sizeof(wchar_t)));
    if (!grown)
        abort();
    wmemcpy(grown, data_, static_cast<size_t>(length_) + 1);
    if (data_ != inline_)
        free(data_);
    data_ = grown;
    capacity_ = capacity;
}

void CUIString::Assign(const wchar_t* text, int length)
{
    length = TextLength(text, length);
    if (text >= data_ && text <= data_ + length_) {
        // Assigning a part of itself: copy first, the storage may move.
        CUIString copy(text, length);
        Assign(copy.data_, copy.length_);
        return;
    }
    length_ = 0;
    data_[0] = L'\0';
    Append(text, length);
}

void CUIString::Append(const wchar_t* text, int length)
{
    length = TextLength(text, length);
    if (length == 0)
        return;
    if (text >= data_ && text <= data_ + length_) {
        CUIString copy(text, length);
        Append(copy.data_, copy.length_);
        return;
    }
    Reserve(length_ + length);
    wmemcpy(data_ + length_, text, static_cast<size_t>(length));
    length_ += length;
    data_[length_] = L'\0';
}

CUIString& CUIString::operator+=(const CUIString& other)
{
    Append(other.data_, other.length_);
    return *this;
}

CUIString& CUIString::operator+=(const wchar_t* text)
{
    Append(text);
    return *this;
}

CUIString& CUIString::operator+=(wchar_t ch)
{
    Append(&ch, 1);
    return *this;
}

void CUIString::Empty()
{
    if (data_ != inline_)
        free(data_);
    data_ = inline_;
    capacity_ = kMaxInlineLength;
    length_ = 0;
    inline_[0] = L'\0';
}

wchar_t CUIString::GetAt(int index) const
{
    if (index < 0 || index >= length_)
        return L'\0';
    return data_[index];
}

void CUIString::SetAt(int index, wchar_t ch)
{
    if (index < 0 || index >= length_ || ch == L'\0')
        return;
    data_[index] = ch;
}

int CUIString::Compare(const wchar_t* text) const
{
    return wcscmp(data_, text ? text : L"");
}

int CUIString::CompareNoCase(const wchar_t* text) const
{
    return _wcsicmp(data_, text ? text : L"");
}

void CUIString::MakeUpper()
{
    for (int i = 0; i < length_; ++i)
        data_[i] = static_cast<wchar_t>(towupper(data_[i]));
}

void CUIString::MakeLower()
{
    for (int i = 0; i < length_; ++i)
        data_[i] = static_cast<wchar_t>(towlower(data_[i]));
}

CUIString CUIString::Left(int count) const
{
    return Mid(0, count);
}

CUIString CUIString::Mid(int start, int count) const
{
    if (start < 0)
        start = 0;
    if (start > length_)
        start = length_;
    if (count < 0 || count > length_ - start)
        count = length_ - start;
    return CUIString(data_ + start, count);
}

CUIString CUIString::Right(int count) const
{
    if (count < 0)
        count = 0;
    if (count > length_)
        count = length_;
    return CUIString(data_ + length_ - count, count);
}

int CUIString::Find(wchar_t ch, int start) const
{
    if (start < 0 || start >= length_)
        return -1;
    const wchar_t* found = wcschr(data_ + start, ch);
    return found ? static_cast<int>(found - data_) : -1;
}

int CUIString::Find(const wchar_t* text, int start) const
{
    if (start < 0 || start > length_ || !text)
        return -1;
    const wchar_t* found = wcsstr(data_ + start, text);
    return found ? static_cast<int>(found - data_) : -1;
}

int CUIString::ReverseFind(wchar_t ch) const
{
    const wchar_t* found = wcsrchr(data_, ch);
    return found ? static_cast<int>(found - data_) : -1;
}

int CUIString::Replace(const wchar_t* from, const wchar_t* to)
{
    if (!from || !*from)
        return 0;
    int fromLength = static_cast<int>(wcslen(from));
    CUIString result;
    int count = 0;
    int position = 0;
    for (int found = Find(from); found >= 0; found = Find(from, position)) {
        result.Append(data_ + position, found - position);
        result.Append(to);
        position = found + fromLength;
        ++count;
    }
    if (count == 0)
        return 0;
    result.Append(data_ + position, length_ - position);
    Assign(result.data_, result.length_);
    return count;
}

int CUIString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = _vscwprintf(format, measure);
    va_end(measure);
    if (length < 0) {
        va_end(args);
        Empty();
        return 0;
    }
    CUIString result;
    result.Reserve(length);
    _vsnwprintf(result.data_, static_cast<size_t>(length) + 1, format, args);
    va_end(args);
    result.data_[length] = L'\0';
    result.length_ = length;
    *this = result;
    return length;
}

CUIString operator+(const CUIString& left, const wchar_t* right)
{
    CUIString result(left);
    result += right;
    return result;
}

CUIString operator+(const CUIString& left, const CUIString& right)
{
    CUIString result(left);
    result += right;
    return result;
}

CUIString operator+(const wchar_t* left, const CUIString& right)
{
    CUIString result(left);
    result += right;
    return result;
}

} // namespace SkinUI
