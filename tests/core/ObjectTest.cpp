#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <thread>
#include <vector>

using namespace EKCommonNS;

namespace {

// Stand-ins for classes of later layers, declared with the same identity macro so that the
// ancestor chains of the type table can be checked now.
struct EKNode : EKRCObject {
  EK_TYPE_IDENTITY(EKNode, EKRCObject)
};
struct EKAttr : EKNode {
  EK_TYPE_IDENTITY(EKAttr, EKNode)
};
struct EKElement : EKNode {
  EK_TYPE_IDENTITY(EKElement, EKNode)
};
struct Element : EKElement {
  EK_TYPE_IDENTITY(Element, EKElement)
};
struct ElementNS : Element {
  EK_TYPE_IDENTITY(ElementNS, Element)
};

int g_destroyed = 0;
struct Counted : EKRCObject {
  EK_TYPE_IDENTITY(EKValueArray, EKRCObject)
  ~Counted() override { ++g_destroyed; }
};

TEST(TypeIdentity, ChainsAnswerOwnAndAncestorIds) {
  // The numbers are the ones hosts compare against.
  ElementNS elementNS;
  for (unsigned id : {0x92C5C0B8u, 0x883D36C4u, 0x9B60777Du, 0xFF72074Au, 0xD18D040Au, 0xDF537371u})
    EXPECT_TRUE(elementNS.isA(id)) << std::hex << id;
  const EKElement element;
  EXPECT_TRUE(element.isA(EKNode::getStaticTypeID()) && element.isA(EKObjectBase::getStaticTypeID()));
  EXPECT_FALSE(element.isA(EKAttr::getStaticTypeID()) || element.isA(Element::getStaticTypeID()));
  EXPECT_EQ(elementNS.getTypeID(), 0x92C5C0B8u);
  EXPECT_EQ(elementNS.getTypeName(), UnicodeString(u"ElementNS"));

  EKObjectBase* base = &elementNS;
  EXPECT_EQ(ekCast<Element>(base), static_cast<Element*>(&elementNS));
  EXPECT_EQ(ekCast<EKAttr>(base), nullptr);
  EXPECT_EQ(ekCast<EKAttr>(static_cast<EKObjectBase*>(nullptr)), nullptr);
}

TEST(TypeIdentity, TableIdsAreDistinct) {
  const std::array<unsigned, 43> ids = {
      EKTypeID::EKObjectBase, EKTypeID::EKRCObject, EKTypeID::EKNameTable, EKTypeID::EKNamedValueMap,
      EKTypeID::EKValueArray, EKTypeID::EKNode, EKTypeID::EKAttr, EKTypeID::AttrNS, EKTypeID::EKDocument,
      EKTypeID::EKDocumentFragment, EKTypeID::EKElement, EKTypeID::Element, EKTypeID::ElementNS,
      EKTypeID::EKTextNode, EKTypeID::EKProcessingInstruction, EKTypeID::EKNodeIterable,
      EKTypeID::EKNodeList, EKTypeID::ChildNodeList, EKTypeID::TreeNodeList, EKTypeID::EKNamedNodeMap,
      EKTypeID::AttrNodeMap, EKTypeID::EKNamespaceManager, EKTypeID::EKNamespaceMap,
      EKTypeID::EKXmlParser, EKTypeID::EKXmlParserImpl, EKTypeID::EKMSXmlParser,
      EKTypeID::EKXmlSerializer, EKTypeID::EKXmlSerializerImpl, EKTypeID::EKXmlCatalogs,
      EKTypeID::EKXmlCatalogsImpl, EKTypeID::EKZipEntry, EKTypeID::EKZipFileEntry,
      EKTypeID::EKCssParser, EKTypeID::EKCssParserImpl, EKTypeID::SelectorDeclarationsPair,
      EKTypeID::EKCssRules, EKTypeID::EKCssRulesImpl, EKTypeID::EKCssRulesStylesheet,
      EKTypeID::EKCssMediaQuery, EKTypeID::EKCssMediaQueryImpl, EKTypeID::EKCssMediaQueryList,
      EKTypeID::EKCssPageRuleList, EKTypeID::EKCssDeclarationsList};
  EXPECT_EQ(std::set<unsigned>(ids.begin(), ids.end()).size(), ids.size());
}

TEST(RefCount, TransitionsThroughPtrAndManualCalls) {
  g_destroyed = 0;
  auto* object = new Counted;
  EXPECT_EQ(object->getRefCount(), 0);
  {
    EKPtr<Counted> first(object);
    EXPECT_EQ(object->getRefCount(), 1);
    EKPtr<Counted> second = first;
    EXPECT_EQ(object->getRefCount(), 2);
    EKPtr<EKRCObject> widened = second;
    EXPECT_EQ(object->getRefCount(), 3);
    EKPtr<Counted> moved = std::move(second);
    EXPECT_EQ(second.get(), nullptr);
    EXPECT_EQ(object->getRefCount(), 3);
    EKPtr<Counted>& alias = first;
    first = alias; // self-assignment keeps the object
    EXPECT_EQ(object->getRefCount(), 3);
  }
  EXPECT_EQ(g_destroyed, 1);

  auto* kept = new Counted;
  kept->addRef();
  EXPECT_EQ(kept->removeRef(), 0);
  EXPECT_EQ(g_destroyed, 1) << "removeRef never deletes";
  kept->addRef();
  EXPECT_EQ(kept->release(), 0);
  EXPECT_EQ(g_destroyed, 2);

  // Reassigning drops the old object; a copy of an object starts unreferenced.
  EKPtr<Counted> p(new Counted);
  Counted copy(*p);
  EXPECT_EQ(copy.getRefCount(), 0);
  p = new Counted;
  EXPECT_EQ(g_destroyed, 3);
  p = nullptr;
  EXPECT_EQ(g_destroyed, 4);
}

TEST(RefCount, ConcurrentCopiesDeleteExactlyOnce) {
  g_destroyed = 0;
  for (int round = 0; round < 20; ++round) {
    EKPtr<Counted> shared(new Counted);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
      threads.emplace_back([copy = shared]() mutable {
        for (int i = 0; i < 1000; ++i) {
          EKPtr<Counted> local = copy;
          local = nullptr;
        }
      });
    shared = nullptr;
    for (auto& thread : threads)
      thread.join();
  }
  EXPECT_EQ(g_destroyed, 20);
}

TEST(Locks, RecursiveLibraryLockAndNullLock) {
  {
    EKMutex outer;
    EKMutex inner; // the same thread takes the library-wide lock again
    EKMutex none(static_cast<EKLock*>(nullptr));
  }
  EKLock lock;
  int counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 1000; ++i) {
        EKMutex guard(lock);
        EKMutex again(&lock);
        ++counter;
      }
    });
  for (auto& thread : threads)
    thread.join();
  EXPECT_EQ(counter, 4000);

  int value = 0;
  std::vector<std::thread> adders;
  for (int t = 0; t < 4; ++t)
    adders.emplace_back([&] {
      for (int i = 0; i < 1000; ++i) {
        EKMutex::interlockedIncrement(value);
        EKMutex::interlockedIncrement(value);
        EKMutex::interlockedDecrement(value);
      }
    });
  for (auto& thread : adders)
    thread.join();
  EXPECT_EQ(value, 4000);
}

} // namespace
