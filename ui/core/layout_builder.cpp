#include "ui/core/layout_builder.h"

#include "ui/controls/control.h"
#include "ui/core/skin_source.h"
#include "ui/core/ui_manager.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <algorithm>

namespace SkinUI {

namespace {

bool IsNamed(const wchar_t* name, const wchar_t* expected)
{
    return _wcsicmp(name, expected) == 0;
}

bool IsTrue(const wchar_t* value)
{
    return _wcsicmp(value, L"true") == 0;
}

int Decimal(const wchar_t* value)
{
    return static_cast<int>(wcstol(value, nullptr, 10));
}

DWORD HexColour(const wchar_t* value)
{
    if (*value == L'#')
        ++value;
    return static_cast<DWORD>(wcstoul(value, nullptr, 16));
}

// Bound first, so that the destructors take the names the attributes
// registered out of the manager's name map.
void Discard(CControlUI* control, CUIManager* manager)
{
    if (manager)
        control->SetManager(manager, nullptr, false);
    control->Delete();
}

void RegisterImage(const CLayoutMarkupNode& node, CUIManager* manager)
{
    const wchar_t* name = L"";
    const wchar_t* type = L"";
    DWORD mask = 0;
    bool shared = false;
    for (int i = 0; i < node.AttributeCount(); ++i) {
        const wchar_t* attribute = node.AttributeName(i);
        const wchar_t* value = node.AttributeValue(i);
        if (IsNamed(attribute, L"name"))
            name = value;
        else if (IsNamed(attribute, L"restype"))
            type = value;
        else if (IsNamed(attribute, L"mask"))
            mask = HexColour(value);
        else if (IsNamed(attribute, L"shared"))
            shared = IsTrue(value);
    }
    if (*name)
        manager->RegisterImage(name, *type ? type : nullptr, mask, false, shared);
}

void RegisterFont(const CLayoutMarkupNode& node, CUIManager* manager)
{
    int id = -1;
    const wchar_t* name = L"";
    int size = 12;
    bool bold = false, underline = false, italic = false, isDefault = false, shared = false;
    for (int i = 0; i < node.AttributeCount(); ++i) {
        const wchar_t* attribute = node.AttributeName(i);
        const wchar_t* value = node.AttributeValue(i);
        if (IsNamed(attribute, L"id"))
            id = Decimal(value);
        else if (IsNamed(attribute, L"name"))
            name = value;
        else if (IsNamed(attribute, L"size"))
            size = Decimal(value);
        else if (IsNamed(attribute, L"bold"))
            bold = IsTrue(value);
        else if (IsNamed(attribute, L"underline"))
            underline = IsTrue(value);
        else if (IsNamed(attribute, L"italic"))
            italic = IsTrue(value);
        else if (IsNamed(attribute, L"default"))
            isDefault = IsTrue(value);
        else if (IsNamed(attribute, L"shared"))
            shared = IsTrue(value);
    }
    if (id < 0 || !*name)
        return;
    manager->RegisterFont(id, name, size, bold, underline, italic, shared);
    if (isDefault)
        manager->ReplaceDefaultFont(name, size, bold, underline, italic, shared);
}

void RegisterDefault(const CLayoutMarkupNode& node, CUIManager* manager)
{
    const wchar_t* name = L"";
    const wchar_t* value = L"";
    bool shared = false;
    for (int i = 0; i < node.AttributeCount(); ++i) {
        const wchar_t* attribute = node.AttributeName(i);
        if (IsNamed(attribute, L"name"))
            name = node.AttributeValue(i);
        else if (IsNamed(attribute, L"value"))
            value = node.AttributeValue(i);
        else if (IsNamed(attribute, L"shared"))
            shared = IsTrue(node.AttributeValue(i));
    }
    if (*name)
        manager->SetClassDefaults(name, value, shared);
}

void RegisterLanguageString(const CLayoutMarkupNode& node)
{
    int id = -1;
    const wchar_t* value = L"";
    for (int i = 0; i < node.AttributeCount(); ++i) {
        if (IsNamed(node.AttributeName(i), L"id"))
            id = Decimal(node.AttributeValue(i));
        else if (IsNamed(node.AttributeName(i), L"value"))
            value = node.AttributeValue(i);
    }
    if (id >= 0 && *value)
        CUIManager::SetLanguageString(id, value);
}

bool IsResourceElement(const wchar_t* name)
{
    return IsNamed(name, L"Image") || IsNamed(name, L"Font") || IsNamed(name, L"Default") ||
           IsNamed(name, L"MultiLanguage");
}

} // namespace

CLayoutBuilder::CLayoutBuilder() = default;

bool CLayoutBuilder::ResourceIdFromText(const wchar_t* text, UINT& id)
{
    size_t length = text ? wcslen(text) : 0;
    if (length == 0 || length > 5 || wcsspn(text, L"0123456789") != length)
        return false;
    unsigned long value = wcstoul(text, nullptr, 10);
    if (value == 0 || value > 0xFFFF)
        return false;
    id = static_cast<UINT>(value);
    return true;
}

CLayoutBuilder::CLayoutBuilder(int includeDepth, TIncludeBudget* budget)
    : includeDepth_(includeDepth), budget_(budget)
{
}

CControlUI* CLayoutBuilder::Build(const wchar_t* layout, IDialogBuilderCallback* callback, CUIManager* manager,
                                  CControlUI* parent)
{
    if (!LoadText(layout))
        return nullptr;
    return BuildLoaded(callback, manager, parent);
}

CControlUI* CLayoutBuilder::Build(TResourceId resource, const wchar_t* type, IDialogBuilderCallback* callback,
                                  CUIManager* manager, CControlUI* parent)
{
    if (!LoadResource(resource, type))
        return nullptr;
    return BuildLoaded(callback, manager, parent);
}

CControlUI* CLayoutBuilder::BuildLoaded(IDialogBuilderCallback* callback, CUIManager* manager, CControlUI* parent)
{
    callback_ = callback;
    return BuildLoadedAt(manager, parent, 0);
}

bool CLayoutBuilder::LoadText(const wchar_t* layout)
{
    if (!layout || !*layout)
        return false;
    if (layout[0] == L'<')
        return markup_.LoadText(layout);
    return markup_.LoadSkinFile(layout, kMarkupUtf8);
}

bool CLayoutBuilder::LoadResource(TResourceId resource, const wchar_t* type)
{
    if (resource.value == 0 || resource.value > 0xFFFF || !type || !*type)
        return false;
    HINSTANCE module = CSkinSource::Module();
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(resource.value), type);
    if (!found)
        return false;
    HGLOBAL loaded = ::LoadResource(module, found);
    DWORD size = ::SizeofResource(module, found);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    bool parsed = bytes && size > 0 && markup_.LoadBytes(bytes, size, kMarkupUtf8);
    if (loaded)
        ::FreeResource(loaded);
    if (parsed)
        resourceType_ = type;
    return parsed;
}

CControlUI* CLayoutBuilder::BuildLoadedAt(CUIManager* manager, CControlUI* parent, int depth)
{
    CLayoutMarkupNode root = markup_.RootNode();
    if (!root.IsPresent())
        return nullptr;
    if (manager) {
        RegisterResources(root, manager);
        ApplyWindowAttributes(root, manager);
    }
    return BuildChildren(root, parent, manager, depth);
}

void CLayoutBuilder::RegisterResources(const CLayoutMarkupNode& root, CUIManager* manager)
{
    for (CLayoutMarkupNode node = root.FirstChild(); node.IsPresent(); node = node.NextSibling()) {
        const wchar_t* name = node.ElementName();
        if (IsNamed(name, L"Image"))
            RegisterImage(node, manager);
        else if (IsNamed(name, L"Font"))
            RegisterFont(node, manager);
        else if (IsNamed(name, L"Default"))
            RegisterDefault(node, manager);
        else if (IsNamed(name, L"MultiLanguage"))
            RegisterLanguageString(node);
    }
}

void CLayoutBuilder::ApplyWindowAttributes(const CLayoutMarkupNode& root, CUIManager* manager)
{
    if (!IsNamed(root.ElementName(), L"Window") || !manager->GetPaintWindow())
        return;
    for (int i = 0; i < root.AttributeCount(); ++i)
        manager->ApplyWindowAttribute(root.AttributeName(i), root.AttributeValue(i));
}

CControlUI* CLayoutBuilder::BuildChildren(const CLayoutMarkupNode& node, CControlUI* parent, CUIManager* manager,
                                          int depth)
{
    if (depth >= kMaxNestingDepth)
        return nullptr;
    CControlUI* first = nullptr;
    for (CLayoutMarkupNode child = node.FirstChild(); child.IsPresent(); child = child.NextSibling()) {
        const wchar_t* name = child.ElementName();
        if (IsResourceElement(name))
            continue;
        if (IsNamed(name, L"Include")) {
            BuildInclude(child, parent, manager, depth);
            continue;
        }
        CControlUI* control = CreateControl(name);
        if (!control)
            continue;
        // Without a parent only the level's first control has an owner: the caller.
        if (!parent && first) {
            Discard(control, manager);
            continue;
        }
        if (child.HasChildElements())
            BuildChildren(child, control, manager, depth + 1);
        if (parent) {
            wchar_t cover[256] = {};
            child.FindAttribute(L"cover", cover, 255);
            if (wcscmp(cover, L"true") == 0) {
                parent->SetCover(control);
            } else {
                IContainerUI* container = static_cast<IContainerUI*>(parent->GetInterface(L"IContainer"));
                if (!container) {
                    Discard(control, manager);
                    return nullptr;
                }
                if (!container->Add(control)) {
                    Discard(control, manager);
                    continue;
                }
            }
        }
        Configure(child, control, parent, manager);
        if (!first)
            first = control;
    }
    return first;
}

void CLayoutBuilder::BuildInclude(const CLayoutMarkupNode& node, CControlUI* parent, CUIManager* manager, int depth)
{
    if (!node.HasAnyAttribute() || includeDepth_ >= kMaxIncludeDepth)
        return;
    wchar_t countText[500] = {};
    wchar_t source[500] = {};
    node.FindAttribute(L"count", countText, 499);
    if (!node.FindAttribute(L"source", source, 499) || !source[0])
        return;
    int count = countText[0] ? std::min(Decimal(countText), kMaxIncludeCount) : 1;
    UINT resourceId = 0;
    if (!resourceType_.IsEmpty() && !ResourceIdFromText(source, resourceId))
        return;
    CLayoutBuilder nested(includeDepth_ + 1, budget_);
    nested.callback_ = callback_;
    for (int i = 0; i < count && budget_->runsLeft > 0; ++i) {
        --budget_->runsLeft;
        if (!nested.markup_.IsValid()) {
            bool loaded = resourceType_.IsEmpty() ? nested.LoadText(source)
                                                  : nested.LoadResource(TResourceId{resourceId}, resourceType_);
            if (!loaded)
                return;
        }
        // Without a parent nothing owns what the include built.
        CControlUI* built = nested.BuildLoadedAt(manager, parent, depth);
        if (built && !parent)
            Discard(built, manager);
    }
}

CControlUI* CLayoutBuilder::CreateControl(const wchar_t* name)
{
    CControlUI* control = CreateControlOfClass(name);
    for (int i = 0; !control && i < CUIManager::GetControlFactoryCount(); ++i)
        control = CUIManager::GetControlFactory(i)(name);
    if (!control && callback_)
        control = callback_->CreateCustomControl(name);
    return control;
}

// Default attributes first, then the element's own, so that the element
// overrides its class defaults. The control leaves bound as its parent is:
// the window's manager binds the whole tree when the root is attached.
void CLayoutBuilder::Configure(const CLayoutMarkupNode& node, CControlUI* control, CControlUI* parent,
                               CUIManager* manager)
{
    if (manager) {
        control->SetManager(manager, parent, false);
        const wchar_t* defaults = manager->ClassDefaults(node.ElementName());
        if (defaults && *defaults)
            control->ApplyAttributeList(defaults);
    }
    for (int i = 0; i < node.AttributeCount(); ++i)
        control->SetAttribute(node.AttributeName(i), node.AttributeValue(i));
    if (manager)
        control->SetManager(parent ? parent->GetManager() : nullptr, parent, false);
}

} // namespace SkinUI
