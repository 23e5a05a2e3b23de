#include "ui/core/layout_markup.h"

#include "ui/core/checked_heap.h"
#include "ui/core/markup_decoding.h"
#include "ui/core/skin_source.h"

#include <windows.h>

#include <limits.h>
#include <string.h>
#include <wchar.h>
#include <wctype.h>

#include <vector>

namespace SkinUI {

namespace {

const uint32_t kNone = 0;

bool IsSpace(wchar_t c)
{
    return c >= 1 && c <= 32;
}

struct AsciiIdentifierTable {
    bool is[128] = {};
    constexpr AsciiIdentifierTable()
    {
        for (int c = 0; c < 128; ++c)
            is[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ':';
    }
};
constexpr AsciiIdentifierTable kAsciiIdentifier;

bool IsIdentifierChar(wchar_t c)
{
    if (c < 0x80)
        return kAsciiIdentifier.is[c];
    return iswalnum(c) != 0;
}

// CharNextW decides what one character is; ASCII never combines with the
// character before it, so the common case needs no call.
wchar_t* StepOver(wchar_t* p)
{
    return p[1] < 0x80 ? p + 1 : CharNextW(p);
}

wchar_t* NextChar(wchar_t* p)
{
    return *p == L'\0' ? p : StepOver(p);
}

wchar_t* SkipSpace(wchar_t* p)
{
    while (IsSpace(*p))
        p = StepOver(p);
    return p;
}

// The terminating zero is no identifier character.
wchar_t* SkipIdentifier(wchar_t* p)
{
    while (IsIdentifierChar(*p))
        p = StepOver(p);
    return p;
}

// A comment (<!-- -->) or a declaration (<? ?>), skipped whole.
wchar_t* SkipDeclaration(wchar_t* p)
{
    wchar_t last = *p == L'!' ? L'-' : L'?';
    while (*p && !(p[0] == last && p[1] == L'>'))
        ++p;
    return *p ? p + 2 : p;
}

bool StartsWith(const wchar_t* p, const wchar_t* prefix)
{
    for (; *prefix; ++p, ++prefix) {
        if (*p != *prefix)
            return false;
    }
    return true;
}

struct NamedEntity {
    const wchar_t* name;
    size_t length;
    wchar_t value;
};

const NamedEntity kEntities[] = {
    {L"amp;", 4, L'&'},
    {L"lt;", 3, L'<'},
    {L"gt;", 3, L'>'},
    {L"quot;", 5, L'"'},
    {L"apos;", 5, L'\''},
};

// Decodes the entity after an '&' into *out; an unknown one stays a literal
// '&' with the source left where it is.
wchar_t* DecodeEntity(wchar_t* p, wchar_t* out)
{
    for (const NamedEntity& entity : kEntities) {
        if (StartsWith(p, entity.name)) {
            *out = entity.value;
            return p + entity.length;
        }
    }
    *out = L'&';
    return p;
}

void CopyTruncated(wchar_t* field, size_t fieldSize, const wchar_t* text)
{
    size_t i = 0;
    for (; text && i + 1 < fieldSize && text[i]; ++i)
        field[i] = text[i];
    field[i] = L'\0';
}

} // namespace

const wchar_t* CLayoutMarkupNode::ElementName() const
{
    if (!owner_)
        return nullptr;
    return owner_->text_ + owner_->elements_[element_].start;
}

CLayoutMarkupNode CLayoutMarkupNode::FirstChild() const
{
    if (!owner_ || owner_->elements_[element_].child == kNone)
        return CLayoutMarkupNode();
    return CLayoutMarkupNode(owner_, static_cast<int>(owner_->elements_[element_].child));
}

CLayoutMarkupNode CLayoutMarkupNode::NextSibling() const
{
    if (!owner_ || owner_->elements_[element_].next == kNone)
        return CLayoutMarkupNode();
    return CLayoutMarkupNode(owner_, static_cast<int>(owner_->elements_[element_].next));
}

bool CLayoutMarkupNode::HasChildElements() const
{
    return owner_ && owner_->elements_[element_].child != kNone;
}

bool CLayoutMarkupNode::HasAnyAttribute() const
{
    return AttributeCount() > 0;
}

int CLayoutMarkupNode::AttributeCount() const
{
    MapAttributes();
    return attributeCount_;
}

const wchar_t* CLayoutMarkupNode::AttributeName(int index) const
{
    MapAttributes();
    if (index < 0 || index >= attributeCount_)
        return L"";
    return owner_->text_ + attributes_[index].name;
}

const wchar_t* CLayoutMarkupNode::AttributeValue(int index) const
{
    MapAttributes();
    if (index < 0 || index >= attributeCount_)
        return L"";
    return owner_->text_ + attributes_[index].value;
}

bool CLayoutMarkupNode::FindAttribute(const wchar_t* name, wchar_t* buffer, int max) const
{
    MapAttributes();
    for (int i = 0; i < attributeCount_; ++i) {
        if (wcscmp(owner_->text_ + attributes_[i].name, name) != 0)
            continue;
        const wchar_t* value = owner_->text_ + attributes_[i].value;
        int copied = 0;
        for (; copied < max && value[copied]; ++copied)
            buffer[copied] = value[copied];
        if (copied < max)
            buffer[copied] = L'\0';
        return true;
    }
    return false;
}

// Walks the start tag between the name's terminator and the element data:
// name, its zero, spaces (the '=' became one), quote, value, its zero. The
// walk never leaves the start tag, whatever the buffer holds.
void CLayoutMarkupNode::MapAttributes() const
{
    if (!owner_ || attributeCount_ > 0)
        return;
    const wchar_t* text = owner_->text_;
    const CLayoutMarkup::Element& element = owner_->elements_[element_];
    const wchar_t* end = text + element.data;
    const wchar_t* p = text + element.start;
    while (p < end && *p)
        ++p;
    ++p;
    while (p < end) {
        while (p < end && IsSpace(*p))
            ++p;
        const wchar_t* name = p;
        while (p < end && *p)
            ++p;
        if (p >= end)
            return;
        ++p;
        while (p < end && IsSpace(*p))
            ++p;
        if (p >= end || *p != L'"')
            return;
        ++p;
        attributes_[attributeCount_].name = static_cast<uint32_t>(name - text);
        attributes_[attributeCount_].value = static_cast<uint32_t>(p - text);
        if (++attributeCount_ == kMaxAttributes)
            return;
        while (p < end && *p)
            ++p;
        ++p;
    }
}

CLayoutMarkup::CLayoutMarkup(const wchar_t* text)
{
    if (text)
        LoadText(text);
}

CLayoutMarkup::~CLayoutMarkup()
{
    Release();
}

void CLayoutMarkup::Release()
{
    HeapBlockFree(text_);
    text_ = nullptr;
    HeapBlockFree(elements_);
    elements_ = nullptr;
    count_ = 0;
    capacity_ = 0;
}

CLayoutMarkupNode CLayoutMarkup::RootNode() const
{
    if (!text_ || count_ < 2)
        return CLayoutMarkupNode();
    return CLayoutMarkupNode(this, 1);
}

bool CLayoutMarkup::LoadText(const wchar_t* text)
{
    Release();
    size_t length = wcslen(text);
    wchar_t* copy = static_cast<wchar_t*>(HeapBlockAlloc((length + 1) * sizeof(wchar_t)));
    if (!copy)
        return Fail(L"Out of memory", L"");
    wmemcpy(copy, text, length + 1);
    return TakeText(copy);
}

bool CLayoutMarkup::LoadBytes(const void* bytes, size_t count, int encoding)
{
    Release();
    const unsigned char* data = static_cast<const unsigned char*>(bytes);
    if (count > INT_MAX)
        return Fail(L"File too large", L"");

    if (encoding == kMarkupUtf8 || encoding == kMarkupAnsi) {
        if (encoding == kMarkupUtf8 && count >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
            data += 3;
            count -= 3;
        }
        wchar_t* text = encoding == kMarkupUtf8 ? DecodeUtf8(data, count) : DecodeAnsi(data, count);
        if (!text)
            return Fail(L"Out of memory", L"");
        return TakeText(text);
    }

    bool littleEndian = count >= 2 && data[0] == 0xFF && data[1] == 0xFE;
    bool bigEndian = count >= 2 && data[0] == 0xFE && data[1] == 0xFF;
    if (!littleEndian && !bigEndian)
        return Fail(L"Missing byte-order mark", L"");
    size_t length = count / 2 - 1;
    wchar_t* text = static_cast<wchar_t*>(HeapBlockAlloc((length + 1) * sizeof(wchar_t)));
    if (!text)
        return Fail(L"Out of memory", L"");
    // Swapped while copying: the caller's block may be read-only (a resource).
    const unsigned char* source = data + 2;
    for (size_t i = 0; i < length; ++i) {
        unsigned first = source[2 * i];
        unsigned second = source[2 * i + 1];
        text[i] = static_cast<wchar_t>(littleEndian ? (first | second << 8) : (second | first << 8));
    }
    text[length] = L'\0';
    return TakeText(text);
}

bool CLayoutMarkup::LoadSkinFile(const wchar_t* name, int encoding)
{
    Release();
    std::vector<unsigned char> bytes;
    const wchar_t* message = nullptr;
    if (!CSkinSource::ReadLayoutFile(name, bytes, message))
        return Fail(message, L"");
    return LoadBytes(bytes.data(), bytes.size(), encoding);
}

bool CLayoutMarkup::TakeText(wchar_t* text)
{
    text_ = text;
    if (Parse())
        return true;
    Release();
    return false;
}

bool CLayoutMarkup::Fail(const wchar_t* message, const wchar_t* location)
{
    CopyTruncated(errorMessage_, kMaxErrorMessage, message);
    CopyTruncated(errorLocation_, kMaxErrorLocation, location);
    return false;
}

bool CLayoutMarkup::Parse()
{
    count_ = 0;
    capacity_ = 0;
    errorMessage_[0] = L'\0';
    errorLocation_[0] = L'\0';
    uint32_t dummy = 0;
    if (!AddElement(text_, kNone, kNone, dummy))
        return false;
    return ParseElements(text_);
}

// Element numbers, not pointers, link the records: the table moves when it grows.
bool CLayoutMarkup::AddElement(wchar_t* start, uint32_t parent, uint32_t previous, uint32_t& added)
{
    if (count_ == 0)
        capacity_ = 0;
    if (count_ == capacity_) {
        uint32_t capacity = capacity_ + capacity_ / 2 + 500;
        void* grown = HeapBlockRealloc(elements_, capacity_ * sizeof(Element), capacity * sizeof(Element));
        if (!grown)
            return Fail(L"Out of memory", L"");
        elements_ = static_cast<Element*>(grown);
        capacity_ = capacity;
    }
    added = count_++;
    Element& element = elements_[added];
    element.start = static_cast<uint32_t>(start - text_);
    element.child = kNone;
    element.next = kNone;
    element.parent = parent;
    element.data = 0;
    if (previous != kNone)
        elements_[previous].next = added;
    else if (parent != kNone)
        elements_[parent].child = added;
    return true;
}

// The sibling lists of the document, walked without recursion so that deep
// nesting cannot exhaust the stack. The parent's state lives in the table:
// on its end tag the walk goes on in the grandparent's list with the parent
// as previous sibling.
bool CLayoutMarkup::ParseElements(wchar_t* p)
{
    Cursor at;
    p = SkipSpace(p);
    Step step = Step::Next;
    while (step == Step::Next)
        step = ParseStep(p, at);
    return step == Step::Done;
}

// One tag: an end tag, a comment or declaration, or an element's start.
CLayoutMarkup::Step CLayoutMarkup::ParseStep(wchar_t*& p, Cursor& at)
{
    // A missing end tag is tolerated at the end only for the first
    // element and its direct children.
    if (*p == L'\0' && at.parent <= 1)
        return CloseParent(p, at);
    p = SkipSpace(p);
    if (*p != L'<')
        return Failed(L"Expected start tag", p);
    if (p[1] == L'/')
        return CloseParent(p, at);
    *p = L'\0';
    p = SkipSpace(p + 1);
    if (*p == L'!' || *p == L'?') {
        p = SkipSpace(SkipDeclaration(p));
        return Step::Next;
    }
    return ParseElement(p, at);
}

// The open element ends; the walk goes on in its parent's list.
CLayoutMarkup::Step CLayoutMarkup::CloseParent(wchar_t*& p, Cursor& at)
{
    if (at.parent == kNone)
        return Step::Done;
    if (!CloseElement(p, at.parent))
        return Step::Failed;
    at.previous = at.parent;
    at.parent = elements_[at.parent].parent;
    return Step::Next;
}

CLayoutMarkup::Step CLayoutMarkup::ParseElement(wchar_t*& p, Cursor& at)
{
    uint32_t element = kNone;
    if (!AddElement(p, at.parent, at.previous, element))
        return Step::Failed;
    p = SkipIdentifier(p);
    wchar_t* nameEnd = p;
    if (*p == L'\0')
        return Failed(L"Error parsing element name", p);
    if (!ParseAttributes(p))
        return Step::Failed;
    Step step = ParseContent(p, element, at);
    if (step != Step::Closed)
        return step;
    *nameEnd = L'\0';
    p = SkipSpace(p);
    at.previous = element;
    return Step::Next;
}

// What follows the attributes: "/>", or '>' with the element's text and
// then its end tag, its first child or the end of the document.
CLayoutMarkup::Step CLayoutMarkup::ParseContent(wchar_t*& p, uint32_t element, Cursor& at)
{
    p = SkipSpace(p);
    if (p[0] == L'/' && p[1] == L'>') {
        elements_[element].data = static_cast<uint32_t>(p - text_);
        *p = L'\0';
        p += 2;
        return Step::Closed;
    }
    if (*p != L'>')
        return Failed(L"Expected start-tag closing", p);
    ++p;
    elements_[element].data = static_cast<uint32_t>(p - text_);
    wchar_t* textEnd = nullptr;
    p = ReadText(p, L'<', textEnd);
    // When the text was not shortened its end is the '<' that the
    // child or the end tag overwrites anyway.
    if (textEnd < p)
        *textEnd = L'\0';
    // At the end the element stays open; its name still ends here.
    if (*p == L'\0' && at.parent <= 1)
        return Step::Closed;
    if (*p != L'<')
        return Failed(L"Expected end-tag start", p);
    if (p[1] != L'/') {
        at.parent = element;
        at.previous = kNone;
        return Step::Next;
    }
    return CloseElement(p, element) ? Step::Closed : Step::Failed;
}

CLayoutMarkup::Step CLayoutMarkup::Failed(const wchar_t* message, const wchar_t* location)
{
    Fail(message, location);
    return Step::Failed;
}

// The end tag of element (when the text continues with one), then the
// end of its name.
bool CLayoutMarkup::CloseElement(wchar_t*& p, uint32_t element)
{
    wchar_t* name = text_ + elements_[element].start;
    wchar_t* nameEnd = SkipIdentifier(name);
    if (p[0] == L'<' && p[1] == L'/') {
        *p = L'\0';
        p += 2;
        p = SkipSpace(p);
        size_t length = static_cast<size_t>(nameEnd - name);
        if (wcsncmp(p, name, length) != 0)
            return Fail(L"Unmatched closing tag", p);
        p += length;
        p = SkipSpace(p);
        wchar_t closing = *p;
        if (closing != L'\0')
            ++p;
        if (closing != L'>')
            return Fail(L"Unmatched closing tag", p);
    }
    *nameEnd = L'\0';
    p = SkipSpace(p);
    return true;
}

bool CLayoutMarkup::ParseAttributes(wchar_t*& p)
{
    if (*p == L'>')
        return true;
    *p = L'\0';
    ++p;
    p = SkipSpace(p);
    while (*p != L'\0' && *p != L'>' && *p != L'/') {
        p = SkipIdentifier(p);
        wchar_t* nameEnd = p;
        p = SkipSpace(p);
        if (*p != L'=')
            return Fail(L"Error while parsing attributes", p);
        *p = L' ';
        ++p;
        *nameEnd = L'\0';
        p = SkipSpace(p);
        wchar_t quote = *p;
        if (quote != L'\0')
            ++p;
        if (quote != L'"')
            return Fail(L"Expected attribute value", p);
        wchar_t* valueEnd = nullptr;
        p = ReadText(p, L'"', valueEnd);
        if (*p == L'\0')
            return Fail(L"Error while parsing attribute string", p);
        *valueEnd = L'\0';
        // The mapper steps over the value's zero and the spaces behind it.
        if (valueEnd < p)
            *p = L' ';
        ++p;
        p = SkipSpace(p);
    }
    return true;
}

// Copies the text up to end onto itself, decoding the named entities; the
// gap that decoding leaves behind the text is filled with spaces.
wchar_t* CLayoutMarkup::ReadText(wchar_t* p, wchar_t end, wchar_t*& textEnd) const
{
    // Until the first entity nothing moves: the text only has to be walked.
    if (preserveWhiteSpace_) {
        wchar_t c = *p;
        while (c != L'\0' && c != end && c != L'&') {
            wchar_t next = p[1];
            if (next >= 0x80 && c != L' ') {
                p = CharNextW(p);
                c = *p;
                continue;
            }
            ++p;
            c = next;
        }
    }
    wchar_t* out = p;
    for (;;) {
        wchar_t c = *p;
        if (c == L'\0' || c == end)
            break;
        if (c == L'&') {
            while (*p == L'&')
                p = DecodeEntity(p + 1, out++);
            continue;
        }
        if (c == L' ') {
            *out++ = *p++;
            if (!preserveWhiteSpace_)
                p = SkipSpace(p);
            continue;
        }
        wchar_t* next = NextChar(p);
        if (out == p) {
            out = p = next;
            continue;
        }
        while (p < next)
            *out++ = *p++;
    }
    for (wchar_t* gap = out + 1; gap < p; ++gap)
        *gap = L' ';
    textEnd = out;
    return p;
}

} // namespace SkinUI
