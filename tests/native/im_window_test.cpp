#include "contract/im_window.h"

#include <gtest/gtest.h>

namespace parlix {
namespace {

TEST(IMWindowRecord, NewRecordIsZeroEmptyAndFalseEverywhere) {
    const IMWindow w;
    EXPECT_EQ(w.hWnd | w.ChatHwnd | w.SayHwnd | w.SendHwnd, 0u);
    EXPECT_FALSE(w.IsGroup);
    EXPECT_FALSE(w.Locked);
    EXPECT_EQ(static_cast<int>(w.Version), 0);
    EXPECT_TRUE(w.Title.empty());
    EXPECT_TRUE(w.Caption.empty());
    for (std::int32_t v : {w.TabColor, w.X, w.Y, w.W, w.H, w.OrgW, w.OrgH, w.MsgNum, w.hDC, w.hBMP, w.Msg,
                           w.WinLong, w.ExStyle})
        EXPECT_EQ(v, 0);
}

TEST(IMVersion, EveryVersionBelongsToExactlyOneFamily) {
    enum Family { Dialog, QQ2009, Baidu, Fetion };
    // Values 0..20 in order: TM..QQ2008 are the dialog family, then QQ2009, BaiduHI, eight Fetion
    // versions and the AliWangWang versions, which fall back to the dialog family.
    const Family expected[21] = {Dialog, Dialog, Dialog, Dialog, Dialog, Dialog, Dialog,
                                 Dialog, QQ2009, Baidu,  Fetion, Fetion, Fetion, Fetion,
                                 Fetion, Fetion, Fetion, Fetion, Dialog, Dialog, Dialog};
    for (int n = 0; n < 21; ++n) {
        const auto v = static_cast<IM_VERSION>(n);
        const bool families[] = {IsDialogFamily(v), IsQQ2009(v), IsBaiduHi(v), IsFetion(v)};
        for (int f = 0; f < 4; ++f)
            EXPECT_EQ(families[f], f == expected[n]) << "version " << n << " family " << f;
    }
    static_assert(static_cast<int>(IM_VERSION::AliWangWang_2009) == 20);
}

} // namespace
} // namespace parlix
