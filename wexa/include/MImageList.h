#pragma once
// A locked list of icon images, each a strip of frames side by side, drawn by
// list index and state. Lookups return the record itself: do not delete images
// while another thread draws them.
#include <windows.h>

#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

struct _M_IAMGELIST
{
    Gdiplus::Image* image;  // owned by the list; null when the file did not load
    int frameWidth;         // image width / frames
    int height;             // image height
    int id;                 // the caller's id
    int frames;             // frames in the strip (at least 1)
    CString path;           // the path as given
};

class WEXA_API MImageList
{
public:
    MImageList();
    ~MImageList();

    MImageList(const MImageList&) = delete;
    MImageList& operator=(const MImageList&) = delete;

    // InsertImage(-1, ...).
    int AddImage(const wchar_t* path, int id, int frames);
    // index -1 appends and returns the new item's index; an index in 0..count-1
    // inserts before that item and returns -1; any other index adds nothing and
    // returns -1, as does a null path. A file that does not load still gives an item.
    int InsertImage(int index, const wchar_t* path, int id, int frames);

    // Frame 0 / the frame of the state (at most the last frame) scaled into rect.
    void DrawItemIcon(Gdiplus::Graphics& g, CRect rect, int index);
    void DrawItemIcon(Gdiplus::Graphics& g, CRect rect, int index, int state);

    int SetDrawImgSize(int cx, int cy);
    CSize GetIconSize();

    _M_IAMGELIST* GetItemImageData(int index);
    _M_IAMGELIST* GetImageDataByID(int id);
    // "" for an index / id that the list does not have.
    CString GetImagePath(int index);
    CString GetImagePathByID(int id);
    int GetImageCount();
    int DelAllImages();

private:
    std::vector<_M_IAMGELIST*> m_items;
    CCriticalLock m_lock;  // guards m_items
    int m_drawWidth;
    int m_drawHeight;
};

}  // namespace WEXA
