// The Windows window's own rules that need no window: what the folder label
// shows, and the layout its keyboard order and pixels depend on.

#include "layout.h"
#include "main_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace konversi::win32 {
namespace {

TEST(FolderText, ShortensOnlyFoldersLongerThan35Characters)
{
    const std::wstring folder35 = L"C:\\" + std::wstring(31, L'a') + L"\\";
    const std::wstring folder36 = L"C:\\b" + std::wstring(31, L'a') + L"\\";
    const std::wstring share = L"\\\\server\\" + std::wstring(40, L'x') + L"\\";
    const struct {
        std::wstring folder, shown;
    } rows[] = {
        {L"C:\\data\\", L"C:\\data\\"},
        {folder35, folder35},
        {folder36, L"C:\\..." + folder36.substr(1)},
        // The first three characters, whatever they are.
        {share, L"\\\\s..." + share.substr(share.size() - 35)},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(folderText(row.folder + L"peta.txt", row.folder), row.shown)
            << std::string(row.folder.begin(), row.folder.end());
    }
}

// The controls are created in the table's order, which is also the order Tab
// moves in: the buttons and the radio group must come first, in this order.
TEST(Layout, FocusableControlsLeadTheTableInKeyboardOrder)
{
    std::vector<ControlId> order;
    bool labelSeen = false;
    for (const ControlLayout& layout : controls()) {
        if (layout.kind == Kind::Label) {
            labelSeen = true;
            continue;
        }
        EXPECT_FALSE(labelSeen) << "a label stands before control " << layout.id;
        order.push_back(layout.id);
    }
    EXPECT_EQ(order, (std::vector<ControlId>{Command1, Command2, Command3, Option1, Option2,
                                             Option3, Option4}));
}

TEST(Layout, EveryControlLiesOnWholePixelsInsideTheClientArea)
{
    EXPECT_EQ(kClientWidth, 321);
    EXPECT_EQ(kClientHeight, 198);
    for (const ControlLayout& layout : controls()) {
        for (int twips : {layout.left, layout.top, layout.width, layout.height}) {
            EXPECT_EQ(twips % kTwipsPerPixel, 0) << "control " << layout.id;
        }
        const RECT rect = layout.pixelRect();
        EXPECT_LE(rect.right, kClientWidth) << "control " << layout.id;
        EXPECT_LE(rect.bottom, kClientHeight) << "control " << layout.id;
    }
}

}  // namespace
}  // namespace konversi::win32
