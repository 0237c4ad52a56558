// The tab registry: one node per captured chat window, in the order of the tabs, so that tab
// index i (from 0) and registry position i + 1 always describe the same window. Position 0 is the
// head `LinkHead`; GetNode never fails and clamps instead, which the tab handlers rely on.
//
// Ownership: nodes are shared. The registry holds one reference to each node it contains; code
// that works on a node while removing it (closing a tab) holds its own, and the node with its
// icon surface and process handle is released when the last reference goes. `CurrentLink` is a
// LinkRef, which never keeps a node alive and reads empty as soon as the node leaves the registry.
#pragma once

#include "contract/im_window.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace parlix {

// What a node owns besides its record: the 32 x 32 icon surface (a memory drawing context with a
// bitmap selected into it) and, for the memory-read client kinds, the client's process handle.
// The destructor releases all of it, once: the bitmap before its context, and the process handle.
class NodeResources {
  public:
    virtual ~NodeResources() = default;
    // 0 when the surface could not be created.
    [[nodiscard]] virtual HandleValue IconDc() const noexcept = 0;
    [[nodiscard]] virtual HandleValue IconBitmap() const noexcept = 0;
    // Takes ownership of an open process handle, closing the one held before (if any).
    virtual void AdoptProcess(HandleValue process) noexcept = 0;
    [[nodiscard]] virtual HandleValue Process() const noexcept = 0;
};

// Makes the resources of each new node (and of the head). Never returns null: a surface that
// cannot be created is an object whose values are 0.
class NodeResourceFactory {
  public:
    virtual ~NodeResourceFactory() = default;
    [[nodiscard]] virtual std::unique_ptr<NodeResources> Create() = 0;
};

// One registry node: the window's record plus the per-tab state plugins do not see.
class clsLink {
  public:
    // Fills the record's hDC and hBMP from the resources. Throws std::invalid_argument on null.
    explicit clsLink(std::unique_ptr<NodeResources> resources);
    clsLink(const clsLink&) = delete;
    clsLink& operator=(const clsLink&) = delete;

    bool bTopmost = false;       // keep the main window on top while this tab is selected
    std::int32_t colorIndex = 0; // item of the colour menu chosen for the tab
    std::uint32_t wndproc = 0;   // address of the history text object in the client's memory
    std::uint32_t pFocus = 0;    // the hooked window's answer to request 6; kept only
    std::int32_t originalAlpha = -1;  // opacity of a translucent window before capture; -1 when it was not
    IMWindow window;

    // The client's process handle, owned by the node from AdoptProcess on; 0 when none.
    [[nodiscard]] HandleValue pHandle() const noexcept { return resources_->Process(); }
    void AdoptProcess(HandleValue process) noexcept { resources_->AdoptProcess(process); }

    [[nodiscard]] bool IsHead() const noexcept { return state_ == State::Head; }
    // True from InsertNode until DelNode (or the registry's end); always for a live head.
    [[nodiscard]] bool InRegistry() const noexcept {
        return state_ == State::Head || state_ == State::Linked;
    }

  private:
    friend class TabRegistry;
    // A node joins a registry at most once: after DelNode it stays out, so a LinkRef that went
    // empty never comes back.
    enum class State { Fresh, Head, Linked, Removed };

    std::unique_ptr<NodeResources> resources_;
    State state_ = State::Fresh;
};

// A non-owning reference to a node (the type of `CurrentLink`). lock() gives the node while it is
// in the registry, and null once it was removed or released, even if someone else still holds it.
class LinkRef {
  public:
    LinkRef() noexcept = default;
    // Implicit so that `CurrentLink = LinkHead.GetNode(n)` reads as it does in the handlers.
    LinkRef(const std::shared_ptr<clsLink>& node) noexcept : node_(node) {}

    [[nodiscard]] std::shared_ptr<clsLink> lock() const noexcept;
    explicit operator bool() const noexcept { return lock() != nullptr; }
    void reset() noexcept { node_.reset(); }

  private:
    std::weak_ptr<clsLink> node_;
};

// The list behind `LinkHead`. Positions run from 1 to count(); position 0 is the head.
class TabRegistry {
  public:
    // The factory must outlive the registry; the head gets a surface of its own like every node.
    explicit TabRegistry(NodeResourceFactory& factory);
    TabRegistry(const TabRegistry&) = delete;
    TabRegistry& operator=(const TabRegistry&) = delete;
    // Nodes still referenced elsewhere live on, out of the registry.
    ~TabRegistry();

    // A new node with its own resources, not yet in the registry.
    [[nodiscard]] std::shared_ptr<clsLink> CreateNode();

    // Appends node at the end. False (and nothing changes) for null, the head, or a node that is
    // or was in a registry.
    [[nodiscard]] bool InsertNode(const std::shared_ptr<clsLink>& node);

    // The node at pos; pos <= 0 gives the head, pos beyond the end the last node (the head when
    // the registry is empty). Never null.
    [[nodiscard]] std::shared_ptr<clsLink> GetNode(int pos) const noexcept;

    // Removes GetNode(pos) and returns it; pos <= 0 or an empty registry removes nothing (null).
    // Like GetNode, a pos beyond the end means the last node.
    std::shared_ptr<clsLink> DelNode(int pos) noexcept;

    // Moves node src between the nodes that stood at Dest - 1 and Dest (Dest = count() + 1: at the
    // end). It ends at Dest when Dest < src, at Dest - 1 when Dest > src + 1. Dest = src or src + 1
    // would change nothing and, like any position out of range, is refused (false).
    [[nodiscard]] bool MoveNode(int src, int Dest) noexcept;

    [[nodiscard]] int count() const noexcept { return static_cast<int>(nodes_.size()); }
    // Position of node (1 to count()), 0 for the head and for nodes not in this registry.
    [[nodiscard]] int PositionOf(const clsLink* node) const noexcept;
    // Position of the first node whose record holds the top-level window hwnd; 0 when none or hwnd is 0.
    [[nodiscard]] int PositionOfWindow(HandleValue hwnd) const noexcept;
    // The nodes in registry order (position 1 first).
    [[nodiscard]] std::span<const std::shared_ptr<clsLink>> Nodes() const noexcept { return nodes_; }

  private:
    NodeResourceFactory& factory_;
    std::shared_ptr<clsLink> head_;
    std::vector<std::shared_ptr<clsLink>> nodes_;
};

} // namespace parlix
