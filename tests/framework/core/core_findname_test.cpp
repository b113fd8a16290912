// Finding a component of an owner, or the owner itself, by the name a description or a
// stored key gives.
#include <gtest/gtest.h>

#include <stdexcept>

#include "framework/core/classes.h"
#include "framework/core/classregistry.h"

using namespace fw;
using NameCase = TComponent::NameCase;

namespace {

class FindByName : public ::testing::Test {
  protected:
    FindByName() {
        owner_.SetName("Form1");
        label_ = new TComponent(&owner_);
        label_->SetName("Label1");
    }
    TComponent owner_{nullptr};
    TComponent* label_;
};

TEST_F(FindByName, OwnedComponentsAreFoundWithoutCaseEitherWay) {
    for (NameCase self : {NameCase::Ignored, NameCase::Exact}) {
        EXPECT_EQ(owner_.FindComponentOrSelf("Label1", self), label_);
        EXPECT_EQ(owner_.FindComponentOrSelf("LABEL1", self), label_);
        EXPECT_EQ(owner_.FindComponentOrSelf("Label2", self), nullptr);
    }
}

TEST_F(FindByName, TheOwnNameMatchesWithoutCaseUnlessExactIsAsked) {
    EXPECT_EQ(owner_.FindComponentOrSelf("Form1"), &owner_);
    EXPECT_EQ(owner_.FindComponentOrSelf("form1"), &owner_);
    EXPECT_EQ(owner_.FindComponentOrSelf("Form1", NameCase::Exact), &owner_);
    EXPECT_EQ(owner_.FindComponentOrSelf("form1", NameCase::Exact), nullptr);
}

TEST_F(FindByName, AnOwnedComponentWinsOverTheOwnerOfTheSameName) {
    // A child may carry its owner's name in another case: the child is what the name means.
    auto* twin = new TComponent(&owner_);
    twin->SetName("FORM1");
    EXPECT_EQ(owner_.FindComponentOrSelf("Form1"), twin);
    EXPECT_EQ(owner_.FindComponentOrSelf("Form1", NameCase::Exact), twin);
}

TEST_F(FindByName, AnUnnamedChildIsNeverFoundByAnEmptyName) {
    new TComponent(&owner_);  // no name
    EXPECT_EQ(owner_.FindComponentOrSelf(""), nullptr);
}

// A class registered by name is described the first time it is looked up, once; a name that
// is not the class's own is a fault of the program, not a class that loads under two names.
int describedTimes = 0;
const TClassInfo& DescribeComponent() {
    ++describedTimes;
    return TComponent::StaticClassInfo();
}

TEST(ClassRegistry, AClassIsDescribedWhenFirstLookedUpAndOnlyUnderItsOwnName) {
    RegisterClasses({{"TComponent", &DescribeComponent}, {"TNotComponent", &DescribeComponent}});
    EXPECT_EQ(describedTimes, 0);
    EXPECT_EQ(FindClass("tcomponent"), &TComponent::StaticClassInfo());
    EXPECT_EQ(FindClass("TComponent"), &TComponent::StaticClassInfo());
    EXPECT_EQ(describedTimes, 1);
    EXPECT_THROW(FindClass("TNotComponent"), std::logic_error);
    UnregisterClass("TComponent");
    UnregisterClass("TNotComponent");
}

}  // namespace

// Names match without case whatever the locale; the order of the name maps folds letters the
// same way, so "Item" sorts among the i's, not before the brackets.
TEST(NameText, FoldsAsciiLettersOnly) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
        bool less;
    };
    for (const Case& c : {Case{"Items", "ITEMS", true, false}, Case{"Item", "Items", false, true},
                          Case{"Items", "Item", false, false}, Case{"[", "a", false, true},
                          Case{"Z", "[", false, false}, Case{"a_1", "A_1", true, false},
                          Case{"", "", true, false}}) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(SameText(c.a, c.b), c.same);
        EXPECT_EQ(NameLess()(c.a, c.b), c.less);
    }
}
