#include "capture/tab_registry.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace parlix {
namespace {

// Counts what the fake resources release, per surface id.
struct Ledger {
    int created = 0;
    std::map<HandleValue, int> surfacesReleased;
    std::vector<HandleValue> processesClosed;
};

// Shared with the resources so that nodes outliving their registry can still report.
class FakeResources final : public NodeResources {
  public:
    FakeResources(std::shared_ptr<Ledger> ledger, HandleValue id) : ledger_(std::move(ledger)), id_(id) {}
    ~FakeResources() override {
        ++ledger_->surfacesReleased[id_];
        if (process_) ledger_->processesClosed.push_back(process_);
    }
    HandleValue IconDc() const noexcept override { return id_; }
    HandleValue IconBitmap() const noexcept override { return id_ + 1000; }
    void AdoptProcess(HandleValue process) noexcept override {
        if (process_) ledger_->processesClosed.push_back(process_);
        process_ = process;
    }
    HandleValue Process() const noexcept override { return process_; }

  private:
    std::shared_ptr<Ledger> ledger_;
    HandleValue id_;
    HandleValue process_ = 0;
};

class FakeFactory final : public NodeResourceFactory {
  public:
    std::unique_ptr<NodeResources> Create() override {
        ++ledger->created;
        return std::make_unique<FakeResources>(ledger, static_cast<HandleValue>(ledger->created));
    }
    std::shared_ptr<Ledger> ledger = std::make_shared<Ledger>();
};

// A registry filled with nodes titled by the letters of `titles`.
struct Filled {
    explicit Filled(const std::wstring& titles) {
        for (wchar_t c : titles) {
            auto node = registry.CreateNode();
            node->window.Title = std::wstring(1, c);
            EXPECT_TRUE(registry.InsertNode(node));
        }
    }
    std::wstring Order() const {
        std::wstring order;
        for (const auto& node : registry.Nodes())
            order += node->window.Title;
        return order;
    }
    std::wstring TitleAt(int pos) const {
        const auto node = registry.GetNode(pos);
        return node->IsHead() ? L"head" : node->window.Title;
    }
    FakeFactory factory;
    TabRegistry registry{factory};
};

struct Move {
    int src, dest;
    const wchar_t* expected;
    friend void PrintTo(const Move& m, std::ostream* os) {
        *os << "MoveNode(" << m.src << ", " << m.dest << ")";
    }
};

class MoveNodeExamples : public testing::TestWithParam<Move> {};

TEST_P(MoveNodeExamples, PlacesTheNodeBetweenTheFormerNeighboursOfDest) {
    const Move m = GetParam();
    Filled f(L"ABCD");
    EXPECT_TRUE(f.registry.MoveNode(m.src, m.dest));
    EXPECT_EQ(f.Order(), m.expected);
    EXPECT_EQ(f.registry.count(), 4);
}

INSTANTIATE_TEST_SUITE_P(Cases, MoveNodeExamples,
                         testing::Values(Move{1, 4, L"BCAD"},   // to the right: ends at Dest - 1
                                         Move{4, 1, L"DABC"},   // to the left: ends at Dest
                                         Move{1, 5, L"BCDA"},   // count + 1: behind the last tab
                                         Move{2, 1, L"BACD"},   // swap of neighbours, leftwards
                                         Move{2, 4, L"ACBD"},   // swap of neighbours, rightwards
                                         Move{4, 3, L"ABDC"},   // the last node one step left
                                         Move{3, 5, L"ABDC"})); // same order reached from the right

// The rule stated as the tab strip sees it: take the node out and put it back right after the
// node that stood at Dest - 1 before the move (at the front when Dest is 1).
std::wstring ReferenceMove(std::wstring order, int src, int dest) {
    const wchar_t moved = order[static_cast<size_t>(src - 1)];
    const wchar_t anchor = dest == 1 ? L'\0' : order[static_cast<size_t>(dest - 2)];
    order.erase(static_cast<size_t>(src - 1), 1);
    const size_t at = anchor == L'\0' ? 0 : order.find(anchor) + 1;
    order.insert(at, 1, moved);
    return order;
}

TEST(MoveNode, EveryLegalMoveOnFourNodesFollowsTheReferenceAndLandsWhereTheRuleSays) {
    int moves = 0;
    for (int src = 1; src <= 4; ++src) {
        for (int dest = 1; dest <= 5; ++dest) {
            if (dest == src || dest == src + 1) continue;
            Filled f(L"ABCD");
            const std::wstring moved(1, f.Order()[static_cast<size_t>(src - 1)]);
            ASSERT_TRUE(f.registry.MoveNode(src, dest)) << src << "->" << dest;
            EXPECT_EQ(f.Order(), ReferenceMove(L"ABCD", src, dest)) << src << "->" << dest;
            EXPECT_EQ(f.TitleAt(dest < src ? dest : dest - 1), moved) << src << "->" << dest;
            ++moves;
        }
    }
    EXPECT_EQ(moves, 12); // 4 sources x 5 destinations, less the 8 that would change nothing
}

TEST(MoveNode, RefusesMovesThatChangeNothingOrLeaveTheList) {
    const std::pair<int, int> refused[] = {{2, 2}, {2, 3},  {4, 5},   // Dest = src or src + 1
                                           {0, 2}, {-1, 2}, {5, 1},   // no node at src
                                           {3, 0}, {1, 6},  {1, -3}}; // Dest outside 1 .. count + 1
    for (const auto& [src, dest] : refused) {
        Filled f(L"ABCD");
        EXPECT_FALSE(f.registry.MoveNode(src, dest)) << src << "->" << dest;
        EXPECT_EQ(f.Order(), L"ABCD");
    }
    Filled empty(L"");
    EXPECT_FALSE(empty.registry.MoveNode(1, 2));
}

TEST(GetNode, ClampsToTheHeadBelowOneAndToTheLastNodeBeyondTheEnd) {
    Filled f(L"ABC");
    const std::pair<int, const wchar_t*> cases[] = {{-1, L"head"}, {0, L"head"}, {1, L"A"}, {2, L"B"},
                                                    {3, L"C"},     {4, L"C"},    {8, L"C"}};
    for (const auto& [pos, title] : cases)
        EXPECT_EQ(f.TitleAt(pos), title) << "pos " << pos;
    EXPECT_EQ(f.registry.GetNode(0), f.registry.GetNode(-7)); // one head
}

TEST(EmptyRegistry, AnswersTheHeadEverywhereAndHasNothingToRemove) {
    Filled f(L"");
    for (int pos : {0, 1, 5})
        EXPECT_TRUE(f.registry.GetNode(pos)->IsHead()) << "pos " << pos;
    EXPECT_EQ(f.registry.DelNode(1), nullptr);
    EXPECT_EQ(f.registry.count(), 0);
}

struct Deletion {
    int pos;
    const wchar_t* remaining;
    const wchar_t* removed; // empty when nothing is removed
    friend void PrintTo(const Deletion& d, std::ostream* os) { *os << "DelNode(" << d.pos << ")"; }
};

class DelNodeTable : public testing::TestWithParam<Deletion> {};

TEST_P(DelNodeTable, RemovesOneNodeAndKeepsTheOthersInOrder) {
    const Deletion d = GetParam();
    Filled f(L"ABCD");
    const auto removed = f.registry.DelNode(d.pos);
    EXPECT_EQ(removed ? removed->window.Title : L"", d.removed);
    EXPECT_EQ(f.Order(), d.remaining);
    EXPECT_EQ(f.registry.count(), static_cast<int>(std::wstring(d.remaining).size()));
    // The new end is where GetNode stops.
    EXPECT_EQ(f.TitleAt(f.registry.count() + 1), std::wstring(1, d.remaining[f.registry.count() - 1]));
}

INSTANTIATE_TEST_SUITE_P(Cases, DelNodeTable,
                         testing::Values(Deletion{0, L"ABCD", L""}, // the head is never removed
                                         Deletion{-2, L"ABCD", L""}, Deletion{1, L"BCD", L"A"}, // first
                                         Deletion{2, L"ACD", L"B"},                             // middle
                                         Deletion{4, L"ABC", L"D"},                             // last
                                         Deletion{9, L"ABC", L"D"})); // beyond the end means the last

TEST(InsertNode, AppendsFreshNodesOnlyAndCountsThem) {
    Filled f(L"AB");
    auto c = f.registry.CreateNode();
    c->window.Title = L"C";
    EXPECT_EQ(f.registry.count(), 2); // created is not yet inserted
    EXPECT_TRUE(f.registry.InsertNode(c));
    EXPECT_EQ(f.registry.count(), 3);
    EXPECT_EQ(f.Order(), L"ABC");

    EXPECT_FALSE(f.registry.InsertNode(c)); // already in
    EXPECT_FALSE(f.registry.InsertNode(nullptr));
    EXPECT_FALSE(f.registry.InsertNode(f.registry.GetNode(0))); // the head
    const auto a = f.registry.DelNode(1);
    EXPECT_FALSE(f.registry.InsertNode(a)); // removed nodes stay out
    EXPECT_EQ(f.Order(), L"BC");
}

TEST(Position, FindsNodesAndWindowsAndAnswersZeroForOutsiders) {
    Filled f(L"ABC");
    f.registry.GetNode(2)->window.hWnd = 0x2002;
    EXPECT_EQ(f.registry.PositionOf(f.registry.GetNode(3).get()), 3);
    EXPECT_EQ(f.registry.PositionOf(f.registry.GetNode(0).get()), 0);
    EXPECT_EQ(f.registry.PositionOf(f.registry.CreateNode().get()), 0);
    EXPECT_EQ(f.registry.PositionOfWindow(0x2002), 2);
    EXPECT_EQ(f.registry.PositionOfWindow(0x9999), 0);
    EXPECT_EQ(f.registry.PositionOfWindow(0), 0); // A and C have no window yet
    ASSERT_TRUE(f.registry.MoveNode(2, 1));
    EXPECT_EQ(f.registry.PositionOfWindow(0x2002), 1);
}

TEST(CurrentLink, FollowsItsNodeThroughMovesAndEmptiesWhenTheNodeIsRemoved) {
    Filled f(L"ABC");
    LinkRef current = f.registry.GetNode(2);
    ASSERT_TRUE(current);
    ASSERT_TRUE(f.registry.MoveNode(2, 4));
    EXPECT_EQ(current.lock()->window.Title, L"B");
    EXPECT_EQ(f.registry.PositionOf(current.lock().get()), 3);

    const auto closing = f.registry.DelNode(3); // the tab close still works on the node
    EXPECT_FALSE(current);
    EXPECT_EQ(current.lock(), nullptr);
    EXPECT_EQ(closing->window.Title, L"B");
}

TEST(CurrentLink, EmptiesWhenTheRegistryGoesAndIsEmptyByDefault) {
    LinkRef none;
    EXPECT_FALSE(none);
    LinkRef current, head;
    std::shared_ptr<clsLink> kept;
    {
        Filled f(L"AB");
        current = f.registry.GetNode(1);
        head = f.registry.GetNode(0);
        kept = f.registry.GetNode(1);
        EXPECT_TRUE(head);
    }
    EXPECT_FALSE(current);
    EXPECT_FALSE(head);
    EXPECT_EQ(kept->window.Title, L"A"); // still usable by whoever holds it
}

TEST(NodeResources, NewNodeRecordShowsItsOwnIconSurface) {
    Filled f(L"");
    EXPECT_EQ(f.factory.ledger->created, 1); // the head has a surface too
    const auto head = f.registry.GetNode(0);
    const auto node = f.registry.CreateNode();
    EXPECT_EQ(node->window.hDC, 2);
    EXPECT_EQ(node->window.hBMP, 1002);
    EXPECT_NE(node->window.hDC, head->window.hDC);
    EXPECT_EQ(node->window.hWnd, 0u);
}

TEST(NodeResources, ARemovedNodeIsReleasedOnceWhenItsLastReferenceGoes) {
    Filled f(L"ABC");
    const auto& released = f.factory.ledger->surfacesReleased;
    const HandleValue b = static_cast<HandleValue>(f.registry.GetNode(2)->window.hDC);
    f.registry.GetNode(2)->AdoptProcess(0x77);

    auto closing = f.registry.DelNode(2);
    LinkRef current = closing;
    EXPECT_EQ(released.count(b), 0u); // still held by the closing code
    EXPECT_EQ(closing->pHandle(), 0x77u);

    closing.reset();
    EXPECT_EQ(released.at(b), 1);
    EXPECT_EQ(f.factory.ledger->processesClosed, std::vector<HandleValue>{0x77});
    EXPECT_EQ(current.lock(), nullptr);
    EXPECT_EQ(released.size(), 1u); // nobody else released
}

TEST(NodeResources, TheRegistryReleasesEveryUnheldNodeAndTheHeadOnceAndLeavesHeldOnesAlive) {
    std::shared_ptr<Ledger> ledger;
    std::shared_ptr<clsLink> kept;
    HandleValue keptSurface = 0;
    {
        Filled f(L"ABCD");
        ledger = f.factory.ledger;
        kept = f.registry.GetNode(3);
        keptSurface = static_cast<HandleValue>(kept->window.hDC);
        f.registry.DelNode(4);
        EXPECT_EQ(ledger->surfacesReleased.size(), 1u); // D at once
    }
    EXPECT_EQ(ledger->surfacesReleased.size(), 4u); // head, A, B, D
    for (const auto& [surface, times] : ledger->surfacesReleased)
        EXPECT_EQ(times, 1) << surface;
    EXPECT_EQ(ledger->surfacesReleased.count(keptSurface), 0u);
    kept.reset();
    EXPECT_EQ(ledger->surfacesReleased.at(keptSurface), 1);
}

TEST(NodeResources, ANodeCannotBeMadeWithoutThem) {
    EXPECT_THROW(clsLink{nullptr}, std::invalid_argument);
}

} // namespace
} // namespace parlix
