#include "model/VoTree_impl.h"

#include <vector>

namespace {

[[noreturn]] void InvalidState() { throw EVoTree("Invalid state!"); }

std::shared_ptr<IVoNode_impl> Links(const IVoNodePtr& node) {
  auto links = std::dynamic_pointer_cast<IVoNode_impl>(node);
  if (!links)
    throw EIntfCastError("Interface not supported");
  return links;
}

} // namespace

TVoNode::~TVoNode() {
  // Releasing the links one by one would nest a destructor per sibling and per
  // level. Instead every node that only this release keeps alive gives up its
  // links first, so each destructor below finds nothing left to release.
  std::vector<IVoNodePtr> pending;
  auto take = [&pending](IVoNodePtr& link) {
    if (link)
      pending.push_back(std::move(link));
  };
  take(FNext);
  take(FFirstChild);
  while (!pending.empty()) {
    IVoNodePtr node = std::move(pending.back());
    pending.pop_back();
    if (node.use_count() == 1) {
      if (auto* plain = dynamic_cast<TVoNode*>(node.get())) {
        take(plain->FNext);
        take(plain->FFirstChild);
      }
    }
  }
}

bool TVoNode::HasAncestor(const IVoNodePtr& node) const {
  for (IVoNodePtr p = GetParent(); p; p = p->GetParent())
    if (p == node)
      return true;
  return false;
}

IVoNodePtr TVoNode::GetLastChild() const {
  if (!FFirstChild)
    return nullptr;
  IVoNodePtr last = FLastChild.lock();
  if (!last || last->GetParent().get() != this || last->HasNext()) {
    last = FFirstChild;
    while (IVoNodePtr next = last->GetNext())
      last = std::move(next);
    FLastChild = last;
  }
  return last;
}

void TVoNode::AddChild(const IVoNodePtr& node) {
  // Only a node with children can be an ancestor, which spares the walk up
  // for the leaves that building and scanning add.
  if (!node || node.get() == this || node->GetParent() || node->GetPrevious() || node->HasNext() ||
      (node->HasChildren() && HasAncestor(node)))
    InvalidState();
  auto links = Links(node);
  IVoNodePtr self = shared_from_this();
  IVoNodePtr last = GetLastChild();
  auto lastLinks = last ? Links(last) : nullptr;
  links->SetParent(self);
  if (last) {
    links->SetPrevious(last);
    lastLinks->SetNext(node);
  } else {
    FFirstChild = node;
  }
  FLastChild = node;
}

IVoNodePtr TVoNode::Remove() {
  IVoNodePtr self = shared_from_this();
  IVoNodePtr parent = GetParent();
  if (!parent)
    return self;
  IVoNodePtr previous = GetPrevious();
  auto parentLinks = Links(parent);
  auto previousLinks = previous ? Links(previous) : nullptr;
  auto nextLinks = FNext ? Links(FNext) : nullptr;
  auto* plain = dynamic_cast<TVoNode*>(parent.get());
  std::weak_ptr<IVoNode> last = plain ? plain->FLastChild : std::weak_ptr<IVoNode>();
  if (previousLinks)
    previousLinks->SetNext(FNext);
  else
    parentLinks->SetFirstChild(FNext);
  if (nextLinks)
    nextLinks->SetPrevious(previous);
  if (plain)
    plain->FLastChild = FNext ? last : previous;
  FParent.reset();
  FPrevious.reset();
  FNext.reset();
  return self;
}

int32_t TVoNode::GetLevel() const {
  int32_t level = 0;
  for (IVoNodePtr p = GetParent(); p; p = p->GetParent())
    ++level;
  return level;
}

IVoNodePtr TVoNode::FindNode(int32_t id) const {
  // Pre-order along the links themselves, so a deep tree needs no deep stack.
  IVoNodePtr node = FFirstChild;
  while (node) {
    if (node->GetId() == id)
      return node;
    if (IVoNodePtr child = node->GetFirstChild()) {
      node = std::move(child);
      continue;
    }
    while (node) {
      if (IVoNodePtr next = node->GetNext()) {
        node = std::move(next);
        break;
      }
      IVoNodePtr parent = node->GetParent();
      node = parent.get() == this ? nullptr : std::move(parent);
    }
  }
  return nullptr;
}

void TVoNode::SetFirstChild(const IVoNodePtr& node) {
  FFirstChild = node;
  FLastChild.reset();
}
