#pragma once

#include "ui/core/layout_markup.h"
#include "ui/core/ui_string.h"

#include <windows.h>

namespace SkinUI {

class CControlUI;
class CUIManager;

// Asked for element names that neither the class table nor a factory knows.
class IDialogBuilderCallback {
public:
    virtual CControlUI* CreateCustomControl(const wchar_t* name) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

// A module resource's numeric identifier; only 1..65535 names one.
struct TResourceId {
    UINT value;
};

// Turns a layout document into a control tree for one window: registers
// the document's images, fonts, class defaults and language strings with
// the manager, applies the root Window's attributes and creates, nests and
// configures one control per element.
class CLayoutBuilder {
public:
    // Hostile layouts must not recurse without bound: an Include may name
    // itself, and nesting drives the recursion of building, binding,
    // painting and deleting. Whatever lies past a cap is skipped.
    static constexpr int kMaxIncludeDepth = 8;
    static constexpr int kMaxNestingDepth = 256;
    static constexpr int kMaxIncludeCount = 1000;

    CLayoutBuilder();
    CLayoutBuilder(const CLayoutBuilder&) = delete;
    CLayoutBuilder& operator=(const CLayoutBuilder&) = delete;

    // A text beginning with '<' is the document itself; any other text
    // names a file of the skin source.
    CControlUI* Build(const wchar_t* layout, IDialogBuilderCallback* callback, CUIManager* manager,
                      CControlUI* parent = nullptr);
    // A UTF-8 document stored as a module resource of the given type.
    CControlUI* Build(TResourceId resource, const wchar_t* type, IDialogBuilderCallback* callback,
                      CUIManager* manager, CControlUI* parent = nullptr);
    // The second stage on the document loaded already: the first control
    // created at the top level, or null.
    CControlUI* BuildLoaded(IDialogBuilderCallback* callback, CUIManager* manager, CControlUI* parent = nullptr);

    CLayoutMarkup& GetMarkup() { return markup_; }

    // A decimal text naming a module resource: digits only, 1..65535.
    static bool ResourceIdFromText(const wchar_t* text, UINT& id);

private:
    // Shared by a builder and the nested builders of its Includes, so that
    // includes including each other stay bounded in total.
    struct TIncludeBudget {
        int runsLeft = kMaxIncludeCount;
    };

    CLayoutBuilder(int includeDepth, TIncludeBudget* budget);

    bool LoadText(const wchar_t* layout);
    bool LoadResource(TResourceId resource, const wchar_t* type);
    CControlUI* BuildLoadedAt(CUIManager* manager, CControlUI* parent, int depth);
    void RegisterResources(const CLayoutMarkupNode& root, CUIManager* manager);
    void ApplyWindowAttributes(const CLayoutMarkupNode& root, CUIManager* manager);
    CControlUI* BuildChildren(const CLayoutMarkupNode& node, CControlUI* parent, CUIManager* manager, int depth);
    void BuildInclude(const CLayoutMarkupNode& node, CControlUI* parent, CUIManager* manager, int depth);
    CControlUI* CreateControl(const wchar_t* name);
    void Configure(const CLayoutMarkupNode& node, CControlUI* control, CControlUI* parent, CUIManager* manager);

    CLayoutMarkup markup_;
    IDialogBuilderCallback* callback_ = nullptr;
    CUIString resourceType_;
    int includeDepth_ = 0;
    TIncludeBudget ownBudget_;
    TIncludeBudget* budget_ = &ownBudget_;
};

} // namespace SkinUI
