#include "model/VoTree_impl.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class TIdNode : public TVoNode {
public:
  explicit TIdNode(int32_t id) { SetNodeId(id); }
};

IVoNodePtr Node(int32_t id = 0) { return std::make_shared<TIdNode>(id); }

// The children of a node, walked forward and checked against the back links.
std::vector<IVoNodePtr> Children(const IVoNodePtr& parent) {
  std::vector<IVoNodePtr> out;
  IVoNodePtr previous;
  for (IVoNodePtr c = parent->GetFirstChild(); c; c = c->GetNext()) {
    EXPECT_EQ(c->GetParent(), parent);
    EXPECT_EQ(c->GetPrevious(), previous);
    EXPECT_EQ(c->IsFirst(), previous == nullptr);
    previous = c;
    out.push_back(c);
  }
  EXPECT_EQ(parent->GetLastChild(), previous);
  EXPECT_EQ(parent->HasChildren(), !out.empty());
  return out;
}

void ExpectInvalidState(const IVoNodePtr& parent, const IVoNodePtr& node) {
  try {
    parent->AddChild(node);
    ADD_FAILURE() << "AddChild was accepted";
  } catch (const EVoTree& e) {
    EXPECT_EQ(e.Message(), "Invalid state!");
    EXPECT_STREQ(e.ClassName(), "EVoTree");
  }
}

} // namespace

TEST(VoTree, AddRemoveAndAddElsewhere) {
  IVoNodePtr a = Node(), b = Node(), x = Node();
  a->AddChild(x);
  ExpectInvalidState(a, x);
  ExpectInvalidState(b, x);
  EXPECT_EQ(Children(a).size(), 1u);
  EXPECT_EQ(x->Remove(), x);
  EXPECT_FALSE(a->HasChildren());
  EXPECT_EQ(a->GetFirstChild(), nullptr);
  EXPECT_EQ(a->GetLastChild(), nullptr);
  EXPECT_EQ(x->GetParent(), nullptr);
  b->AddChild(x);
  EXPECT_EQ(Children(b), std::vector<IVoNodePtr>{x});
}

TEST(VoTree, RefusesCyclesAndKeepsBothTrees) {
  IVoNodePtr root = Node(), child = Node(), grandchild = Node();
  root->AddChild(child);
  child->AddChild(grandchild);
  ExpectInvalidState(root, root);
  ExpectInvalidState(grandchild, root);
  ExpectInvalidState(child, child);
  ExpectInvalidState(root, nullptr);
  EXPECT_EQ(Children(root), std::vector<IVoNodePtr>{child});
  EXPECT_EQ(Children(child), std::vector<IVoNodePtr>{grandchild});
  EXPECT_FALSE(grandchild->HasChildren());
  EXPECT_EQ(root->GetParent(), nullptr);
}

TEST(VoTree, RemoveFromEveryPosition) {
  IVoNodePtr p = Node();
  std::vector<IVoNodePtr> n;
  for (int i = 0; i < 5; ++i) {
    n.push_back(Node(i));
    p->AddChild(n.back());
  }
  n[0]->Remove(); // first of several
  EXPECT_EQ(Children(p), (std::vector<IVoNodePtr>{n[1], n[2], n[3], n[4]}));
  EXPECT_TRUE(n[1]->IsFirst());
  n[2]->Remove(); // middle
  EXPECT_EQ(Children(p), (std::vector<IVoNodePtr>{n[1], n[3], n[4]}));
  n[4]->Remove(); // last: the next child goes behind n[3]
  EXPECT_TRUE(n[3]->IsLast());
  p->AddChild(n[0]);
  EXPECT_EQ(Children(p), (std::vector<IVoNodePtr>{n[1], n[3], n[0]}));
  for (const IVoNodePtr& removed : {n[2], n[4]}) {
    EXPECT_EQ(removed->GetParent(), nullptr);
    EXPECT_EQ(removed->GetPrevious(), nullptr);
    EXPECT_EQ(removed->GetNext(), nullptr);
  }
  // A detached subtree keeps its children.
  n[4]->AddChild(Node(9));
  n[3]->AddChild(n[4]);
  n[3]->Remove();
  EXPECT_EQ(n[3]->GetFirstChild(), n[4]);
  EXPECT_EQ(n[4]->GetFirstChild()->GetId(), 9);
}

TEST(VoTree, LinksWrittenDirectlyDoNotMisleadAppending) {
  IVoNodePtr p = Node(), a = Node(1), b = Node(2);
  p->AddChild(a);
  p->AddChild(b);
  // Rewire through the link interface: b is cut off, a is the only child.
  std::dynamic_pointer_cast<IVoNode_impl>(a)->SetNext(nullptr);
  std::dynamic_pointer_cast<IVoNode_impl>(b)->SetParent(nullptr);
  std::dynamic_pointer_cast<IVoNode_impl>(b)->SetPrevious(nullptr);
  IVoNodePtr c = Node(3);
  p->AddChild(c);
  EXPECT_EQ(Children(p), (std::vector<IVoNodePtr>{a, c}));
}

TEST(VoTree, RootAndLevelQueries) {
  IVoNodePtr root = Node(), child = Node(), grandchild = Node();
  EXPECT_TRUE(root->IsFirst());
  EXPECT_TRUE(root->IsLast());
  EXPECT_FALSE(root->HasNext());
  EXPECT_EQ(root->Remove(), root);
  root->AddChild(child);
  child->AddChild(grandchild);
  EXPECT_EQ(grandchild->GetLevel(), 2);
  EXPECT_EQ(root->GetLevel(), 0);
  EXPECT_TRUE(grandchild->HasAncestor(root));
  EXPECT_TRUE(grandchild->HasAncestor(child));
  EXPECT_FALSE(grandchild->HasAncestor(grandchild));
  EXPECT_FALSE(root->HasAncestor(root));
  EXPECT_FALSE(child->HasAncestor(grandchild));
}

TEST(VoTree, FindNodeSearchesDescendantsInPreOrder) {
  //   r(5)
  //   +- a(1)
  //   |  +- a1(2)
  //   |  +- a2(3)
  //   +- b(2)
  //   +- c(5)
  IVoNodePtr r = Node(5), a = Node(1), a1 = Node(2), a2 = Node(3), b = Node(2), c = Node(5);
  r->AddChild(a);
  a->AddChild(a1);
  a->AddChild(a2);
  r->AddChild(b);
  r->AddChild(c);
  EXPECT_EQ(r->FindNode(2), a1) << "the deeper node comes first in pre-order";
  EXPECT_EQ(r->FindNode(3), a2);
  EXPECT_EQ(r->FindNode(5), c) << "the node itself is never a candidate";
  EXPECT_EQ(a->FindNode(5), nullptr) << "the search stays below the node";
  EXPECT_EQ(a2->FindNode(3), nullptr);
  EXPECT_EQ(r->FindNode(42), nullptr);
}

TEST(VoTree, DropsLongSiblingListsAndDeepChains) {
  std::weak_ptr<IVoNode> firstSibling, lastSibling, deepest;
  {
    IVoNodePtr root = Node();
    for (int i = 0; i < 100000; ++i) {
      IVoNodePtr n = Node(i);
      root->AddChild(n);
      if (i == 0)
        firstSibling = n;
      lastSibling = n;
    }
    EXPECT_EQ(root->GetLastChild()->GetId(), 99999);
    IVoNodePtr chain = Node();
    root->GetFirstChild()->AddChild(chain);
    for (int i = 0; i < 100000; ++i) {
      IVoNodePtr n = Node();
      chain->AddChild(n);
      chain = n;
    }
    deepest = chain;
  }
  EXPECT_TRUE(firstSibling.expired());
  EXPECT_TRUE(lastSibling.expired());
  EXPECT_TRUE(deepest.expired());
}

TEST(VoTree, ANodeHeldElsewhereOutlivesItsParent) {
  IVoNodePtr kept;
  std::weak_ptr<IVoNode> before, after, below;
  {
    IVoNodePtr root = Node();
    for (int i = 0; i < 3; ++i)
      root->AddChild(Node(i));
    before = root->GetFirstChild();
    kept = root->GetFirstChild()->GetNext();
    after = kept->GetNext();
    kept->AddChild(Node(7));
    below = kept->GetFirstChild();
  }
  EXPECT_TRUE(before.expired());
  EXPECT_FALSE(after.expired()) << "a kept node still owns its next sibling";
  EXPECT_FALSE(below.expired());
  EXPECT_EQ(kept->GetParent(), nullptr);
  EXPECT_EQ(kept->GetPrevious(), nullptr);
  // It lost its parent but not its sibling, so it is no root to be added.
  ExpectInvalidState(Node(), kept);
}
