#include "i18n/KaRBTree.h"

#include "base/KaText.h"

namespace {

// Constant-initialised, so it exists before any tree of any static object and
// outlives them all. Nothing ever writes to it: rotations and the fix-up only
// touch real nodes, and a tree's Root is never linked back into it.
constinit TRBNode NilNode{nullptr, nullptr, nullptr, nullptr, rbBlack};
TRBNode* const Nil = &NilNode;

bool IsRed(const TRBNode* node) { return node->Colour == rbRed; }

TNameValuePair* PairOf(const TRBNode* node) { return static_cast<TNameValuePair*>(node->Data); }

} // namespace

TCustomRBTree::TCustomRBTree() : FRoot(Nil) {}

TCustomRBTree::~TCustomRBTree() { Clear(); }

const TRBNode* TCustomRBTree::Sentinel() { return Nil; }

void TCustomRBTree::Insert(TRBNode* node) {
  TRBNode* parent = nullptr;
  int side = 0;
  for (TRBNode* at = FRoot; at != Nil;) {
    side = CompareNodes(node, at);
    if (side == 0)
      throw ERBTree("Duplicate key!");
    parent = at;
    at = side < 0 ? at->Left : at->Right;
  }
  node->Parent = parent;
  node->Left = Nil;
  node->Right = Nil;
  node->Colour = rbRed;
  if (!parent)
    FRoot = node;
  else if (side < 0)
    parent->Left = node;
  else
    parent->Right = node;
  FixAfterInsert(node);
}

void TCustomRBTree::FixAfterInsert(TRBNode* node) {
  // The parent of a red node is never the root (the root is black), so the
  // grandparent always exists here.
  while (node != FRoot && IsRed(node->Parent)) {
    TRBNode* parent = node->Parent;
    TRBNode* grand = parent->Parent;
    // The outer side is the side on which the parent hangs from the
    // grandparent; the uncle hangs on the inner one.
    TRBNode* TRBNode::*outer = parent == grand->Left ? &TRBNode::Left : &TRBNode::Right;
    TRBNode* TRBNode::*inner = outer == &TRBNode::Left ? &TRBNode::Right : &TRBNode::Left;
    TRBNode* uncle = grand->*inner;
    if (IsRed(uncle)) {
      parent->Colour = rbBlack;
      uncle->Colour = rbBlack;
      grand->Colour = rbRed;
      node = grand;
      continue;
    }
    if (node == parent->*inner) {
      node = parent;
      Rotate(node, outer);
    }
    node->Parent->Colour = rbBlack;
    grand->Colour = rbRed;
    Rotate(grand, inner);
  }
  FRoot->Colour = rbBlack;
}

// Moves x down to the given side; its child on the other side takes its place.
void TCustomRBTree::Rotate(TRBNode* x, TRBNode* TRBNode::*side) {
  TRBNode* TRBNode::*other = side == &TRBNode::Left ? &TRBNode::Right : &TRBNode::Left;
  TRBNode* y = x->*other;
  x->*other = y->*side;
  if (y->*side != Nil)
    (y->*side)->Parent = x;
  y->Parent = x->Parent;
  if (!x->Parent)
    FRoot = y;
  else if (x == x->Parent->*side)
    x->Parent->*side = y;
  else
    x->Parent->*other = y;
  y->*side = x;
  x->Parent = y;
}

TRBNode* TCustomRBTree::Find(const TRBNode* probe) const {
  for (TRBNode* at = FRoot; at != Nil;) {
    int side = CompareNodes(probe, at);
    if (side == 0)
      return at;
    at = side < 0 ? at->Left : at->Right;
  }
  return nullptr;
}

void TCustomRBTree::Clear() {
  FreeSubtree(FRoot);
  FRoot = Nil;
}

// Recursion depth is the tree's height, at most twice the binary logarithm of
// the node count.
void TCustomRBTree::FreeSubtree(TRBNode* node) {
  if (node == Nil)
    return;
  FreeSubtree(node->Left);
  FreeSubtree(node->Right);
  FreeNode(node);
}

void TCustomRBTree::FreeNode(TRBNode* node) { delete node; }

TNameValueTree::~TNameValueTree() { Clear(); }

void TNameValueTree::Add(std::u16string_view key, std::u16string_view value) {
  auto pair =
      std::make_unique<TNameValuePair>(TNameValuePair{std::u16string(key), std::u16string(value)});
  auto node = std::make_unique<TRBNode>();
  node->Data = pair.get();
  try {
    Insert(node.get());
  } catch (const ERBTree&) {
    throw Exception(FromWide(key));
  }
  node.release();
  pair.release();
}

const TNameValuePair* TNameValueTree::Find(std::u16string_view key) const {
  TNameValuePair probePair{std::u16string(key), {}};
  TRBNode probe;
  probe.Data = &probePair;
  const TRBNode* found = TCustomRBTree::Find(&probe);
  return found ? PairOf(found) : nullptr;
}

void TNameValueTree::FreeNode(TRBNode* node) {
  delete PairOf(node);
  delete node;
}

int TNameValueTree::CompareNodes(const TRBNode* a, const TRBNode* b) const {
  return CompareKeys(PairOf(a)->Key, PairOf(b)->Key);
}

int CompareCodeUnits(std::u16string_view a, std::u16string_view b) {
  int r = a.compare(b);
  return (r > 0) - (r < 0);
}
