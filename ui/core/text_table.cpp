#include "ui/core/text_table.h"

#include <memory>

namespace SkinUI {

CTextTable::~CTextTable()
{
    RemoveAll();
}

void CTextTable::Set(const wchar_t* name, const wchar_t* text)
{
    if (!name)
        return;
    delete texts_.Set(name, new CUIString(text ? text : L""));
}

bool CTextTable::Insert(const wchar_t* name, const wchar_t* text)
{
    auto owned = std::make_unique<CUIString>(text ? text : L"");
    if (!texts_.Insert(name, owned.get()))
        return false;
    owned.release();
    return true;
}

const wchar_t* CTextTable::Find(const wchar_t* name) const
{
    const CUIString* text = texts_.Find(name);
    return text ? text->GetData() : nullptr;
}

void CTextTable::RemoveAll()
{
    texts_.DeleteAll();
}

} // namespace SkinUI
