#pragma once

#include "ui/controls/container.h"
#include "ui/controls/control.h"
#include "ui/core/window_impl_base.h"

#include <map>
#include <string>
#include <vector>

// Controls that count how many of them are alive, so that a test sees
// every built control deleted once its window has gone.
class CProbeUI : public SkinUI::CContainerUI {
public:
    CProbeUI() { ++live; }
    ~CProbeUI() override { --live; }
    const wchar_t* GetClass() const override { return L"Probe"; }
    static int live;
};

class CProbeLeafUI : public SkinUI::CControlUI {
public:
    CProbeLeafUI() { ++CProbeUI::live; }
    ~CProbeLeafUI() override { --CProbeUI::live; }
    const wchar_t* GetClass() const override { return L"ProbeLeaf"; }
};

// A skinned window whose layout is given as a text (the builder takes a
// text beginning with '<' as the document) or as a skin file name. It
// creates "Probe" and "ProbeLeaf" elements and records every name the
// builder asked it for.
class TestWindow : public SkinUI::WindowImplBase {
public:
    explicit TestWindow(std::wstring layout, int sourceKind = SkinUI::kSkinFromSource);

    // Creates the window hidden, as a popup with a caption as the message
    // box does; false when it did not come up.
    bool Create(HWND owner = nullptr);
    // Shows and paints it, so that the tree is laid out.
    void ShowAndPaint();
    void Destroy();

    SkinUI::CControlUI* Find(const wchar_t* name) { return GetManager().FindControlByName(name); }
    SkinUI::CControlUI* Root() { return GetManager().GetRoot(); }

    std::vector<std::wstring> askedNames;
    // For the zip file and zip resource kinds of skin source.
    std::wstring zipName;
    std::wstring resourceId = L"101";

protected:
    const wchar_t* ClassName() const override { return L"KestrelTestWindow"; }
    SkinUI::CUIString SkinFolder() const override { return L""; }
    SkinUI::CUIString SkinFile() const override { return layout_.c_str(); }
    SkinUI::CUIString SkinZipName() const override { return zipName.c_str(); }
    SkinUI::CUIString SkinResourceId() const override { return resourceId.c_str(); }
    int SkinSourceKind() const override { return sourceKind_; }
    SkinUI::CControlUI* CreateCustomControl(const wchar_t* name) override;

private:
    std::wstring layout_;
    int sourceKind_;
};

// Every control of the tree under root (covers included), by class name.
std::map<std::wstring, int> CountByClass(SkinUI::CControlUI* root);
int TreeDepth(SkinUI::CControlUI* root);
POINT ClientToScreenPoint(HWND window, int x, int y);
// Takes every pending message of this thread's queue.
void PumpMessages();
