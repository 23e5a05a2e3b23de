#include "ui/controls/container.h"

#include "ui/controls/attribute_value.h"
#include "ui/controls/layout_math.h"
#include "ui/controls/scroll_bar.h"
#include "ui/core/attribute_table.h"
#include "ui/core/ui_manager.h"

#include <string.h>

namespace SkinUI {

namespace {

struct TAlignWord {
    const wchar_t* word;
    UINT align;
};

const TAlignWord kChildAlignWords[] = {{L"left", DT_LEFT}, {L"center", DT_CENTER}, {L"right", DT_RIGHT}};
const TAlignWord kChildVAlignWords[] = {{L"top", DT_TOP}, {L"vcenter", DT_VCENTER}, {L"bottom", DT_BOTTOM}};

template <size_t Count>
void StoreAlignWord(const TAlignWord (&words)[Count], const wchar_t* value, UINT& align)
{
    for (const TAlignWord& word : words) {
        if (wcscmp(value, word.word) == 0) {
            align = word.align;
            return;
        }
    }
}

} // namespace

CContainerUI::CContainerUI() = default;

// Children go at once, not through the manager's delayed cleanup: the
// container they point at as parent is going away now.
CContainerUI::~CContainerUI()
{
    delayedDestroy_ = false;
    RemoveAll();
    if (verticalScrollBar_)
        verticalScrollBar_->Delete();
    if (horizontalScrollBar_)
        horizontalScrollBar_->Delete();
}

const wchar_t* CContainerUI::GetClass() const
{
    return L"Container";
}

void* CContainerUI::GetInterface(const wchar_t* name)
{
    if (wcscmp(name, L"IContainer") == 0)
        return static_cast<IContainerUI*>(this);
    if (wcscmp(name, L"Container") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const
{
    return items_.GetAt(index);
}

int CContainerUI::GetItemIndex(CControlUI* control) const
{
    return items_.Find(control);
}

// The index is checked before the child leaves the list, so a bad index
// cannot lose it.
bool CContainerUI::SetItemIndex(CControlUI* control, int index)
{
    int current = GetItemIndex(control);
    if (current < 0 || index < 0 || index >= items_.GetSize())
        return false;
    if (current == index)
        return true;
    NeedUpdate();
    items_.Remove(current);
    return items_.InsertAt(index, control);
}

bool CContainerUI::SetMultiItemIndex(CControlUI* startControl, int count, int newStartIndex)
{
    if (!startControl || count < 0 || newStartIndex < 0)
        return false;
    int start = GetItemIndex(startControl);
    if (start == newStartIndex)
        return true;
    int size = items_.GetSize();
    if (start < 0 || start > size - count || newStartIndex > size - count)
        return false;
    CUIPtrArrayOf<CControlUI> block(count);
    for (int i = 0; i < count; ++i)
        block.Add(items_.GetAt(start + i));
    for (int i = 0; i < count; ++i)
        items_.Remove(start);
    for (int i = 0; i < count; ++i)
        items_.InsertAt(newStartIndex + i, block.GetAt(i));
    NeedUpdate();
    return true;
}

int CContainerUI::GetCount() const
{
    return items_.GetSize();
}

bool CContainerUI::Add(CControlUI* control)
{
    return AddAt(control, items_.GetSize());
}

bool CContainerUI::AddAt(CControlUI* control, int index)
{
    if (!control || index < 0 || index > items_.GetSize())
        return false;
    if (manager_)
        manager_->BindControls(control, this);
    if (IsVisible())
        NeedUpdate();
    else
        control->SetInternVisible(false);
    return items_.InsertAt(index, control);
}

// The child leaves the list before it is deleted, so nothing can reach it
// through the list while it goes.
bool CContainerUI::Remove(CControlUI* control, bool doNotDestroy)
{
    int index = GetItemIndex(control);
    if (index < 0)
        return false;
    NeedUpdate();
    items_.Remove(index);
    if (!doNotDestroy && autoDestroy_)
        DisposeChild(control);
    return true;
}

bool CContainerUI::RemoveAt(int index, bool doNotDestroy)
{
    CControlUI* control = GetItemAt(index);
    if (!control)
        return false;
    return Remove(control, doNotDestroy);
}

void CContainerUI::RemoveAll()
{
    CUIPtrArrayOf<CControlUI> removed(items_);
    items_.Empty();
    if (autoDestroy_) {
        for (int i = 0; i < removed.GetSize(); ++i)
            DisposeChild(removed.GetAt(i));
    }
    NeedUpdate();
}

void CContainerUI::DisposeChild(CControlUI* control)
{
    if (delayedDestroy_ && manager_)
        manager_->DeleteLater(control);
    else
        control->Delete();
}

RECT CContainerUI::GetInset() const
{
    return Scaled(inset_);
}

void CContainerUI::SetInset(RECT inset)
{
    inset_ = inset;
    NeedUpdate();
}

int CContainerUI::GetChildPadding() const
{
    return Scaled(childPadding_);
}

void CContainerUI::SetChildPadding(int padding)
{
    childPadding_ = padding < 0 ? 0 : ClampCoordinate(padding);
    NeedUpdate();
}

UINT CContainerUI::GetChildAlign() const
{
    return childAlign_;
}

void CContainerUI::SetChildAlign(UINT align)
{
    childAlign_ = align;
    NeedUpdate();
}

UINT CContainerUI::GetChildVAlign() const
{
    return childVAlign_;
}

void CContainerUI::SetChildVAlign(UINT align)
{
    childVAlign_ = align;
    NeedUpdate();
}

bool CContainerUI::IsAutoDestroy() const
{
    return autoDestroy_;
}

void CContainerUI::SetAutoDestroy(bool autoDestroy)
{
    autoDestroy_ = autoDestroy;
}

bool CContainerUI::IsDelayedDestroy() const
{
    return delayedDestroy_;
}

void CContainerUI::SetDelayedDestroy(bool delayed)
{
    delayedDestroy_ = delayed;
}

bool CContainerUI::IsMouseChildEnabled() const
{
    return mouseChildEnabled_;
}

void CContainerUI::SetMouseChildEnabled(bool enable)
{
    mouseChildEnabled_ = enable;
}

// Selection belongs to list controls; a plain container has nothing to select.
int CContainerUI::FindSelectable(int index, bool forward) const
{
    return -1;
}

void CContainerUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    static const TAttributeRow<CContainerUI> kAttributes[] = {
        {L"inset", [](CContainerUI& c, const wchar_t* v) { c.SetInset(ParseRectValue(v)); }},
        {L"mousechild", [](CContainerUI& c, const wchar_t* v) { c.SetMouseChildEnabled(ParseBoolValue(v)); }},
        {L"vscrollbar",
            [](CContainerUI& c, const wchar_t* v) {
                c.EnableScrollBar(ParseBoolValue(v), c.horizontalScrollBar_ != nullptr);
            }},
        // A style alone creates its bar.
        {L"vscrollbarstyle",
            [](CContainerUI& c, const wchar_t* v) {
                c.EnableScrollBar(true, c.horizontalScrollBar_ != nullptr);
                c.verticalScrollBar_->ApplyAttributeList(v);
            }},
        {L"hscrollbar",
            [](CContainerUI& c, const wchar_t* v) {
                c.EnableScrollBar(c.verticalScrollBar_ != nullptr, ParseBoolValue(v));
            }},
        {L"hscrollbarstyle",
            [](CContainerUI& c, const wchar_t* v) {
                c.EnableScrollBar(c.verticalScrollBar_ != nullptr, true);
                c.horizontalScrollBar_->ApplyAttributeList(v);
            }},
        {L"childpadding", [](CContainerUI& c, const wchar_t* v) { c.SetChildPadding(ParseIntValue(v)); }},
        // Stored directly: unlike the setters, the attributes do not ask for
        // a new layout; a word not in the list leaves the value as it was.
        {L"childalign", [](CContainerUI& c, const wchar_t* v) { StoreAlignWord(kChildAlignWords, v, c.childAlign_); }},
        {L"childvalign",
            [](CContainerUI& c, const wchar_t* v) { StoreAlignWord(kChildVAlignWords, v, c.childVAlign_); }},
    };
    if (!ApplyAttributeRow(kAttributes, *this, name, value))
        CControlUI::SetAttribute(name, value);
}

void CContainerUI::SetManager(CUIManager* manager, CControlUI* parent, bool init)
{
    for (int i = 0; i < items_.GetSize(); ++i)
        GetItemAt(i)->SetManager(manager, this, init);
    if (verticalScrollBar_)
        verticalScrollBar_->SetManager(manager, this, init);
    if (horizontalScrollBar_)
        horizontalScrollBar_->SetManager(manager, this, init);
    CControlUI::SetManager(manager, parent, init);
}

void CContainerUI::SetVisible(bool visible)
{
    if (visible_ == visible)
        return;
    CControlUI::SetVisible(visible);
    for (int i = 0; i < items_.GetSize(); ++i)
        GetItemAt(i)->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool visible)
{
    CControlUI::SetInternVisible(visible);
    for (int i = 0; i < items_.GetSize(); ++i)
        GetItemAt(i)->SetInternVisible(IsVisible());
}

void CContainerUI::SetMouseEnabled(bool enable)
{
    if (verticalScrollBar_)
        verticalScrollBar_->SetMouseEnabled(enable);
    if (horizontalScrollBar_)
        horizontalScrollBar_->SetMouseEnabled(enable);
    CControlUI::SetMouseEnabled(enable);
}

bool CContainerUI::IsBarShown(const CScrollBarUI* bar) const
{
    return bar && bar->IsVisible();
}

RECT CContainerUI::ContentRect() const
{
    RECT rect = pos_;
    const RECT inset = GetInset();
    rect.left += inset.left;
    rect.top += inset.top;
    rect.right -= inset.right;
    rect.bottom -= inset.bottom;
    if (IsBarShown(verticalScrollBar_))
        rect.right -= verticalScrollBar_->GetFixedWidth();
    if (IsBarShown(horizontalScrollBar_))
        rect.bottom -= horizontalScrollBar_->GetFixedHeight();
    return rect;
}

SIZE CContainerUI::AvailableSize(const RECT& content) const
{
    long long width = content.right - content.left;
    long long height = content.bottom - content.top;
    if (IsBarShown(horizontalScrollBar_))
        width += horizontalScrollBar_->GetScrollRange();
    if (IsBarShown(verticalScrollBar_))
        height += verticalScrollBar_->GetScrollRange();
    return SIZE{LayoutMath::Clamp(width), LayoutMath::Clamp(height)};
}

RECT CContainerUI::GetClientPos() const
{
    return ContentRect();
}

void CContainerUI::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    if (items_.IsEmpty())
        return;
    FillWithChildren(ContentRect());
}

void CContainerUI::FillWithChildren(RECT view)
{
    SIZE position = GetScrollPos();
    SIZE range = GetScrollRange();
    view.left -= position.cx;
    view.right += range.cx - position.cx;
    view.top -= position.cy;
    view.bottom += range.cy - position.cy;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = FlowChildOrPlaceFloat(i);
        if (!child)
            continue;
        int width = LayoutMath::Limit(view.right - view.left, child->GetMinWidth(), child->GetMaxWidth());
        int height = LayoutMath::Limit(view.bottom - view.top, child->GetMinHeight(), child->GetMaxHeight());
        child->SetPos(RECT{view.left, view.top, view.left + width, view.top + height}, false);
    }
}

CControlUI* CContainerUI::FlowChildOrPlaceFloat(int index)
{
    CControlUI* child = GetItemAt(index);
    if (!child->IsVisible())
        return nullptr;
    if (child->IsFloat()) {
        SetFloatPos(index);
        return nullptr;
    }
    return child;
}

void CContainerUI::SetFloatPos(int index)
{
    CControlUI* child = GetItemAt(index);
    if (!child || !child->IsVisible() || !child->IsFloat())
        return;
    SIZE xy = child->GetFixedXY();
    TPercentInfo percent = child->GetFloatPercent();
    double width = pos_.right - pos_.left;
    double height = pos_.bottom - pos_.top;
    RECT place;
    place.left = static_cast<int>(width * percent.left) + xy.cx;
    place.top = static_cast<int>(height * percent.top) + xy.cy;
    place.right = static_cast<int>(width * percent.right) + xy.cx + child->GetFixedWidth();
    place.bottom = static_cast<int>(height * percent.bottom) + xy.cy + child->GetFixedHeight();
    child->SetPos(place, false);
}

void CContainerUI::Move(int dx, int dy, bool invalidate)
{
    CControlUI::Move(dx, dy, invalidate);
    if (IsBarShown(verticalScrollBar_))
        verticalScrollBar_->Move(dx, dy, false);
    if (IsBarShown(horizontalScrollBar_))
        horizontalScrollBar_->Move(dx, dy, false);
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (child->IsVisible())
            child->Move(dx, dy, false);
    }
}

void CContainerUI::Relayout(bool invalidate)
{
    if (scrollRelayoutDepth_ >= kMaxScrollRelayout)
        return;
    ++scrollRelayoutDepth_;
    SetPos(IsFloat() ? GetRelativePos() : pos_, invalidate);
    --scrollRelayoutDepth_;
}

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags)
{
    bool hitTest = (flags & UIFIND_HITTEST) != 0;
    if ((flags & UIFIND_VISIBLE) && !IsVisible())
        return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled())
        return nullptr;
    if (hitTest && !PtInRect(&pos_, *static_cast<POINT*>(data)))
        return nullptr;
    if ((flags & UIFIND_UPDATETEST) && proc(this, data))
        return nullptr;

    CControlUI* found = nullptr;
    if ((flags & UIFIND_ME_FIRST) && (!hitTest || IsMouseEnabled())) {
        found = proc(this, data);
        if (found)
            return found;
    }
    if (cover_ && (!hitTest || mouseChildEnabled_)) {
        found = cover_->FindControl(proc, data, flags);
        if (found)
            return found;
    }
    if (!hitTest || IsMouseEnabled()) {
        if (verticalScrollBar_ && (found = verticalScrollBar_->FindControl(proc, data, flags)))
            return found;
        if (horizontalScrollBar_ && (found = horizontalScrollBar_->FindControl(proc, data, flags)))
            return found;
    }
    if (!hitTest || mouseChildEnabled_) {
        RECT client = ContentRect();
        bool topFirst = (flags & UIFIND_TOP_FIRST) != 0;
        int count = items_.GetSize();
        for (int n = 0; n < count; ++n) {
            CControlUI* child = GetItemAt(topFirst ? count - 1 - n : n);
            found = child->FindControl(proc, data, flags);
            if (!found)
                continue;
            if (!hitTest || found->IsFloat() || PtInRect(&client, *static_cast<POINT*>(data)))
                return found;
        }
    }
    if ((flags & UIFIND_ME_FIRST) || (hitTest && !IsMouseEnabled()))
        return nullptr;
    return proc(this, data);
}

} // namespace SkinUI
