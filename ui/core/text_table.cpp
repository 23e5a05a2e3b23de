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
    delete static_cast<CUIString*>(texts_.Set(name, new CUIString(text ? text : L"")));
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
    const CUIString* text = static_cast<const CUIString*>(texts_.Find(name));
    return text ? text->GetData() : nullptr;
}

void CTextTable::RemoveAll()
{
    for (int i = 0; i < texts_.GetSize(); ++i)
        delete static_cast<CUIString*>(texts_.Find(texts_.GetAt(i)));
    texts_.RemoveAll();
}

} // namespace SkinUI
