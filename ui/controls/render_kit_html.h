#pragma once

#include "ui/controls/render_kit.h"
#include "ui/core/ui_string.h"

#include <windows.h>

#include <vector>

namespace SkinUI {

struct TFontRecord;

struct THtmlFont {
    CUIString face;
    int size = 10;
    bool bold = false;
    bool underline = false;
    bool italic = false;
};

enum class EHtmlAlign { Bottom, Center, Top };

struct THtmlPiece {
    enum Kind { Text, Image, Break, SoftBreak, Advance, LineHeight } kind = Text;
    CUIString text;
    HFONT font = nullptr;
    DWORD color = 0;
    bool selected = false;
    int link = -1;
    const TLoadedImage* image = nullptr;
    RECT source = {0, 0, 0, 0};
    int width = 0;
    int height = 0;
    int ascent = 0;
    int paragraph = 0;
    EHtmlAlign align = EHtmlAlign::Bottom;
};

// Reads the markup of DrawHtmlText into pieces: text runs with their font
// and colour, inline images, breaks and pen moves. Each kind of state has
// its own stack; a closing tag with nothing open is ignored.
class CHtmlReader {
public:
    CHtmlReader(HDC hDC, CUIManager* manager, DWORD color, int font);

    std::vector<THtmlPiece> Read(const wchar_t* text, std::vector<CUIString>& linkNames);

private:
    void ReadTag(const wchar_t*& at, const wchar_t*& runStart, std::vector<CUIString>& linkNames);
    void OpenTag(wchar_t tag, const CUIString& argument, std::vector<CUIString>& linkNames);
    void CloseTag(wchar_t tag);
    void AddText(const wchar_t* text, int length);
    void AddImage(const CUIString& argument);
    void AddKind(THtmlPiece::Kind kind, int value = 0);
    HFONT FontFor(const THtmlFont& desc);
    THtmlFont NamedFont(const CUIString& argument) const;
    static THtmlFont DescOf(const TFontRecord& record);

    template <class T>
    static void Pop(std::vector<T>& stack)
    {
        if (stack.size() > 1)
            stack.pop_back();
    }

    HDC hDC_;
    CUIManager* manager_;
    HFONT baseFont_;
    std::vector<THtmlFont> fonts_;
    std::vector<DWORD> colors_;
    std::vector<int> paragraphs_;
    std::vector<EHtmlAlign> aligns_;
    std::vector<bool> selected_;
    std::vector<int> links_;
    bool raw_ = false;
    bool closerMissing_[2] = {false, false};
    std::vector<THtmlPiece> pieces_;
};

} // namespace SkinUI
