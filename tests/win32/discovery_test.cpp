// Client discovery against simulated clients: which processes count as clients, each client
// thread hooked once, the running check, and bounded reads of remote history records.
#include "capture/discovery_win.h"
#include "capture/hook_library_win.h"
#include "capture/window_tree_win.h"
#include "tests/support/fakeim_client.h"
#include "tests/support/windows.h"
#include "tests/win32/notify_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace parlix::test {
namespace {

bool Contains(std::span<const std::uint32_t> list, DWORD value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

class DiscoveryTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(lib_.Load()); }
    HookLibrary lib_;
    Win32WindowTree tree_;
    NotifyRecorder main_;
    TempDir dir_{L"parlix-discovery"};
};

TEST_F(DiscoveryTest, ClientThreadIsHookedOnceHoweverOftenTheSearchRuns) {
    auto qq = FakeIm::Launch(dir_.Path(), L"QQ.exe", {L"main|1", L"main|2"});
    ASSERT_NE(qq, nullptr);
    ClientDiscovery discovery(lib_, tree_);
    discovery.InitHooks();
    for (int i = 0; i < 3; ++i) discovery.FindClients(main_.Hwnd());
    EXPECT_EQ(std::count(discovery.HookedThreads().begin(), discovery.HookedThreads().end(), qq->Proc().MainThreadId()), 1);
    EXPECT_EQ(std::count(discovery.ImProcessIds().begin(), discovery.ImProcessIds().end(), qq->Pid()), 1);

    auto tm = FakeIm::Launch(dir_.Path(), L"TM.exe", {L"main|12"});
    ASSERT_NE(tm, nullptr);
    discovery.FindClients(main_.Hwnd());
    EXPECT_TRUE(Contains(discovery.ImProcessIds(), tm->Pid()));
    EXPECT_TRUE(Contains(discovery.HookedThreads(), tm->Proc().MainThreadId()));
}

TEST_F(DiscoveryTest, EveryClientMainWindowKindIsFound) {
    ClientDiscovery discovery(lib_, tree_);
    for (int rule = 1; rule <= 18; ++rule) {
        SCOPED_TRACE(rule);
        auto im = FakeIm::Launch(dir_.Path(), L"client" + std::to_wstring(rule) + L".exe", {L"main|" + std::to_wstring(rule)});
        ASSERT_NE(im, nullptr);
        discovery.FindClients(main_.Hwnd());
        EXPECT_TRUE(Contains(discovery.ImProcessIds(), im->Pid()));
    }
}

TEST_F(DiscoveryTest, LookAlikesAndOtherProgramsAreNoClients) {
    auto titled = FakeIm::Launch(dir_.Path(), L"QQ.exe", {L"main|titledchild"});
    auto wrongClass = FakeIm::Launch(dir_.Path(), L"FetionFx.exe", {L"main|fetionwrongclass"});
    auto plain = FakeIm::Launch(dir_.Path(), L"notaclient.exe", {L"open|dialog|与 张三 交谈中"});
    ASSERT_TRUE(titled && wrongClass && plain);
    ClientDiscovery discovery(lib_, tree_);
    discovery.FindClients(main_.Hwnd());
    EXPECT_FALSE(Contains(discovery.ImProcessIds(), titled->Pid()));
    EXPECT_FALSE(Contains(discovery.ImProcessIds(), wrongClass->Pid()));
    EXPECT_FALSE(Contains(discovery.ImProcessIds(), plain->Pid()));
}

TEST_F(DiscoveryTest, RunningCheckMatchesTheStartOfTheExecutableName) {
    auto qq = FakeIm::Launch(dir_.Path(), L"QQ.exe");
    auto fetion = FakeIm::Launch(dir_.Path(), L"FetionFx.exe");
    ASSERT_TRUE(qq && fetion);
    const struct {
        const wchar_t* configured;
        bool running;
    } cases[] = {
        {L"QQ.exe", true},      {L"qq.exe", true},       {L"QQ", true},  // a prefix counts
        {L"fetion.exe", true},  {L"FETION.EXE", true},   {L"FetionFx.exe", true},
        {L"TM.exe", false},     {L"QQ.exe.old", false},  {L"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsIMRunning(c.configured), c.running) << std::string(c.configured, c.configured + wcslen(c.configured));
    }
}

class RemoteTextTest : public testing::Test {
protected:
    void SetUp() override {
        im_ = FakeIm::Launch(dir_.Path(), L"QQ.exe");
        ASSERT_NE(im_, nullptr);
        chat_ = im_->Open(L"baidu", L"吴九");
        ASSERT_NE(chat_, nullptr);
        record_ = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(::GetPropW(chat_, L"ImHistoryRecord")));
        ASSERT_NE(record_, 0u);
        process_.reset(::OpenProcess(PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_VM_OPERATION |
                                         PROCESS_QUERY_INFORMATION,
                                     FALSE, im_->Pid()));
        ASSERT_TRUE(process_);
    }
    TempDir dir_{L"parlix-remote"};
    std::unique_ptr<FakeIm> im_;
    HWND chat_ = nullptr;
    std::uint32_t record_ = 0;
    ScopedHandle process_;
};

TEST_F(RemoteTextTest, LengthIsBytesHalvedAndTextIsTheRecordsCharacters) {
    ASSERT_EQ(im_->Command(L"append|" + HwndArg(chat_) + L"|图{pic}片"), 1);
    const auto length = RemoteTextLength(process_.get(), record_);
    ASSERT_TRUE(length.has_value());
    const auto text = ReadRemoteText(process_.get(), record_, *length);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(static_cast<std::int32_t>(text->size()), *length);
    EXPECT_TRUE(text->ends_with(L"图\xFFFC片"));
}

TEST_F(RemoteTextTest, RecordClaimingHugeLengthIsRejected) {
    const std::uint32_t huge = 0x80000000u;
    SIZE_T written = 0;
    ASSERT_TRUE(::WriteProcessMemory(process_.get(), reinterpret_cast<void*>(static_cast<std::uintptr_t>(record_ + 8)),
                                     &huge, sizeof huge, &written));
    EXPECT_EQ(RemoteTextLength(process_.get(), record_), std::nullopt);
    EXPECT_EQ(ReadRemoteText(process_.get(), record_, 0x40000000), std::nullopt);
    EXPECT_EQ(ReadRemoteText(process_.get(), record_, -1), std::nullopt);
}

TEST_F(RemoteTextTest, BadAddressesAndDeadProcessesReadNothing) {
    EXPECT_EQ(RemoteTextLength(process_.get(), 0), std::nullopt);
    EXPECT_EQ(RemoteTextLength(process_.get(), 0x10), std::nullopt);
    EXPECT_EQ(RemoteTextLength(process_.get(), 0xFFFFFFFCu), std::nullopt);
    EXPECT_EQ(ReadRemoteText(process_.get(), 0x10, 4), std::nullopt);
    EXPECT_EQ(RemoteTextLength(nullptr, record_), std::nullopt);

    im_->Command(L"crash");
    ASSERT_TRUE(im_->Proc().Wait(kPatience));
    EXPECT_EQ(RemoteTextLength(process_.get(), record_), std::nullopt);
    EXPECT_EQ(ReadRemoteText(process_.get(), record_, 4), std::nullopt);
}

}  // namespace
}  // namespace parlix::test
