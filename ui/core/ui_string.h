#pragma once

#include <stddef.h>

namespace SkinUI {

// The framework's UTF-16 string value. Short texts (names, attribute
// values) stay in the inline buffer so that most strings never touch the heap.
class CUIString {
public:
    CUIString();
    CUIString(const wchar_t* text, int length = -1);
    CUIString(wchar_t ch);
    CUIString(const CUIString& other);
    ~CUIString();

    CUIString& operator=(const CUIString& other);
    CUIString& operator=(const wchar_t* text);
    CUIString& operator=(wchar_t ch);

    void Assign(const wchar_t* text, int length = -1);
    void Append(const wchar_t* text, int length = -1);
    CUIString& operator+=(const CUIString& other);
    CUIString& operator+=(const wchar_t* text);
    CUIString& operator+=(wchar_t ch);

    void Empty();
    bool IsEmpty() const { return length_ == 0; }
    int GetLength() const { return length_; }
    const wchar_t* GetData() const { return data_; }
    operator const wchar_t*() const { return data_; }

    // Reads outside the string give 0; writes outside it are ignored.
    wchar_t GetAt(int index) const;
    wchar_t operator[](int index) const { return GetAt(index); }
    void SetAt(int index, wchar_t ch);

    int Compare(const wchar_t* text) const;
    int CompareNoCase(const wchar_t* text) const;
    bool operator==(const wchar_t* text) const { return Compare(text) == 0; }
    bool operator!=(const wchar_t* text) const { return Compare(text) != 0; }
    bool operator<(const wchar_t* text) const { return Compare(text) < 0; }
    bool operator>(const wchar_t* text) const { return Compare(text) > 0; }

    void MakeUpper();
    void MakeLower();

    CUIString Left(int count) const;
    CUIString Mid(int start, int count = -1) const;
    CUIString Right(int count) const;

    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* text, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    int Replace(const wchar_t* from, const wchar_t* to);

    // printf-style with the platform C runtime's wide-format rules.
    int Format(const wchar_t* format, ...);

    static const int kInlineSize = 64;
    static const int kMaxInlineLength = 62;

private:
    void Reserve(int length);

    wchar_t* data_;
    int length_ = 0;
    int capacity_ = kMaxInlineLength;
    wchar_t inline_[kInlineSize];
};

CUIString operator+(const CUIString& left, const wchar_t* right);
CUIString operator+(const CUIString& left, const CUIString& right);
CUIString operator+(const wchar_t* left, const CUIString& right);
inline bool operator==(const wchar_t* left, const CUIString& right) { return right == left; }
inline bool operator!=(const wchar_t* left, const CUIString& right) { return right != left; }
inline bool operator==(const CUIString& left, const CUIString& right) { return left == right.GetData(); }
inline bool operator!=(const CUIString& left, const CUIString& right) { return left != right.GetData(); }

} // namespace SkinUI
