// A skinned window whose layout does not exist: creating it must end this
// process with exit code 1 after the "SkinUI" error box.
#include "ui/core/skin_source.h"
#include "ui/core/window_impl_base.h"

namespace {

class MissingLayoutWindow : public SkinUI::WindowImplBase {
protected:
    const wchar_t* ClassName() const override { return L"KestrelMissingLayout"; }
    SkinUI::CUIString SkinFolder() const override { return L""; }
    SkinUI::CUIString SkinFile() const override { return L"NoSuchLayout.xml"; }
};

} // namespace

int main()
{
    SkinUI::CSkinSource::SetModule(::GetModuleHandleW(nullptr));
    MissingLayoutWindow window;
    window.CreateNative(nullptr, L"", WS_POPUP | WS_VISIBLE, 0, 0, 0, 200, 100);
    return 0;
}
