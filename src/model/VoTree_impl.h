#pragma once

#include "model/VoTree.h"

// The links of a node as the tree's own operations write them.
class IVoNode_impl {
public:
  virtual ~IVoNode_impl() = default;
  virtual void SetParent(const IVoNodePtr& node) = 0;   // not counted
  virtual void SetPrevious(const IVoNodePtr& node) = 0; // not counted
  virtual void SetNext(const IVoNodePtr& node) = 0;
  virtual void SetFirstChild(const IVoNodePtr& node) = 0;
};

// A plain node; create it with std::make_shared, since a node hands itself out
// as a shared reference. Dropping a node releases its sibling chains and
// subtrees step by step, so no list length or depth can exhaust the stack.
class TVoNode : public IVoNode, public IVoNode_impl, public std::enable_shared_from_this<TVoNode> {
public:
  TVoNode() = default;
  ~TVoNode() override;
  TVoNode(const TVoNode&) = delete;
  TVoNode& operator=(const TVoNode&) = delete;

  int32_t GetId() const override { return FId; }
  int32_t GetData() const override { return FData; }
  void SetData(int32_t value) override { FData = value; }
  bool IsFirst() const override { return FPrevious.expired(); }
  bool IsLast() const override { return !FNext; }
  bool HasNext() const override { return static_cast<bool>(FNext); }
  bool HasChildren() const override { return static_cast<bool>(FFirstChild); }
  bool HasAncestor(const IVoNodePtr& node) const override;
  IVoNodePtr GetFirstChild() const override { return FFirstChild; }
  IVoNodePtr GetLastChild() const override;
  IVoNodePtr GetPrevious() const override { return FPrevious.lock(); }
  IVoNodePtr GetNext() const override { return FNext; }
  IVoNodePtr GetParent() const override { return FParent.lock(); }
  void AddChild(const IVoNodePtr& node) override;
  IVoNodePtr Remove() override;
  int32_t GetLevel() const override;
  IVoNodePtr FindNode(int32_t id) const override;

  void SetParent(const IVoNodePtr& node) override { FParent = node; }
  void SetPrevious(const IVoNodePtr& node) override { FPrevious = node; }
  void SetNext(const IVoNodePtr& node) override { FNext = node; }
  void SetFirstChild(const IVoNodePtr& node) override;

protected:
  void SetNodeId(int32_t id) { FId = id; }

private:
  int32_t FData = 0;
  IVoNodePtr FFirstChild;
  IVoNodePtr FNext;
  std::weak_ptr<IVoNode> FParent;
  std::weak_ptr<IVoNode> FPrevious;
  // Where the next child goes, so appending costs the same for the 100,000th
  // child as for the first. Only a hint: checked before use, since the links
  // can also be written through IVoNode_impl.
  mutable std::weak_ptr<IVoNode> FLastChild;
  int32_t FId = 0;
};
