#pragma once

#include <stddef.h>
#include <stdint.h>

namespace SkinUI {

class CLayoutMarkup;

// Markup encodings of LoadBytes and LoadSkinFile; any value other than
// these two means UTF-16 with a byte-order mark.
const int kMarkupUtf8 = 0;
const int kMarkupUtf16 = 1;
const int kMarkupAnsi = 2;

// One element of a parsed layout: a cursor into its document's element
// table. Copied freely; valid only while the document lives unchanged.
class CLayoutMarkupNode {
public:
    static const int kMaxAttributes = 64;

    CLayoutMarkupNode() = default;

    bool IsPresent() const { return owner_ != nullptr; }
    const wchar_t* ElementName() const;
    CLayoutMarkupNode FirstChild() const;
    CLayoutMarkupNode NextSibling() const;
    bool HasChildElements() const;

    bool HasAnyAttribute() const;
    int AttributeCount() const;
    const wchar_t* AttributeName(int index) const;
    const wchar_t* AttributeValue(int index) const;
    // Copies at most max characters of the value; a value that fills max
    // characters gets no terminator, so callers pass a zeroed buffer.
    bool FindAttribute(const wchar_t* name, wchar_t* buffer, int max) const;

private:
    friend class CLayoutMarkup;
    CLayoutMarkupNode(const CLayoutMarkup* owner, int element) : element_(element), owner_(owner) {}

    void MapAttributes() const;

    struct AttributeSpan {
        uint32_t name;
        uint32_t value;
    };

    int element_ = 0;
    // The map is filled on the first attribute query of this copy.
    mutable int attributeCount_ = 0;
    mutable AttributeSpan attributes_[kMaxAttributes];
    const CLayoutMarkup* owner_ = nullptr;
};

// A layout document, parsed destructively and in place into a flat table
// of elements whose names and values are read straight from the buffer.
class CLayoutMarkup {
public:
    static const size_t kMaxErrorMessage = 100;
    static const size_t kMaxErrorLocation = 50;

    explicit CLayoutMarkup(const wchar_t* text = nullptr);
    ~CLayoutMarkup();
    CLayoutMarkup(const CLayoutMarkup&) = delete;
    CLayoutMarkup& operator=(const CLayoutMarkup&) = delete;

    bool LoadText(const wchar_t* text);
    bool LoadBytes(const void* bytes, size_t count, int encoding);
    // Reads the named file whole from the skin source (folder or zip).
    bool LoadSkinFile(const wchar_t* name, int encoding = kMarkupUtf8);
    void Release();

    bool IsValid() const { return text_ != nullptr; }
    CLayoutMarkupNode RootNode() const;
    uint32_t ElementCount() const { return count_ > 0 ? count_ - 1 : 0; }

    const wchar_t* LastErrorMessage() const { return errorMessage_; }
    const wchar_t* LastErrorLocation() const { return errorLocation_; }

private:
    friend class CLayoutMarkupNode;

    struct Element {
        uint32_t start;
        uint32_t child;
        uint32_t next;
        uint32_t parent;
        uint32_t data;
    };

    // Where the walk stands: the open element whose children are read
    // and the last of them read so far.
    struct Cursor {
        uint32_t parent = 0;
        uint32_t previous = 0;
    };
    // Closed: an element is complete and becomes the previous sibling.
    enum class Step { Next, Closed, Done, Failed };

    bool TakeText(wchar_t* text);
    bool Parse();
    bool ParseElements(wchar_t* p);
    Step ParseStep(wchar_t*& p, Cursor& at);
    Step CloseParent(wchar_t*& p, Cursor& at);
    Step ParseElement(wchar_t*& p, Cursor& at);
    Step ParseContent(wchar_t*& p, uint32_t element, Cursor& at);
    Step Failed(const wchar_t* message, const wchar_t* location);
    bool ParseAttributes(wchar_t*& p);
    bool CloseElement(wchar_t*& p, uint32_t element);
    wchar_t* ReadText(wchar_t* p, wchar_t end, wchar_t*& textEnd) const;
    bool AddElement(wchar_t* start, uint32_t parent, uint32_t previous, uint32_t& added);
    bool Fail(const wchar_t* message, const wchar_t* location);

    wchar_t* text_ = nullptr;
    Element* elements_ = nullptr;
    uint32_t count_ = 0;
    uint32_t capacity_ = 0;
    wchar_t errorMessage_[kMaxErrorMessage] = {};
    wchar_t errorLocation_[kMaxErrorLocation] = {};
    bool preserveWhiteSpace_ = true;
};

} // namespace SkinUI
