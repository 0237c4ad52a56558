#include "capture/tab_registry.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace parlix {

clsLink::clsLink(std::unique_ptr<NodeResources> resources) : resources_(std::move(resources)) {
    if (!resources_) throw std::invalid_argument("clsLink needs its resources");
    window.hDC = static_cast<std::int32_t>(resources_->IconDc());
    window.hBMP = static_cast<std::int32_t>(resources_->IconBitmap());
}

std::shared_ptr<clsLink> LinkRef::lock() const noexcept {
    auto node = node_.lock();
    if (node && !node->InRegistry()) node.reset();
    return node;
}

TabRegistry::TabRegistry(NodeResourceFactory& factory)
    : factory_(factory), head_(std::make_shared<clsLink>(factory.Create())) {
    head_->state_ = clsLink::State::Head;
}

TabRegistry::~TabRegistry() {
    head_->state_ = clsLink::State::Removed;
    for (const auto& node : nodes_)
        node->state_ = clsLink::State::Removed;
}

std::shared_ptr<clsLink> TabRegistry::CreateNode() {
    return std::make_shared<clsLink>(factory_.Create());
}

bool TabRegistry::InsertNode(const std::shared_ptr<clsLink>& node) {
    if (!node || node->state_ != clsLink::State::Fresh) return false;
    nodes_.push_back(node);
    node->state_ = clsLink::State::Linked;
    return true;
}

std::shared_ptr<clsLink> TabRegistry::GetNode(int pos) const noexcept {
    if (pos <= 0 || nodes_.empty()) return head_;
    return nodes_[static_cast<std::size_t>(std::min(pos, count()) - 1)];
}

std::shared_ptr<clsLink> TabRegistry::DelNode(int pos) noexcept {
    if (pos <= 0 || nodes_.empty()) return nullptr;
    const auto at = nodes_.begin() + (std::min(pos, count()) - 1);
    auto node = std::move(*at);
    nodes_.erase(at);
    node->state_ = clsLink::State::Removed;
    return node;
}

bool TabRegistry::MoveNode(int src, int Dest) noexcept {
    const int n = count();
    if (src < 1 || src > n || Dest < 1 || Dest > n + 1 || Dest == src || Dest == src + 1) return false;
    const auto first = nodes_.begin();
    if (Dest < src)
        std::rotate(first + (Dest - 1), first + (src - 1), first + src); // ends at Dest
    else
        std::rotate(first + (src - 1), first + src, first + (Dest - 1)); // ends at Dest - 1
    return true;
}

int TabRegistry::PositionOf(const clsLink* node) const noexcept {
    const auto it =
        std::find_if(nodes_.begin(), nodes_.end(), [node](const auto& n) { return n.get() == node; });
    return it == nodes_.end() ? 0 : static_cast<int>(it - nodes_.begin()) + 1;
}

int TabRegistry::PositionOfWindow(HandleValue hwnd) const noexcept {
    if (hwnd == 0) return 0; // a node not filled yet is nobody's window
    const auto it =
        std::find_if(nodes_.begin(), nodes_.end(), [hwnd](const auto& n) { return n->window.hWnd == hwnd; });
    return it == nodes_.end() ? 0 : static_cast<int>(it - nodes_.begin()) + 1;
}

} // namespace parlix
