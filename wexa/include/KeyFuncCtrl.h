#pragma once
// KeyFuncCtrl: keys to pick as 50 x 50 tiles in three collapsible groups.
// Each group has a 40-pixel header (when open, a rounded bar with the group's
// title and the open/closed arrow from the control's sprite) and, when open,
// its tiles in rows 60 pixels apart. A tile carries a key code: a keyboard
// usage id, or one of the control's own codes 500-517 for multimedia and web
// functions, whose tiles show an icon (their label is the tooltip). A click on
// a header opens or closes its group; a click on a tile picks its code and
// reports event 2 with the code as lparam. The panel scrolls vertically and,
// when the owner turns dragging on, is a drag source for its tiles.
//
// UI thread only; the groups and tiles are walked under the control's lock.
#include <windows.h>

#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "MPanel.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

struct KEYTILE_INFO
{
    CString label;
    int code = 0;
    Gdiplus::Image* icon = nullptr;  // owned
    RECT rect = {0, 0, 0, 0};        // control coordinates

    KEYTILE_INFO() = default;
    KEYTILE_INFO(const KEYTILE_INFO&) = delete;
    KEYTILE_INFO& operator=(const KEYTILE_INFO&) = delete;
    ~KEYTILE_INFO() { delete icon; }
};

class WEXA_API KeyFuncCtrl : public MPanel
{
public:
    enum {
        HEADER_HEIGHT = 40,
        BAR_HEIGHT = 30,
        TILE_SIZE = 50,
        TILE_PITCH = 60,
        TILE_LEFT = 10,
        BAR_WIDTH = 5
    };

    struct ITEM_INFO
    {
        CString name;
        int expanded = 0;
        int tileAreaHeight = 0;
        RECT header = {0, 0, 0, 0};  // control coordinates, written by the drawing
        std::vector<KEYTILE_INFO*> tiles;

        ITEM_INFO() = default;
        ITEM_INFO(const ITEM_INFO&) = delete;
        ITEM_INFO& operator=(const ITEM_INFO&) = delete;
        ~ITEM_INFO()
        {
            for (KEYTILE_INFO* tile : tiles) delete tile;
        }
    };

    KeyFuncCtrl(MObject* owner, UINT id, CRect rect, int visible);
    ~KeyFuncCtrl() override;

    void InitControl(PaintManager* manager) override;
    int IsDragDrop() override;
    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    HBITMAP GetControlDropBitmap() override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;
    // The arrow sprite, loaded from the skin folder (not the window's cache).
    int SetImage(const wchar_t* skinFileName, int frames) override;
    using MControlFont::SetImage;

    // Builds the three groups and their 122 tiles, then lays the panel out.
    void InitItemInfo();
    // Deletes every group and tile; the picked code stays.
    void ClearItems();
    // Closes every group; content height 120.
    void ResetKeyState();
    // 1 when the group exists (the name replaced when it differs), else 0.
    int SetItemText(int group, CString name);
    // Relabels the first tile of the third group with that code.
    void SetItemDesc(int code, CString text);
    // The hovered tile's code and label; 0 and "" without one.
    void GetCurValue(int& code, CString& text);

    int GetPickedCode() const { return m_nPickedCode; }
    int GetAllHeight() const { return m_nAllHeight; }
    int GetScrollOffset() const { return m_nOffset; }
    int GetGroupCount();
    // Copies of a group's state and a tile's place; false outside the lists.
    bool GetGroupInfo(int group, int& expanded, int& tileAreaHeight, CRect& header);
    bool GetTileInfo(int group, int tile, CString& label, int& code, CRect& rect, bool& hasIcon);
    int GetTileCount(int group);
    void GetHover(int& group, int& tile) const
    {
        group = m_nHoverGroup;
        tile = m_nHoverTile;
    }

private:
    void AddKeyItem(ITEM_INFO* group, CString label, int code, CRect rect, CString icon);
    void DrawRoundRectange(Gdiplus::Graphics& g, float x, float y, float width, float height,
                           float radius, Gdiplus::Color border, Gdiplus::Color fill);
    // Sum of the headers and the open groups' tile areas; under the lock.
    int ContentHeight();
    // Shows the bar while the control is lower than the content, gives it
    // the content height as range and keeps the view's pixel offset.
    void FollowContent();
    KEYTILE_INFO* HoveredTile();

    std::vector<ITEM_INFO*> m_groups;
    CCriticalLock m_groupsLock;
    int m_nHoverGroup;
    int m_nHoverTile;
    int m_nPickedCode;
    int m_nAllHeight;
    int m_nOffset;
    Gdiplus::Image* m_pArrow;  // owned
    int m_nArrowWidth;
    int m_nArrowHeight;
};

}  // namespace WEXA
