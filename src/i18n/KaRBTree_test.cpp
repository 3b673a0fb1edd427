#include "i18n/KaRBTree.h"

#include "base/KaText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <vector>

namespace {

using TCompare = int (*)(const TRBNode*, const TRBNode*);

// Checks links, colours and black heights below `node`, collects the nodes in
// order and returns the black height.
int CheckSubtree(const TRBNode* node, const TRBNode* parent, std::vector<const TRBNode*>& inOrder) {
  if (node == TCustomRBTree::Sentinel())
    return 1;
  EXPECT_EQ(node->Parent, parent);
  if (node->Colour == rbRed) {
    EXPECT_EQ(node->Left->Colour, rbBlack) << "red node with a red child";
    EXPECT_EQ(node->Right->Colour, rbBlack) << "red node with a red child";
  } else {
    EXPECT_EQ(node->Colour, rbBlack);
  }
  int left = CheckSubtree(node->Left, node, inOrder);
  inOrder.push_back(node);
  int right = CheckSubtree(node->Right, node, inOrder);
  EXPECT_EQ(left, right) << "black heights differ";
  return left + (node->Colour == rbBlack ? 1 : 0);
}

int Height(const TRBNode* node) {
  if (node == TCustomRBTree::Sentinel())
    return 0;
  return 1 + std::max(Height(node->Left), Height(node->Right));
}

void CheckTree(const TCustomRBTree& tree, TCompare compare, size_t expectedCount) {
  const TRBNode* nil = TCustomRBTree::Sentinel();
  const TRBNode* root = tree.GetRoot();
  std::vector<const TRBNode*> inOrder;
  CheckSubtree(root, nullptr, inOrder);
  ASSERT_EQ(inOrder.size(), expectedCount);
  for (size_t i = 1; i < inOrder.size(); ++i)
    EXPECT_LT(compare(inOrder[i - 1], inOrder[i]), 0) << "out of order at " << i;
  if (root != nil) {
    EXPECT_EQ(root->Colour, rbBlack);
    EXPECT_LE(Height(root), 2 * std::log2(expectedCount + 1));
  }
  // No tree ever writes to the shared sentinel.
  EXPECT_EQ(nil->Colour, rbBlack);
  EXPECT_TRUE(!nil->Left && !nil->Right && !nil->Parent && !nil->Data);
}

int ComparePairs(const TRBNode* a, const TRBNode* b) {
  return CompareKeys(static_cast<const TNameValuePair*>(a->Data)->Key,
                     static_cast<const TNameValuePair*>(b->Data)->Key);
}

// A tree of integers that checks that every node is freed after its children.
class TIntTree : public TCustomRBTree {
public:
  ~TIntTree() override { Clear(); }
  void Add(int key) {
    auto node = std::make_unique<TRBNode>();
    auto value = std::make_unique<int>(key);
    node->Data = value.get();
    Insert(node.get());
    node.release();
    value.release();
  }
  static int Key(const TRBNode* node) { return *static_cast<const int*>(node->Data); }
  static int CompareInts(const TRBNode* a, const TRBNode* b) {
    return (Key(a) > Key(b)) - (Key(a) < Key(b));
  }

  std::set<const TRBNode*> Freed;
  bool FreedBeforeChild = false;

protected:
  int CompareNodes(const TRBNode* a, const TRBNode* b) const override { return CompareInts(a, b); }
  void FreeNode(TRBNode* node) override {
    for (const TRBNode* child : {node->Left, node->Right})
      FreedBeforeChild |= child != Sentinel() && !Freed.count(child);
    Freed.insert(node);
    delete static_cast<int*>(node->Data);
    TCustomRBTree::FreeNode(node);
  }
};

std::u16string KeyOf(int i) { return Utf8ToWide("key" + std::to_string(100000 + i)); }

} // namespace

TEST(RBTree, FindDuplicateAndPostOrderClear) {
  TIntTree tree;
  EXPECT_EQ(tree.GetRoot(), TCustomRBTree::Sentinel());
  for (int k = 0; k < 100; ++k)
    tree.Add((k * 37) % 100);
  int key = 42;
  TRBNode probe;
  probe.Data = &key;
  ASSERT_NE(tree.Find(&probe), nullptr);
  EXPECT_EQ(TIntTree::Key(tree.Find(&probe)), 42);
  key = 100;
  EXPECT_EQ(tree.Find(&probe), nullptr);

  try {
    tree.Add(8);
    FAIL() << "duplicate accepted";
  } catch (const ERBTree& e) {
    EXPECT_EQ(e.Message(), "Duplicate key!");
  }
  CheckTree(tree, TIntTree::CompareInts, 100);

  tree.Clear();
  EXPECT_EQ(tree.GetRoot(), TCustomRBTree::Sentinel());
  EXPECT_EQ(tree.Freed.size(), 100u);
  EXPECT_FALSE(tree.FreedBeforeChild);
  for (int k = 0; k < 10; ++k)
    tree.Add(k);
  CheckTree(tree, TIntTree::CompareInts, 10);
}

TEST(RBTree, AscendingDescendingAndRandomInsertionStayBalanced) {
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
    for (int i = 0; i < n; i += 7) {
      const TNameValuePair* pair = table.Find(KeyOf(i));
      ASSERT_NE(pair, nullptr) << i;
      EXPECT_EQ(pair->Value, KeyOf(-i));
    }
    EXPECT_EQ(table.Find(KeyOf(n)), nullptr);
  }
}

TEST(NameValueTree, CaseDuplicatesClearAndRefill) {
  TNameValueTree table;
  EXPECT_EQ(table.Find(u"Next"), nullptr);
  table.Add(u"Next", u"Volgende");
  table.Add(u"next", u"volgende");
  table.Add(u"", u"empty");
  EXPECT_EQ(table.Find(u"next")->Value, u"volgende");
  EXPECT_EQ(table.Find(u"Next")->Value, u"Volgende");
  EXPECT_EQ(table.Find(u"")->Value, u"empty");
  EXPECT_EQ(table.Find(u"NEXT"), nullptr);

  try {
    table.Add(u"Next", u"Anders");
    FAIL() << "duplicate accepted";
  } catch (const ERBTree&) {
    FAIL() << "the tree's own error reached the caller";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Next");
  }
  EXPECT_EQ(table.Find(u"Next")->Value, u"Volgende");
  CheckTree(table, ComparePairs, 3);

  table.Clear();
  EXPECT_EQ(table.Find(u"Next"), nullptr);
  table.Add(u"Next", u"Verder");
  EXPECT_EQ(table.Find(u"Next")->Value, u"Verder");
  CheckTree(table, ComparePairs, 1);
}

// Texts that a locale may weigh alike or partly ignore: the order must still
// be total and call equal only keys with the same code units.
TEST(CompareKeys, TotalOrderEqualOnlyForEqualCodeUnits) {
  const std::vector<std::u16string> keys = {u"",
                                            u"a",
                                            u"A",
                                            u"b",
                                            u"B",
                                            u"aB",
                                            u"Ab",
                                            u"a-b",
                                            u"ab",
                                            u"co-op",
                                            u"coop",
                                            u"\u00E9",
                                            u"e\u0301",
                                            u"E",
                                            u"\u00DF",
                                            u"ss",
                                            u"a\u00AD",
                                            u"a\u200B",
                                            std::u16string(u"a\0b", 3),
                                            u"\U0001F600",
                                            u"10",
                                            u"9"};
  for (const auto& a : keys) {
    for (const auto& b : keys) {
      int ab = CompareKeys(a, b);
      EXPECT_TRUE(ab == -1 || ab == 0 || ab == 1);
      EXPECT_EQ(ab, -CompareKeys(b, a));
      EXPECT_EQ(ab == 0, &a == &b) << WideToUtf8(a) << " / " << WideToUtf8(b);
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
