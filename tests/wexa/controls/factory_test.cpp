// Every class name these controls answer to builds the right class through
// both factories (the dialog's engine and a panel), with the class name the
// group rule compares; names of classes not built give null.
#include <cwchar>
#include <functional>

#include "CArea.h"
#include "CCheckButton.h"
#include "CColorButton.h"
#include "CIconButton.h"
#include "CSwitchButton.h"
#include "CTextButton.h"
#include "CTimerButton.h"
#include "ControlRegistry.h"
#include "ControlsTestSupport.h"
#include "MButton.h"
#include "MEdit.h"
#include "MPanel.h"

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
    for (const wchar_t* name :
         {L"RadioButton", L"ColorButton", L"IconButton", L"medit", L"MButton ", L"CArea2", L""}) {
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
