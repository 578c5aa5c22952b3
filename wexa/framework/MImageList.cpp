#include "MImageList.h"

#include "MRender.h"

namespace WEXA {

MImageList::MImageList() : m_drawWidth(0), m_drawHeight(0) {}

MImageList::~MImageList()
{
    DelAllImages();
}

int MImageList::AddImage(const wchar_t* path, int id, int frames)
{
    return InsertImage(-1, path, id, frames);
}

int MImageList::InsertImage(int index, const wchar_t* path, int id, int frames)
{
    if (!path) return -1;
    {
        CAutoLock lock(m_lock);
        if (index != -1 && (index < 0 || index >= static_cast<int>(m_items.size()))) return -1;
    }
    auto* item = new _M_IAMGELIST();
    item->id = id;
    // The frame count divides the width: fewer than one frame counts as one.
    item->frames = frames < 1 ? 1 : frames;
    item->path = path;
    item->image = MRender::LoadImageFromFile(path);
    item->frameWidth = 0;
    item->height = 0;
    if (item->image) {
        item->height = static_cast<int>(item->image->GetHeight());
        item->frameWidth = static_cast<int>(item->image->GetWidth()) / item->frames;
    }

    CAutoLock lock(m_lock);
    if (index == -1) {
        m_items.push_back(item);
        return static_cast<int>(m_items.size()) - 1;
    }
    // The list may have shrunk while the file loaded.
    if (index > static_cast<int>(m_items.size())) index = static_cast<int>(m_items.size());
    m_items.insert(m_items.begin() + index, item);
    return -1;
}

void MImageList::DrawItemIcon(Gdiplus::Graphics& g, CRect rect, int index)
{
    DrawItemIcon(g, rect, index, 0);
}

void MImageList::DrawItemIcon(Gdiplus::Graphics& g, CRect rect, int index, int state)
{
    _M_IAMGELIST* item = GetItemImageData(index);
    if (!item || !item->image) return;
    int frame = state < item->frames - 1 ? state : item->frames - 1;
    if (frame < 0) frame = 0;
    g.DrawImage(item->image,
                Gdiplus::Rect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top),
                frame * item->frameWidth, 0, item->frameWidth, item->height, Gdiplus::UnitPixel);
}

int MImageList::SetDrawImgSize(int cx, int cy)
{
    m_drawWidth = cx;
    m_drawHeight = cy;
    return 1;
}

CSize MImageList::GetIconSize()
{
    return CSize(m_drawWidth, m_drawHeight);
}

_M_IAMGELIST* MImageList::GetItemImageData(int index)
{
    CAutoLock lock(m_lock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return nullptr;
    return m_items[index];
}

_M_IAMGELIST* MImageList::GetImageDataByID(int id)
{
    CAutoLock lock(m_lock);
    for (_M_IAMGELIST* item : m_items)
        if (item->id == id) return item;
    return nullptr;
}

CString MImageList::GetImagePath(int index)
{
    CAutoLock lock(m_lock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return CString();
    return m_items[index]->path;
}

CString MImageList::GetImagePathByID(int id)
{
    CAutoLock lock(m_lock);
    for (_M_IAMGELIST* item : m_items)
        if (item->id == id) return item->path;
    return CString();
}

int MImageList::GetImageCount()
{
    CAutoLock lock(m_lock);
    return static_cast<int>(m_items.size());
}

int MImageList::DelAllImages()
{
    std::vector<_M_IAMGELIST*> items;
    {
        CAutoLock lock(m_lock);
        items.swap(m_items);
    }
    for (_M_IAMGELIST* item : items) {
        delete item->image;
        delete item;
    }
    return 1;
}

}  // namespace WEXA
