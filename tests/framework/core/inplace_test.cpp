#include "framework/core/inplace.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "framework/core/inplaceimpl.h"

namespace {

// Counts live objects, so that every construction is matched by one destruction.
struct Counted {
    static inline int live = 0;
    std::string text = "made";
    Counted() { ++live; }
    Counted(const Counted& other) : text(other.text) { ++live; }
    Counted& operator=(const Counted&) = default;
    ~Counted() { --live; }
};

// Needs more than a pointer's alignment: the room must still hold it correctly aligned.
struct alignas(16) Wide {
    std::uint64_t a = 1, b = 2;
};

// An owner as the public headers have them: the held value reached only through TInPlace.
struct Owner {
    fw::TInPlace<Counted, sizeof(Counted)> held;
};

TEST(InPlace, ConstructsCopiesAssignsAndDestroysOnce) {
    ASSERT_EQ(Counted::live, 0);
    {
        Owner a;
        EXPECT_EQ(Counted::live, 1);
        EXPECT_EQ(a.held->text, "made");
        a.held->text = "first";

        Owner b(a);  // a copy of its own, not shared storage
        EXPECT_EQ(Counted::live, 2);
        EXPECT_EQ(b.held->text, "first");
        b.held->text = "second";
        EXPECT_EQ(a.held->text, "first");

        a = b;  // assigns into the live object: no construction, no destruction
        EXPECT_EQ(Counted::live, 2);
        EXPECT_EQ(a.held->text, "second");
        EXPECT_NE(&*a.held, &*b.held);
        const Owner& c = a;
        EXPECT_EQ(c.held->text, "second");
    }
    EXPECT_EQ(Counted::live, 0);
}

TEST(InPlace, KeepsTheValueInsideItsOwnerAligned) {
    fw::TInPlace<Wide, sizeof(Wide), alignof(Wide)> w;
    auto at = reinterpret_cast<std::uintptr_t>(&*w);
    EXPECT_EQ(at % alignof(Wide), 0u);
    // The value lives in the holder itself: no allocation elsewhere.
    EXPECT_EQ(at, reinterpret_cast<std::uintptr_t>(&w));
    EXPECT_EQ(w->a, 1u);
    EXPECT_EQ(w->b, 2u);
    EXPECT_EQ(sizeof(w), sizeof(Wide));
}

}  // namespace
