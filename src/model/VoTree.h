#pragma once

#include "base/KaExceptions.h"

#include <cstdint>
#include <memory>

// An ordered tree of shared nodes: a parent owns its first child and every
// child owns its next sibling; the parent and previous links are back links
// that keep nothing alive.

KA_DECLARE_EXCEPTION(EVoTree, Exception);

class IVoNode;
using IVoNodePtr = std::shared_ptr<IVoNode>;

class IVoNode {
public:
  virtual ~IVoNode() = default;

  virtual int32_t GetId() const = 0;
  virtual int32_t GetData() const = 0;
  virtual void SetData(int32_t value) = 0;
  virtual bool IsFirst() const = 0;
  virtual bool IsLast() const = 0;
  virtual bool HasNext() const = 0;
  virtual bool HasChildren() const = 0;
  // True when `node` is the parent, the parent's parent and so on; never for
  // the node itself.
  virtual bool HasAncestor(const IVoNodePtr& node) const = 0;
  virtual IVoNodePtr GetFirstChild() const = 0;
  virtual IVoNodePtr GetLastChild() const = 0;
  virtual IVoNodePtr GetPrevious() const = 0;
  virtual IVoNodePtr GetNext() const = 0;
  virtual IVoNodePtr GetParent() const = 0;
  // Appends a root (a node without parent or siblings) as the last child.
  // Raises EVoTree "Invalid state!" for any other node, and for this node or
  // one of its ancestors, so a tree never becomes a cycle.
  virtual void AddChild(const IVoNodePtr& node) = 0;
  // Unlinks the node, with its subtree, from its parent and siblings.
  virtual IVoNodePtr Remove() = 0;
  virtual int32_t GetLevel() const = 0;
  // The first descendant, depth first in child order, with this id.
  virtual IVoNodePtr FindNode(int32_t id) const = 0;
};
