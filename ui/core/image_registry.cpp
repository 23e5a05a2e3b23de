#include "ui/core/image_registry.h"

#include "ui/controls/image_spec.h"
#include "ui/controls/render_kit.h"

namespace SkinUI {

namespace {

void DeleteImageRecord(TImageRecord* record)
{
    if (!record)
        return;
    delete record->pImage;
    delete record;
}

} // namespace

CImageRegistry::~CImageRegistry()
{
    RemoveAll();
}

void CImageRegistry::Set(const wchar_t* name, TImageRecord* record)
{
    TImageRecord* old = images_.Set(name, record);
    if (old)
        retired_.Add(old);
}

const TImageRecord* CImageRegistry::Find(const wchar_t* name) const
{
    return images_.Find(name);
}

void CImageRegistry::Adjust(bool use, short hue, short saturation, short lightness)
{
    images_.ForEach([=](const wchar_t*, TImageRecord* record) {
        if (record && record->pImage)
            CRenderKit::AdjustImage(use, record->pImage, hue, saturation, lightness);
    });
}

void CImageRegistry::RemoveAll()
{
    images_.ForEach([](const wchar_t*, TImageRecord* record) { DeleteImageRecord(record); });
    images_.RemoveAll();
    for (int i = 0; i < retired_.GetSize(); ++i)
        DeleteImageRecord(retired_[i]);
    retired_.Empty();
}

} // namespace SkinUI
