// Every class name these controls answer to builds the right class through
// both factories (the dialog's engine and a panel), with the class name the
// group rule compares; names of classes not built give null.
#include <cwchar>
#include <functional>

#include "CArea.h"
#include "CCheckButton.h"
#include "CColorButton.h"
#include "CColorPalette.h"
#include "CIconButton.h"
#include "CSwitchButton.h"
#include "CTextButton.h"
#include "CTimerButton.h"
#include "CirclePalette.h"
#include "ColorView.h"
#include "ControlRegistry.h"
#include "ControlsTestSupport.h"
#include "MButton.h"
#include "MComboBox.h"
#include "MEdit.h"
#include "MLevelCtrl.h"
#include "MListBoxEx.h"
#include "MPalette.h"
#include "MPanel.h"
#include "MPicture.h"
#include "MRichEdit.h"
#include "MSlider.h"
#include "MSpinButton.h"
#include "MTabCtrl.h"
#include "MText.h"
#include "MenuItem.h"

using namespace WEXA;
using ctltest::RecordingDialog;

namespace {

struct Expect
{
    const wchar_t* name;
    std::function<bool(MControl*)> isRightClass;
    const wchar_t* className;  // GetClassNameW
    bool engine;               // the dialog's factory knows the name
    bool panel;                // the panel's factory knows it
};

template <class T>
std::function<bool(MControl*)> Is()
{
    return [](MControl* c) { return dynamic_cast<T*>(c) != nullptr; };
}

const Expect kClasses[] = {
    {L"CArea", Is<CArea>(), L"MControl", true, true},
    {L"CRoundArea", Is<CRoundArea>(), L"MControl", true, true},
    {L"MButton", Is<MButton>(), L"MControl", true, true},
    {L"CImageButton", Is<CImageButton>(), L"MControl", true, true},
    {L"MButton3", Is<MButton3>(), L"MControl", false, true},
    {L"CHelpButton", Is<CHelpButton>(), L"MControl", true, true},
    {L"CCheckButton", Is<CCheckButton>(), L"MControl", true, true},
    {L"CRadioButton", Is<CRadioButton>(), L"RadioButton", true, true},
    {L"KeyLayerButton", Is<KeyLayerButton>(), L"KeyLayerButton", false, true},
    {L"CSelectButton", Is<CSelectButton>(), L"CSelectButton", true, true},
    {L"CColorButton", Is<CColorButton>(), L"ColorButton", true, true},
    {L"CIconButton", Is<CIconButton>(), L"IconButton", true, true},
    {L"CTextButton", Is<CTextButton>(), L"MControl", true, true},
    {L"UpgradeButton", Is<UpgradeButton>(), L"MControl", false, true},
    {L"DownloadButton", Is<DownloadButton>(), L"MControl", false, true},
    {L"CSwitchButton", Is<CSwitchButton>(), L"MControl", true, true},
    {L"CTimerButton", Is<CTimerButton>(), L"MControl", true, true},
    {L"TextCheckButton", Is<TextCheckButton>(), L"MControl", true, false},
    {L"MEdit", Is<MEdit>(), L"MControl", true, true},
    // Lists, menu entries, value displays, the combo family, colours, pictures.
    {L"MListBoxEx", Is<MListBoxEx>(), L"MControl", false, true},
    {L"MenuItem", Is<MenuItem>(), L"MenuItem", true, true},
    {L"MLevelCtrl", Is<MLevelCtrl>(), L"MControl", true, true},
    {L"MProgress", Is<MProgress>(), L"MControl", true, true},
    {L"ColorView", Is<ColorView>(), L"MControl", false, true},
    {L"MComboBox", Is<MComboBox>(), L"MControl", true, true},
    {L"CComboBoxList", Is<CComboBoxList>(), L"MControl", true, false},
    {L"MPalette", Is<MPalette>(), L"MControl", true, true},
    {L"CColorPalette", Is<CColorPalette>(), L"MControl", true, true},
    {L"CColorSelect", Is<CColorSelect>(), L"MControl", true, true},
    {L"CirclePalette", Is<CirclePalette>(), L"MControl", true, true},
    {L"MPicture", Is<MPicture>(), L"MControl", true, true},
    {L"CPhotoFrame", Is<CPhotoFrame>(), L"MControl", true, true},
    {L"CSliderPicture", Is<CSliderPicture>(), L"MControl", true, true},
    {L"CGifPicture", Is<CGifPicture>(), L"MControl", true, true},
    // Rich edit fields.
    {L"MRichEdit", Is<MRichEdit>(), L"MRichEdit", true, true},
    {L"MEditEx", Is<MEditEx>(), L"MEditEx", true, true},
    {L"CSpinButton", Is<CSpinButton>(), L"CSpinButton", true, true},
    // Navigation and numeric controls, labels.
    {L"MTabCtrl", Is<MTabCtrl>(), L"MTabCtrl", true, true},
    {L"MTabLayout", Is<MTabLayout>(), L"MTabLayout", true, true},
    {L"MSlider", Is<MSlider>(), L"MSlider", true, true},
    {L"MSpinButton", Is<MSpinButton>(), L"MSpinButton", true, true},
    {L"MText", Is<MText>(), L"MText", true, true},
};

class FactoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(dialog.Create(nullptr, L"factory", WS_POPUP, 0, CRect(0, 0, 300, 200)), nullptr);
        panel = static_cast<MPanel*>(
            dialog.CreateControl(L"MTabLayout", 500, CRect(0, 0, 300, 200), L"", 1, 1));
        if (!panel) {
            panel = new MPanel(&dialog, 500, CRect(0, 0, 300, 200), 1);
            panel->SetManager(dialog.GetPaintManager());
            ownPanel = true;
        }
    }
    void TearDown() override
    {
        if (ownPanel) delete panel;
        dialog.DestroyWindow();
    }
    RecordingDialog dialog;
    MPanel* panel = nullptr;
    bool ownPanel = false;
};

}  // namespace

TEST_F(FactoryTest, EveryNameBuildsItsClassInTheFactoriesThatKnowIt)
{
    UINT id = 10;
    for (const Expect& e : kClasses) {
        SCOPED_TRACE(testing::Message() << "class " << std::wstring(e.name).c_str());
        ASSERT_NE(FindControlClass(e.name), nullptr);
        MControl* made = dialog.CreateControl(e.name, ++id, CRect(1, 2, 41, 22), L"T", 1, 0);
        if (e.engine) {
            ASSERT_NE(made, nullptr);
            EXPECT_TRUE(e.isRightClass(made));
            EXPECT_STREQ(made->GetClassNameW(), e.className);
            EXPECT_TRUE(made->IsClass(e.className));
            EXPECT_EQ(made->GetManager(), dialog.GetPaintManager());
            EXPECT_EQ(made->GetParantObject(), &dialog);
            EXPECT_EQ(made->GetRect(), CRect(1, 2, 41, 22));
        } else {
            EXPECT_EQ(made, nullptr);
        }
        made = panel->CreateControl(e.name, ++id, CRect(1, 2, 41, 22), L"T", 1, 0);
        if (e.panel) {
            ASSERT_NE(made, nullptr);
            EXPECT_TRUE(e.isRightClass(made));
            EXPECT_STREQ(made->GetClassNameW(), e.className);
            EXPECT_EQ(made->GetParantObject(), panel);
        } else {
            EXPECT_EQ(made, nullptr);
        }
    }
}

TEST_F(FactoryTest, ArgumentsReachTheConstructors)
{
    // Buttons take the title and the enabled flag; areas and swatches neither.
    auto* button =
        dynamic_cast<MButton*>(dialog.CreateControl(L"MButton", 1, CRect(), L"OK", 1, 0));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetTitle(), CString(L"OK"));
    EXPECT_EQ(button->IsEnabled(), 0);
    auto* area = dynamic_cast<CArea*>(dialog.CreateArea(L"CArea", 2, CRect(), L"x", 1, 0));
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->IsEnabled(), 1);
    auto* edit = dynamic_cast<MEdit*>(dialog.CreateControl(L"MEdit", 3, CRect(), L"hint", 1, 1));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->m_strTipInfo, CString(L"hint"));  // the text is the placeholder
    EXPECT_TRUE(edit->GetTitleEx().IsEmpty());
    // "(title, visible, 1)" in the panel: enabled forced on.
    auto* layer = dynamic_cast<KeyLayerButton*>(
        panel->CreateControl(L"KeyLayerButton", 4, CRect(), L"Fn1", 1, 0));
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->IsEnabled(), 1);
    EXPECT_EQ(layer->GetGroupName(), CString(L"KeyLayerButton"));
    auto* swatch = dynamic_cast<CColorButton*>(
        panel->CreateControl(L"CColorButton", 5, CRect(), L"ignored", 1, 1));
    ASSERT_NE(swatch, nullptr);
    EXPECT_TRUE(swatch->GetTitle().IsEmpty());
}

TEST_F(FactoryTest, NamesOfClassesNotBuiltGiveNull)
{
    // The class names of these controls as GetClassNameW reports them are not
    // factory names; nor are near misses.
    // Classes made only with new (the colour swatch face, the logon field,
    // the drop-down window) have no factory name either.
    for (const wchar_t* name :
         {L"RadioButton", L"ColorButton", L"IconButton", L"medit", L"MButton ", L"CArea2", L"",
          L"CColorCombo", L"CLogonEdit", L"CComboBoxWnd", L"MTabCtrl ", L"mtext"}) {
        EXPECT_EQ(dialog.CreateControl(name, 1, CRect(), L"", 1, 1), nullptr);
        EXPECT_EQ(panel->CreateControl(name, 1, CRect(), L"", 1, 1), nullptr);
    }
    // Listed names of classes that have not registered create nothing.
    for (const wchar_t* name : {L"MEditEx", L"MRichEdit", L"MComboBox", L"MenuItem", L"MText",
                                L"MProgress", L"KeyboardCtrl", L"MatrixScreen"}) {
        if (FindControlClass(name)) continue;
        EXPECT_EQ(dialog.CreateControl(name, 1, CRect(), L"", 1, 1), nullptr);
        EXPECT_EQ(panel->CreateControl(name, 1, CRect(), L"", 1, 1), nullptr);
    }
}
