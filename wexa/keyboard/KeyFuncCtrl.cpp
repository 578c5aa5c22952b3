#include "KeyFuncCtrl.h"
#include "GlyphFaces.h"

#include "ControlRegistry.h"
#include "MRender.h"
#include "MScroll.h"
#include "Manager.h"
#include "PaintManager.h"
#include "keyboard/KeyFuncCtrlKeys.h"
#include "keyboard/PickerCommon.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(KeyFuncCtrl, new KeyFuncCtrl(a.owner, a.id, a.rect, a.visible));

KeyFuncCtrl::KeyFuncCtrl(MObject* owner, UINT id, CRect rect, int visible)
    : MPanel(owner, id, rect, visible),
      m_nHoverGroup(-1),
      m_nHoverTile(-1),
      m_nPickedCode(0),
      m_nAllHeight(500),
      m_nOffset(0),
      m_pArrow(nullptr),
      m_nArrowWidth(0),
      m_nArrowHeight(0)
{}

KeyFuncCtrl::~KeyFuncCtrl()
{
    {
        CAutoLock lock(m_groupsLock);
        for (ITEM_INFO* group : m_groups) delete group;
        m_groups.clear();
    }
    delete m_pArrow;
}

void KeyFuncCtrl::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    SetControlRect(m_rcControl);
}

int KeyFuncCtrl::SetImage(const wchar_t* skinFileName, int frames)
{
    int width = 0, height = 0;
    Gdiplus::Image* image =
        picker::LoadSkinImage(skinFileName ? skinFileName : L"", false, width, height);
    if (!image) return 0;
    delete m_pArrow;
    m_pArrow = image;
    if (frames < 1) frames = 1;
    m_nArrowWidth = static_cast<int>(static_cast<unsigned>(width) / static_cast<unsigned>(frames));
    m_nArrowHeight = height;
    return 1;
}

void KeyFuncCtrl::AddKeyItem(ITEM_INFO* group, CString label, int code, CRect rect, CString icon)
{
    auto* tile = new KEYTILE_INFO;
    tile->label = label;
    tile->code = code;
    tile->rect = rect;
    int width = 0, height = 0;
    tile->icon = picker::LoadSkinImage(icon, false, width, height);
    group->tiles.push_back(tile);
}

void KeyFuncCtrl::InitItemInfo()
{
    ClearItems();
    size_t count = 0;
    const keyfuncctrl::KeyGroupEntry* table = keyfuncctrl::Groups(count);
    for (size_t g = 0; g < count; ++g) {
        auto* group = new ITEM_INFO;
        group->name = table[g].name;
        group->expanded = table[g].expanded;
        group->tileAreaHeight = table[g].tileAreaHeight;
        for (size_t i = 0; i < table[g].count; ++i) {
            const int column = static_cast<int>(i % keyfuncctrl::INITIAL_PER_ROW);
            const int row = static_cast<int>(i / keyfuncctrl::INITIAL_PER_ROW);
            const int x = keyfuncctrl::INITIAL_LEFT + keyfuncctrl::INITIAL_PITCH * column;
            const int y = keyfuncctrl::INITIAL_PITCH * row;
            AddKeyItem(group, table[g].tiles[i].label, table[g].tiles[i].code,
                       CRect(x, y, x + keyfuncctrl::INITIAL_TILE, y + keyfuncctrl::INITIAL_TILE),
                       table[g].tiles[i].icon);
        }
        CAutoLock lock(m_groupsLock);
        m_groups.push_back(group);
    }
    SetControlRect(m_rcControl);
}

void KeyFuncCtrl::ClearItems()
{
    {
        CAutoLock lock(m_groupsLock);
        for (ITEM_INFO* group : m_groups) delete group;
        m_groups.clear();
        m_nHoverGroup = m_nHoverTile = -1;
    }
    FitScrollBar(m_pScrollVertical, 0, 0);
    m_nAllHeight = 0;
    picker::Repaint(this);
}

void KeyFuncCtrl::ResetKeyState()
{
    {
        CAutoLock lock(m_groupsLock);
        for (ITEM_INFO* group : m_groups) group->expanded = 0;
        m_nAllHeight = 120;
    }
    FitScrollBar(m_pScrollVertical, m_nAllHeight, m_rcControl.Height());
    picker::Repaint(this);
}

int KeyFuncCtrl::SetItemText(int group, CString name)
{
    {
        CAutoLock lock(m_groupsLock);
        if (group < 0 || group >= static_cast<int>(m_groups.size())) return 0;
        ITEM_INFO* item = m_groups[static_cast<size_t>(group)];
        if (item->name == name) return 1;
        item->name = name;
    }
    picker::Repaint(this);
    return 1;
}

void KeyFuncCtrl::SetItemDesc(int code, CString text)
{
    {
        CAutoLock lock(m_groupsLock);
        if (m_groups.size() >= 3) {
            for (KEYTILE_INFO* tile : m_groups[2]->tiles)
                if (tile->code == code) {
                    tile->label = text;
                    break;
                }
        }
    }
    picker::Repaint(this);
}

KEYTILE_INFO* KeyFuncCtrl::HoveredTile()
{
    if (m_nHoverGroup < 0 || m_nHoverGroup >= static_cast<int>(m_groups.size())) return nullptr;
    ITEM_INFO* group = m_groups[static_cast<size_t>(m_nHoverGroup)];
    if (m_nHoverTile < 0 || m_nHoverTile >= static_cast<int>(group->tiles.size())) return nullptr;
    return group->tiles[static_cast<size_t>(m_nHoverTile)];
}

void KeyFuncCtrl::GetCurValue(int& code, CString& text)
{
    code = 0;
    text = L"";
    CAutoLock lock(m_groupsLock);
    if (KEYTILE_INFO* tile = HoveredTile()) {
        code = tile->code;
        text = tile->label;
    }
}

int KeyFuncCtrl::GetGroupCount()
{
    CAutoLock lock(m_groupsLock);
    return static_cast<int>(m_groups.size());
}

bool KeyFuncCtrl::GetGroupInfo(int group, int& expanded, int& tileAreaHeight, CRect& header)
{
    CAutoLock lock(m_groupsLock);
    if (group < 0 || group >= static_cast<int>(m_groups.size())) return false;
    const ITEM_INFO* item = m_groups[static_cast<size_t>(group)];
    expanded = item->expanded;
    tileAreaHeight = item->tileAreaHeight;
    header = CRect(item->header);
    return true;
}

int KeyFuncCtrl::GetTileCount(int group)
{
    CAutoLock lock(m_groupsLock);
    if (group < 0 || group >= static_cast<int>(m_groups.size())) return 0;
    return static_cast<int>(m_groups[static_cast<size_t>(group)]->tiles.size());
}

bool KeyFuncCtrl::GetTileInfo(int group, int tile, CString& label, int& code, CRect& rect,
                              bool& hasIcon)
{
    CAutoLock lock(m_groupsLock);
    if (group < 0 || group >= static_cast<int>(m_groups.size())) return false;
    const ITEM_INFO* item = m_groups[static_cast<size_t>(group)];
    if (tile < 0 || tile >= static_cast<int>(item->tiles.size())) return false;
    const KEYTILE_INFO* t = item->tiles[static_cast<size_t>(tile)];
    label = t->label;
    code = t->code;
    rect = CRect(t->rect);
    hasIcon = t->icon != nullptr;
    return true;
}

int KeyFuncCtrl::ContentHeight()
{
    int height = 0;
    for (const ITEM_INFO* group : m_groups)
        height += HEADER_HEIGHT + (group->expanded ? group->tileAreaHeight : 0);
    return height;
}

void KeyFuncCtrl::FollowContent()
{
    CScrollVertical* bar = m_pScrollVertical;
    if (!bar) return;
    FitScrollBar(m_pScrollVertical, m_nAllHeight, m_rcControl.Height());
    // Keep the view's pixel offset. While the content is not taller than the
    // control there is nothing to scroll: the position is 0 (no division).
    const int hidden = m_nAllHeight - m_rcControl.Height();
    int position = 0;
    if (hidden > 0)
        position =
            static_cast<int>(static_cast<long long>(m_nOffset) * bar->GetScrollMaxRange() / hidden);
    bar->SetScrollCurrentPos(position);
}

void KeyFuncCtrl::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    PlaceScrollBars(rect, BAR_WIDTH, true);
    int height;
    {
        CAutoLock lock(m_groupsLock);
        height = ContentHeight();
    }
    if (height > 0) {
        m_nAllHeight = height;
        FollowContent();
    }
    picker::Repaint(this);
}

LONG KeyFuncCtrl::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if ((id == 1 || id == 2) && code == 8) picker::Repaint(this);
    return m_pParent ? m_pParent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

int KeyFuncCtrl::OnControlScroll(int, UINT down, CPoint)
{
    if (m_nAllHeight <= m_rcControl.Height()) return 0;
    if (picker::WheelBar(this, down == 1)) picker::Repaint(this);
    return 1;
}

int KeyFuncCtrl::IsDragDrop()
{
    return m_bDragDrop;
}

HBITMAP KeyFuncCtrl::GetControlDropBitmap()
{
    if (!m_bEnabled || !m_pManager) return nullptr;
    CRect rect;
    {
        CAutoLock lock(m_groupsLock);
        KEYTILE_INFO* tile = HoveredTile();
        if (!tile) return nullptr;
        rect = CRect(tile->rect);
    }
    rect.left -= 1;
    rect.top -= 1;
    rect.right += 2;
    rect.bottom += 2;
    return m_pManager->GetDropBitmap(this, rect, 0);
}

int KeyFuncCtrl::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int beforeGroup = m_nHoverGroup, beforeTile = m_nHoverTile;
    if (m_rcControl.PtInRect(point)) {
        CString tip;
        CRect tipRect;
        bool stays = false;
        {
            CAutoLock lock(m_groupsLock);
            if (KEYTILE_INFO* tile = HoveredTile()) {
                RECT r = tile->rect;
                ::OffsetRect(&r, m_rcControl.left, m_rcControl.top);
                if (::PtInRect(&r, point)) {
                    stays = true;
                    if (tile->icon) {
                        tip = tile->label;
                        tipRect = CRect(r);
                    }
                }
            }
        }
        if (stays) {
            SetCursorEx(L"hand");
            if (!tip.IsEmpty()) SetTooltip(tip, tipRect);
            return 1;
        }
        if (m_nHoverGroup >= 0 && m_nHoverTile >= 0) {
            m_nHoverGroup = m_nHoverTile = -1;
            SetCursorEx(L"arrow");
            ClearTooltip();
        }
        m_nHoverGroup = m_nHoverTile = -1;
        CAutoLock lock(m_groupsLock);
        for (size_t g = 0; g < m_groups.size() && m_nHoverTile < 0; ++g) {
            if (!m_groups[g]->expanded) continue;
            const std::vector<KEYTILE_INFO*>& tiles = m_groups[g]->tiles;
            for (size_t i = 0; i < tiles.size(); ++i) {
                RECT r = tiles[i]->rect;
                ::OffsetRect(&r, m_rcControl.left, m_rcControl.top);
                if (::PtInRect(&r, point)) {
                    m_nHoverGroup = static_cast<int>(g);
                    m_nHoverTile = static_cast<int>(i);
                    break;
                }
            }
        }
    } else {
        SetCursorEx(L"arrow");
        if (m_pManager) {
            m_pManager->ClearTooltip();
            m_pManager->SetTooltipOwner(nullptr);
        }
        m_nHoverGroup = m_nHoverTile = -1;
    }
    if ((m_nHoverGroup != beforeGroup || m_nHoverTile != beforeTile) && m_bVisible)
        picker::Repaint(this);
    return 1;
}

int KeyFuncCtrl::OnControlLButtonDown(UINT, CPoint)
{
    return m_bEnabled ? 1 : 0;
}

int KeyFuncCtrl::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled || !m_rcControl.PtInRect(point)) return 0;
    bool picked = false;
    {
        CAutoLock lock(m_groupsLock);
        KEYTILE_INFO* tile = HoveredTile();
        if (!tile) {
            for (ITEM_INFO* group : m_groups) {
                RECT r = group->header;
                ::OffsetRect(&r, m_rcControl.left, m_rcControl.top);
                if (::PtInRect(&r, point)) group->expanded = group->expanded ? 0 : 1;
            }
            m_nAllHeight = ContentHeight();
        } else {
            RECT r = tile->rect;
            ::OffsetRect(&r, m_rcControl.left, m_rcControl.top);
            if (::PtInRect(&r, point)) m_nPickedCode = tile->code;
            picked = true;
        }
    }
    if (picked)
        SendMessageW(2, 0, static_cast<LONG_PTR>(m_nPickedCode));
    else
        FollowContent();
    picker::Repaint(this);
    return 0;
}

void KeyFuncCtrl::DrawRoundRectange(Gdiplus::Graphics& g, float x, float y, float width,
                                    float height, float radius, Gdiplus::Color border,
                                    Gdiplus::Color fill)
{
    const float d = 2.0f * radius;
    Gdiplus::GraphicsPath path;
    path.AddArc(x, y, d, d, 180.0f, 90.0f);
    path.AddArc(x + width - d, y, d, d, 270.0f, 90.0f);
    path.AddArc(x + width - d, y + height - d, d, d, 0.0f, 90.0f);
    path.AddArc(x, y + height - d, d, d, 90.0f, 90.0f);
    path.CloseFigure();
    Gdiplus::SolidBrush brush(fill);
    g.FillPath(&brush, &path);
    Gdiplus::Pen pen(border, 1.0f);
    g.DrawPath(&pen, &path);
}

void KeyFuncCtrl::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width() - BAR_WIDTH, H = m_rcControl.Height();
    if (m_nAllHeight < H) m_nAllHeight = H;
    m_nOffset = picker::ScrollOffset(this, m_nAllHeight);
    if (W <= 0 || H <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, H);
        if (!m_hMemDC) return;
        picker::CopyBackground(m_hMemDC, dc, m_rcControl, W, H);
        ::SetBkMode(m_hMemDC, TRANSPARENT);
        Gdiplus::Graphics g(m_hMemDC);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
        Gdiplus::Font* font =
            family ? new Gdiplus::Font(family, 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel)
                   : nullptr;
        Gdiplus::StringFormat headerFormat;
        headerFormat.SetAlignment(Gdiplus::StringAlignmentNear);
        headerFormat.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        headerFormat.SetFormatFlags(0x1800);
        Gdiplus::SolidBrush brush(m_clrText);
        const Gdiplus::Color hover = Manager::GetHoverColor();
        const Gdiplus::Color normal = Manager::GetNormalColor();
        const Gdiplus::Color down = Manager::GetDownColor();

        CAutoLock lock(m_groupsLock);
        int y = -m_nOffset;
        for (size_t gi = 0; gi < m_groups.size(); ++gi) {
            ITEM_INFO* group = m_groups[gi];
            group->header = {0, y, W, y + HEADER_HEIGHT};
            if (group->expanded)
                DrawRoundRectange(g, 0.0f, static_cast<float>(y), static_cast<float>(W),
                                  static_cast<float>(BAR_HEIGHT), 6.0f, hover, hover);
            if (m_pArrow && m_nArrowWidth > 0)
                g.DrawImage(
                    m_pArrow,
                    Gdiplus::Rect(W - m_nArrowWidth - 10, y + 5, m_nArrowWidth, m_nArrowHeight),
                    (group->expanded ? 0 : 2) * m_nArrowWidth, 0, m_nArrowWidth, m_nArrowHeight,
                    Gdiplus::UnitPixel);
            if (font)
                GlyphFaces::DrawString(g, group->name, group->name.GetLength(), font,
                                       Gdiplus::RectF(10.0f, static_cast<Gdiplus::REAL>(y),
                                                      static_cast<Gdiplus::REAL>(W),
                                                      static_cast<Gdiplus::REAL>(BAR_HEIGHT)),
                                       &headerFormat, &brush);
            if (group->expanded) {
                group->tileAreaHeight = TILE_PITCH;
                int x = TILE_LEFT, rowTop = y + HEADER_HEIGHT;
                for (size_t i = 0; i < group->tiles.size(); ++i) {
                    KEYTILE_INFO* tile = group->tiles[i];
                    tile->rect = {x, rowTop, x + TILE_SIZE, rowTop + TILE_SIZE};
                    const bool lit =
                        tile->code == m_nPickedCode || (static_cast<int>(gi) == m_nHoverGroup &&
                                                        static_cast<int>(i) == m_nHoverTile);
                    DrawRoundRectange(g, static_cast<float>(x), static_cast<float>(rowTop),
                                      static_cast<float>(TILE_SIZE), static_cast<float>(TILE_SIZE),
                                      6.0f, lit ? down : hover, normal);
                    if (tile->icon)
                        g.DrawImage(tile->icon, Gdiplus::Rect(x + 15, rowTop + 15, 20, 20), 0, 0,
                                    20, 20, Gdiplus::UnitPixel);
                    else
                        picker::DrawKeyLabel(g, family, 12.0f, Gdiplus::FontStyleRegular,
                                             tile->label,
                                             Gdiplus::RectF(static_cast<Gdiplus::REAL>(x),
                                                            static_cast<Gdiplus::REAL>(rowTop),
                                                            static_cast<Gdiplus::REAL>(TILE_SIZE),
                                                            static_cast<Gdiplus::REAL>(TILE_SIZE)),
                                             m_clrText);
                    x += TILE_PITCH;
                    if (x > W - TILE_PITCH) {
                        x = TILE_LEFT;
                        rowTop += TILE_PITCH;
                        group->tileAreaHeight += TILE_PITCH;
                    }
                }
            }
            y += HEADER_HEIGHT + (group->expanded ? group->tileAreaHeight : 0);
        }
        delete font;
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, 0, SRCCOPY);
}

}  // namespace WEXA
