#pragma once

#include "base/KaExceptions.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Red-black trees: a base that knows the node layout, insertion with
// rebalancing, search and clearing, and leaves comparing and freeing nodes to
// its descendants; and the key/value table of one language built on it. There
// is no removal of single entries: a table is filled once and then searched.

KA_DECLARE_EXCEPTION(ERBTree, Exception);

enum : uint8_t { rbRed = 0, rbBlack = 1 };

// Allocated by the tree's user with new and owned by the tree once inserted.
struct TRBNode {
  void* Data = nullptr;
  TRBNode* Left = nullptr;
  TRBNode* Right = nullptr;
  TRBNode* Parent = nullptr;
  uint8_t Colour = rbRed;
};

class TCustomRBTree {
public:
  TCustomRBTree();
  // Frees the nodes through the base FreeNode only: a descendant whose nodes
  // carry payload calls Clear in its own destructor, where its FreeNode is
  // still the one that runs.
  virtual ~TCustomRBTree();
  TCustomRBTree(const TCustomRBTree&) = delete;
  TCustomRBTree& operator=(const TCustomRBTree&) = delete;

  // Raises ERBTree "Duplicate key!" for a node equal to a stored one; the tree
  // is then unchanged and the caller still owns the node.
  void Insert(TRBNode* node);
  TRBNode* Find(const TRBNode* probe) const;
  void Clear();

  // Root is Sentinel() while the tree is empty. Every empty child link of
  // every tree points to the one shared, black, never written sentinel; the
  // root's parent link is empty.
  const TRBNode* GetRoot() const { return FRoot; }
  static const TRBNode* Sentinel();

protected:
  virtual void FreeNode(TRBNode* node);
  virtual int CompareNodes(const TRBNode* a, const TRBNode* b) const = 0;

private:
  void Rotate(TRBNode* x, TRBNode* TRBNode::*side);
  void FixAfterInsert(TRBNode* node);
  void FreeSubtree(TRBNode* node);

  TRBNode* FRoot;
};

struct TNameValuePair {
  std::u16string Key;
  std::u16string Value;
};

class INameValueTree {
public:
  virtual ~INameValueTree() = default;
  // A key already present raises Exception with the key as its message and
  // leaves the table as it was.
  virtual void Add(std::u16string_view key, std::u16string_view value) = 0;
  // The stored pair, valid as long as the table holds it, or nullptr.
  virtual const TNameValuePair* Find(std::u16string_view key) const = 0;
};

using INameValueTreePtr = std::shared_ptr<INameValueTree>;

class TNameValueTree : public TCustomRBTree, public INameValueTree {
public:
  ~TNameValueTree() override;
  void Add(std::u16string_view key, std::u16string_view value) override;
  const TNameValuePair* Find(std::u16string_view key) const override;

protected:
  void FreeNode(TRBNode* node) override;
  int CompareNodes(const TRBNode* a, const TRBNode* b) const override;
};

// The key order of the text tables: -1, 0 or +1. On Windows the system's
// locale-aware, case-sensitive comparison for the default locale; natively the
// code-unit order. On both, keys compare equal exactly when they are equal code
// unit for code unit.
int CompareKeys(std::u16string_view a, std::u16string_view b);

// The code-unit order, -1, 0 or +1.
int CompareCodeUnits(std::u16string_view a, std::u16string_view b);
