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
    void* old = images_.Set(name, record);
    if (old)
        retired_.Add(old);
}

const TImageRecord* CImageRegistry::Find(const wchar_t* name) const
{
    return static_cast<const TImageRecord*>(images_.Find(name));
}

void CImageRegistry::Adjust(bool use, short hue, short saturation, short lightness)
{
    for (int i = 0; i < images_.GetSize(); ++i) {
        TImageRecord* record = static_cast<TImageRecord*>(images_.Find(images_.GetAt(i)));
        if (record && record->pImage)
            CRenderKit::AdjustImage(use, record->pImage, hue, saturation, lightness);
    }
}

void CImageRegistry::RemoveAll()
{
    for (int i = 0; i < images_.GetSize(); ++i)
        DeleteImageRecord(static_cast<TImageRecord*>(images_.Find(images_.GetAt(i))));
    images_.RemoveAll();
    for (int i = 0; i < retired_.GetSize(); ++i)
        DeleteImageRecord(static_cast<TImageRecord*>(retired_[i]));
    retired_.Empty();
}

} // namespace SkinUI
