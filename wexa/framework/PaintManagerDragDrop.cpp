// PaintManager: the window's part in OLE drag and drop.
//
// Not built yet (placeholders): registering the window as a drop target,
// handling drops and drag-over notifications, and running the drag of a
// pressed control. Until then a window takes no drops and a draggable control
// starts no drag.
#include "PaintManager.h"

namespace WEXA {

int PaintManager::InitDragDrop() { return 0; }

bool PaintManager::OnDrop(FORMATETC*, STGMEDIUM&, DWORD*) { return true; }

void PaintManager::OnDragOver(POINTL) {}

void PaintManager::StartControlDrag()
{
    if (m_hDragBitmap) {
        ::DeleteObject(m_hDragBitmap);
        m_hDragBitmap = nullptr;
    }
}

}  // namespace WEXA
