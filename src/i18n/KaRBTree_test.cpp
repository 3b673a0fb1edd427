#include "KaRBTree.h"

#include "KaText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <vector>

namespace {

// Checks every red-black property below `node` and returns its black height.
int CheckSubtree(const TRBNode* node, const TRBNode* parent,
                 int (*compare)(const TRBNode*, const TRBNode*), int* count) {
  const TRBNode* nil = TCustomRBTree::Sentinel();
  if (node == nil)
    return 1;
  ++*count;
  EXPECT_EQ(node->Parent, parent);
  EXPECT_TRUE(node->Colour == rbRed || node->Colour == rbBlack);
  if (node->Colour == rbRed) {
    EXPECT_EQ(node->Left->Colour, rbBlack) << "red node with a red child";
    EXPECT_EQ(node->Right->Colour, rbBlack) << "red node with a red child";
  }
  if (node->Left != nil) {
    EXPECT_LT(compare(node->Left, node), 0);
  }
  if (node->Right != nil) {
    EXPECT_GT(compare(node->Right, node), 0);
  }
  int left = CheckSubtree(node->Left, node, compare, count);
  int right = CheckSubtree(node->Right, node, compare, count);
  EXPECT_EQ(left, right) << "black heights differ";
  return left + (node->Colour == rbBlack ? 1 : 0);
}

int Height(const TRBNode* node) {
  if (node == TCustomRBTree::Sentinel())
    return 0;
  return 1 + std::max(Height(node->Left), Height(node->Right));
}

// Checks the tree's invariants and its size; the order of neighbours is
// checked along every parent-child link, which together with the search
// below proves the in-order sequence sorted.
void CheckTree(const TCustomRBTree& tree, int (*compare)(const TRBNode*, const TRBNode*),
               int expectedCount) {
  const TRBNode* nil = TCustomRBTree::Sentinel();
  const TRBNode* root = tree.GetRoot();
  int count = 0;
  if (root != nil) {
    EXPECT_EQ(root->Colour, rbBlack);
    EXPECT_EQ(root->Parent, nullptr);
  }
  CheckSubtree(root, nullptr, compare, &count);
  EXPECT_EQ(count, expectedCount);
  // The shared sentinel is never written by any tree.
  EXPECT_EQ(nil->Colour, rbBlack);
  EXPECT_EQ(nil->Left, nullptr);
  EXPECT_EQ(nil->Right, nullptr);
  EXPECT_EQ(nil->Parent, nullptr);
  EXPECT_EQ(nil->Data, nullptr);
  if (count > 0) {
    EXPECT_LE(Height(root), 2 * std::log2(count + 1));
  }
}

int ComparePairs(const TRBNode* a, const TRBNode* b) {
  return CompareKeys(static_cast<const TNameValuePair*>(a->Data)->Key,
                     static_cast<const TNameValuePair*>(b->Data)->Key);
}

// A tree of integers that records the order in which its nodes are freed.
class TIntTree : public TCustomRBTree {
public:
  ~TIntTree() override { Clear(); }
  void Add(int key) {
    auto node = std::make_unique<TRBNode>();
    node->Data = new int(key);
    try {
      Insert(node.get());
    } catch (...) {
      delete static_cast<int*>(node->Data);
      throw;
    }
    node.release();
  }
  static int Key(const TRBNode* node) { return *static_cast<const int*>(node->Data); }
  static int CompareInts(const TRBNode* a, const TRBNode* b) {
    return (Key(a) > Key(b)) - (Key(a) < Key(b));
  }

  std::vector<int> Freed;
  std::set<const TRBNode*> FreedNodes;
  bool ChildFreedLate = false;

protected:
  int CompareNodes(const TRBNode* a, const TRBNode* b) const override { return CompareInts(a, b); }
  void FreeNode(TRBNode* node) override {
    for (const TRBNode* child : {node->Left, node->Right}) {
      if (child != Sentinel() && !FreedNodes.count(child))
        ChildFreedLate = true;
    }
    FreedNodes.insert(node);
    Freed.push_back(Key(node));
    delete static_cast<int*>(node->Data);
    TCustomRBTree::FreeNode(node);
  }
};

std::u16string KeyOf(int i) { return Utf8ToWide("key" + std::to_string(100000 + i)); }

} // namespace

TEST(RBTree, InsertFindAndDuplicateOfTheBase) {
  TIntTree tree;
  EXPECT_EQ(tree.GetRoot(), TCustomRBTree::Sentinel());
  for (int k : {5, 3, 8, 1, 4, 7, 9})
    tree.Add(k);
  TRBNode probe;
  int key = 4;
  probe.Data = &key;
  ASSERT_NE(tree.Find(&probe), nullptr);
  EXPECT_EQ(TIntTree::Key(tree.Find(&probe)), 4);
  key = 6;
  EXPECT_EQ(tree.Find(&probe), nullptr);

  try {
    tree.Add(8);
    FAIL() << "duplicate accepted";
  } catch (const ERBTree& e) {
    EXPECT_EQ(e.Message(), "Duplicate key!");
    EXPECT_STREQ(e.ClassName(), "ERBTree");
  }
  CheckTree(tree, TIntTree::CompareInts, 7);
}

TEST(RBTree, ClearFreesEveryNodeInPostOrderAndRefills) {
  TIntTree tree;
  for (int k = 0; k < 100; ++k)
    tree.Add((k * 37) % 100);
  tree.Clear();
  EXPECT_EQ(tree.GetRoot(), TCustomRBTree::Sentinel());
  EXPECT_EQ(tree.Freed.size(), 100u);
  EXPECT_EQ(std::set<int>(tree.Freed.begin(), tree.Freed.end()).size(), 100u);
  EXPECT_FALSE(tree.ChildFreedLate) << "a node was freed before one of its children";

  for (int k = 0; k < 10; ++k)
    tree.Add(k);
  CheckTree(tree, TIntTree::CompareInts, 10);
}

TEST(RBTree, OrderedAndRandomInsertionKeepTheInvariants) {
  const int n = 2000;
  std::vector<int> ascending(n);
  for (int i = 0; i < n; ++i)
    ascending[i] = i;
  std::vector<int> descending(ascending.rbegin(), ascending.rend());
  std::vector<int> shuffled = ascending;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(11));

  for (const auto* order : {&ascending, &descending, &shuffled}) {
    TNameValueTree table;
    for (int i : *order)
      table.Add(KeyOf(i), KeyOf(-i));
    CheckTree(table, ComparePairs, n);
    for (int i = 0; i < n; ++i) {
      const TNameValuePair* pair = table.Find(KeyOf(i));
      ASSERT_NE(pair, nullptr) << i;
      EXPECT_EQ(pair->Key, KeyOf(i));
      EXPECT_EQ(pair->Value, KeyOf(-i));
    }
    EXPECT_EQ(table.Find(KeyOf(n)), nullptr);
  }
}

TEST(NameValueTree, FindAddDuplicateAndCase) {
  TNameValueTree table;
  EXPECT_EQ(table.Find(u"Next"), nullptr);
  EXPECT_EQ(table.Find(u""), nullptr);

  table.Add(u"Next", u"Volgende");
  table.Add(u"next", u"volgende");
  table.Add(u"NEXT", u"VOLGENDE");
  table.Add(u"", u"empty");
  ASSERT_NE(table.Find(u"next"), nullptr);
  EXPECT_EQ(table.Find(u"next")->Value, u"volgende");
  EXPECT_EQ(table.Find(u"Next")->Value, u"Volgende");
  EXPECT_EQ(table.Find(u"NEXT")->Value, u"VOLGENDE");
  EXPECT_EQ(table.Find(u"")->Value, u"empty");
  EXPECT_EQ(table.Find(u"nExt"), nullptr);

  try {
    table.Add(u"Next", u"Anders");
    FAIL() << "duplicate accepted";
  } catch (const ERBTree&) {
    FAIL() << "the tree's own message reached the caller";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Next");
    EXPECT_STREQ(e.ClassName(), "Exception");
  }
  EXPECT_EQ(table.Find(u"Next")->Value, u"Volgende");
  CheckTree(table, ComparePairs, 4);
}

TEST(NameValueTree, ClearAndRefill) {
  TNameValueTree table;
  for (int i = 0; i < 50; ++i)
    table.Add(KeyOf(i), u"first");
  table.Clear();
  EXPECT_EQ(table.GetRoot(), TCustomRBTree::Sentinel());
  EXPECT_EQ(table.Find(KeyOf(0)), nullptr);
  for (int i = 0; i < 50; ++i)
    table.Add(KeyOf(i), u"second");
  CheckTree(table, ComparePairs, 50);
  EXPECT_EQ(table.Find(KeyOf(7))->Value, u"second");
}

// Texts the locale may weigh alike or ignore parts of; the order must still be
// total and call equal only code-unit-equal keys.
TEST(CompareKeys, TotalOrderEqualOnlyForEqualCodeUnits) {
  const std::vector<std::u16string> keys = {u"",
                                            u"a",
                                            u"A",
                                            u"b",
                                            u"B",
                                            u"ab",
                                            u"aB",
                                            u"Ab",
                                            u"a b",
                                            u"a-b",
                                            u"ab-",
                                            u"co-op",
                                            u"coop",
                                            u"\u00E9",
                                            u"e\u0301",
                                            u"e",
                                            u"E",
                                            u"\u00C9",
                                            u"a\u00AD",
                                            u"a\u200B",
                                            u"\u00DF",
                                            u"ss",
                                            std::u16string(u"a\0b", 3),
                                            std::u16string(u"a\0", 2),
                                            u"Install Path",
                                            u"installpath_title",
                                            u"\uFFFF",
                                            u"\U0001F600",
                                            u"1",
                                            u"10",
                                            u"9"};
  for (const auto& a : keys) {
    EXPECT_EQ(CompareKeys(a, a), 0);
    for (const auto& b : keys) {
      int ab = CompareKeys(a, b);
      EXPECT_TRUE(ab == -1 || ab == 0 || ab == 1);
      EXPECT_EQ(ab, -CompareKeys(b, a));
      if (&a != &b) {
        EXPECT_NE(ab, 0) << WideToUtf8(a) << " / " << WideToUtf8(b);
      }
    }
  }
  std::vector<std::u16string> sorted = keys;
  std::sort(sorted.begin(), sorted.end(),
            [](const auto& a, const auto& b) { return CompareKeys(a, b) < 0; });
  for (size_t i = 0; i < sorted.size(); ++i) {
    for (size_t j = i + 1; j < sorted.size(); ++j)
      EXPECT_LT(CompareKeys(sorted[i], sorted[j]), 0) << "not transitive at " << i << ", " << j;
  }
}
