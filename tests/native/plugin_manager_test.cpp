// The plugin manager's rules over a fake system: names and paths, the plugin list, which plugins
// get connected and in what order, installation on demand, and which failures are reported.
#include "settings/plugin_manager.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace parlix {
namespace {

using Log = std::vector<std::wstring>;

class FakePlugin final : public PluginObject {
public:
    FakePlugin(std::wstring name, Log& log, bool failConnect) : name_(std::move(name)), log_(log), fail_(failConnect) {}
    void OnConnection() override {
        log_.push_back(name_ + L".OnConnection");
        if (fail_) throw PluginCallError(-2147467259, "connect failed");
    }
    void OnDisconnection() override { log_.push_back(name_ + L".OnDisconnection"); }

private:
    std::wstring name_;
    Log& log_;
    bool fail_;
};

class FakeSystem final : public PluginSystem {
public:
    void SetCurrentDirectory(std::wstring_view dir) override {
        if (!existingDirs.contains(std::wstring(dir))) throw PluginCallError(76, "path not found");
        current = dir;
    }
    std::vector<std::wstring> ListDlls() override {
        log.push_back(L"list " + current);
        return current == dir ? files : std::vector<std::wstring>{L"Nexcor.dll", L"Parlix.dll"};
    }
    bool FileExists(std::wstring_view path) override {
        for (const auto& f : files)
            if (dir + f == path) return true;
        return false;
    }
    void RunRegsvr32(std::wstring_view arguments) override {
        log.push_back(L"regsvr32 " + std::wstring(arguments));
        // Registration takes effect for every class whose file was registered.
        for (const auto& f : files)
            if (arguments == RegisterArguments(dir + f) && !broken.contains(f))
                registered.insert(PluginProgId(PluginNameOf(f)));
    }
    PluginRef Create(std::wstring_view progId) override {
        log.push_back(L"create " + std::wstring(progId));
        if (!registered.contains(std::wstring(progId))) return nullptr;
        const std::wstring name(progId.substr(progId.find(L'.') + 1));
        return std::make_shared<FakePlugin>(name, log, failing.contains(name));
    }

    std::wstring dir = L"C:\\P\\Plugins\\";
    std::set<std::wstring> existingDirs{L"C:\\P\\Plugins\\"};
    std::wstring current = L"C:\\P\\";
    std::vector<std::wstring> files;
    std::set<std::wstring> registered;
    std::set<std::wstring> failing;
    std::set<std::wstring> broken;  // files whose registration does not take
    Log log;
};

class FakeIni final : public IniSource, public IniSink {
public:
    std::wstring Read(std::wstring_view section, std::wstring_view key, std::wstring_view def) override {
        const auto it = values.find(std::wstring(section) + L"/" + std::wstring(key));
        return it == values.end() ? std::wstring(def) : it->second;
    }
    void Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) override {
        values[std::wstring(section) + L"/" + std::wstring(key)] = value;
    }
    void Enable(const std::wstring& name, const std::wstring& value = L"True") { values[L"Plugin/" + name] = value; }
    std::map<std::wstring, std::wstring> values;
};

class PluginManagerTest : public ::testing::Test {
protected:
    PluginManager manager{system, ini, ini, L"C:\\P", [this](std::wstring_view procedure, long) {
                              reports.emplace_back(procedure);
                          }};

    // Only the calls into plugin objects, in order.
    [[nodiscard]] Log PluginCalls() const {
        Log calls;
        for (const auto& e : system.log)
            if (e.find(L".On") != std::wstring::npos) calls.push_back(e);
        return calls;
    }
    [[nodiscard]] std::vector<std::wstring> ListedNames() const {
        std::vector<std::wstring> names;
        for (const auto& n : manager.Plugins().Nodes()) names.push_back(n.name);
        return names;
    }

    FakeSystem system;
    FakeIni ini;
    std::vector<std::wstring> reports;
};

TEST(PluginNames, DirectoryNameProgIdAndCommandLines) {
    struct Case {
        std::wstring_view programDir, dir;
    } dirs[] = {{L"C:\\Parlix", L"C:\\Parlix\\Plugins\\"}, {L"C:\\", L"C:\\Plugins\\"}};
    for (const auto& c : dirs) EXPECT_EQ(PluginDirectory(c.programDir), c.dir);

    struct NameCase {
        std::wstring_view file, name;
    } names[] = {{L"Murmelo.dll", L"Murmelo"}, {L"Skribel.DLL", L"Skribel"}, {L"a.b.dll", L"a.b"}, {L".dll", L""}};
    for (const auto& c : names) EXPECT_EQ(PluginNameOf(c.file), c.name) << std::wstring(c.file);

    EXPECT_EQ(PluginProgId(L"Murmelo"), L"MurmeloProject.Murmelo");
    EXPECT_EQ(RegisterArguments(L"C:\\a b\\X.dll"), L"/s \"C:\\a b\\X.dll\"");
    EXPECT_EQ(UnregisterArguments(L"C:\\X.dll"), L"/u /s \"C:\\X.dll\"");
}

TEST(PluginCollectionTest, KeepsOrderAndDuplicatesFindsFirstExactName) {
    PluginCollection list;
    Log log;
    auto a = std::make_shared<FakePlugin>(L"a", log, false);
    auto b = std::make_shared<FakePlugin>(L"b", log, false);
    auto a2 = std::make_shared<FakePlugin>(L"a2", log, false);
    list.InsertNode(a, L"A");
    list.InsertNode(b, L"B");
    list.InsertNode(a2, L"A");
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.FindNode(L"A"), a);
    EXPECT_EQ(list.FindNode(L"a"), nullptr);  // case-sensitive
    list.DelNode(L"A");
    EXPECT_EQ(list.FindNode(L"A"), a2);
    list.DelNode(L"missing");
    EXPECT_EQ(list.count(), 2);
    list.Clear();
    EXPECT_EQ(list.FindNode(L"B"), nullptr);
    EXPECT_EQ(b.use_count(), 1);  // the list let go of its references
}

TEST_F(PluginManagerTest, ConnectsEnabledPluginsInListingOrderOnly) {
    system.files = {L"Zed.dll", L"Alpha.DLL", L"Off.dll", L"NoKey.dll"};
    system.registered = {L"ZedProject.Zed", L"AlphaProject.Alpha", L"OffProject.Off", L"NoKeyProject.NoKey"};
    ini.Enable(L"Zed");
    ini.Enable(L"Alpha", L"1");
    ini.Enable(L"Off", L"False");
    manager.ConnectPlugins();
    EXPECT_EQ(ListedNames(), (std::vector<std::wstring>{L"Zed", L"Alpha"}));
    EXPECT_EQ(PluginCalls(), (Log{L"Zed.OnConnection", L"Alpha.OnConnection"}));
    EXPECT_EQ(system.current, system.dir);  // stays in the plugin folder
    EXPECT_TRUE(reports.empty());
    // Listed whatever their state.
    EXPECT_EQ(manager.EnumPlugins(), (std::vector<std::wstring>{L"Zed", L"Alpha", L"Off", L"NoKey"}));
}

TEST_F(PluginManagerTest, UnregisteredEnabledPluginIsInstalledThenConnected) {
    system.files = {L"New.dll"};
    ini.Enable(L"New");
    manager.ConnectPlugins();
    EXPECT_EQ(system.log, (Log{L"list C:\\P\\Plugins\\", L"create NewProject.New",
                               L"regsvr32 /s \"C:\\P\\Plugins\\New.dll\"", L"create NewProject.New",
                               L"create NewProject.New", L"New.OnConnection"}));
    EXPECT_EQ(ListedNames(), (std::vector<std::wstring>{L"New"}));
}

TEST_F(PluginManagerTest, PluginThatCannotBeCreatedIsSkippedSilently) {
    system.files = {L"A.dll", L"B.dll"};
    system.registered = {L"AProject.A"};
    system.broken = {L"B.dll"};
    ini.Enable(L"A");
    ini.Enable(L"B");
    manager.ConnectPlugins();
    EXPECT_EQ(ListedNames(), (std::vector<std::wstring>{L"A"}));
    EXPECT_EQ(PluginCalls(), (Log{L"A.OnConnection"}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(PluginManagerTest, FailingOnConnectionAtStartUpIsSilentAndTheNextPluginStillConnects) {
    system.files = {L"Bad.dll", L"Good.dll"};
    system.registered = {L"BadProject.Bad", L"GoodProject.Good"};
    system.failing = {L"Bad"};
    ini.Enable(L"Bad");
    ini.Enable(L"Good");
    manager.ConnectPlugins();
    EXPECT_EQ(PluginCalls(), (Log{L"Bad.OnConnection", L"Good.OnConnection"}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(PluginManagerTest, NonBooleanFlagIsReportedOnlyBeforeTheFirstEnabledPluginAndCountsAsEnabled) {
    system.files = {L"X.dll", L"Y.dll"};
    system.registered = {L"XProject.X", L"YProject.Y"};
    ini.Enable(L"X", L"yes");
    ini.Enable(L"Y", L"maybe");
    manager.ConnectPlugins();
    EXPECT_EQ(reports, (std::vector<std::wstring>{L"ConnectPlugins"}));
    EXPECT_EQ(ListedNames(), (std::vector<std::wstring>{L"X", L"Y"}));
}

TEST_F(PluginManagerTest, MissingPluginFolderIsReportedOnceAndNothingElseIsListed) {
    system.existingDirs.clear();
    system.files = {L"A.dll"};
    manager.ConnectPlugins();
    EXPECT_TRUE(manager.EnumPlugins().empty());
    EXPECT_EQ(reports, (std::vector<std::wstring>{L"ConnectPlugins", L"EnumPlugins"}));
    EXPECT_EQ(manager.Plugins().count(), 0);
}

TEST_F(PluginManagerTest, LoadPluginTwiceCreatesOnceAndUnloadDisconnectsAndDelists) {
    system.files = {L"A.dll"};
    system.registered = {L"AProject.A"};
    manager.LoadPlugin(L"A");
    manager.LoadPlugin(L"A");
    EXPECT_EQ(manager.Plugins().count(), 1);
    manager.UnloadPlugin(L"A");
    EXPECT_EQ(PluginCalls(), (Log{L"A.OnConnection", L"A.OnDisconnection"}));
    EXPECT_EQ(manager.FindNode(L"A"), nullptr);
    EXPECT_TRUE(reports.empty());
}

TEST_F(PluginManagerTest, FailuresOfTheDialogsActionsAreReportedOnceEach) {
    system.registered = {L"BadProject.Bad"};
    system.failing = {L"Bad"};
    manager.LoadPlugin(L"Missing");  // cannot be created: reported, nothing listed
    EXPECT_EQ(manager.Plugins().count(), 0);
    manager.LoadPlugin(L"Bad");      // OnConnection fails: reported, stays listed
    EXPECT_EQ(manager.Plugins().count(), 1);
    manager.UnloadPlugin(L"Nobody");  // not listed: the failed call is reported, list unchanged
    EXPECT_EQ(manager.Plugins().count(), 1);
    EXPECT_EQ(reports, (std::vector<std::wstring>{L"LoadPlugin", L"LoadPlugin", L"UnloadPlugin"}));
}

TEST_F(PluginManagerTest, EnabledFlagReadsFalseByDefaultAndWritesTrueFalse) {
    EXPECT_FALSE(manager.GetPluginEnabled(L"A"));
    manager.SetPluginEnabled(L"A", true);
    EXPECT_EQ(ini.values[L"Plugin/A"], L"True");
    EXPECT_TRUE(manager.GetPluginEnabled(L"A"));
    manager.SetPluginEnabled(L"A", false);
    EXPECT_EQ(ini.values[L"Plugin/A"], L"False");
    ini.Enable(L"A", L"x");
    EXPECT_THROW((void)manager.GetPluginEnabled(L"A"), std::exception);
}

}  // namespace
}  // namespace parlix
