// Malformed or unfitting descriptions give errors that name the line, never a crash.
#include <gtest/gtest.h>

#include "framework/core/classbuilder.h"
#include "framework/core/classregistry.h"
#include "framework/core/exceptions.h"
#include "framework/text/componenttext.h"

using namespace fw;

namespace {

class TThing : public TComponent {
    FW_CLASS(TThing)
  public:
    explicit TThing(TComponent* owner) : TComponent(owner) {}
    int Count() const { return count_; }
    void SetCount(int v) { count_ = v; }
    bool Flag() const { return flag_; }
    void SetFlag(bool v) { flag_ = v; }
    TThing* Peer() const { return peer_; }
    void SetPeer(TThing* p) { peer_ = p; }
    TSenderEvent OnPing;

  private:
    int count_ = 0;
    bool flag_ = false;
    TThing* peer_ = nullptr;
};

const TClassInfo& TThing::StaticClassInfo() {
    static const TClassInfo info = ClassBuilder<TThing>("TThing", &TComponent::StaticClassInfo())
                                       .Integer("Count", &TThing::Count, &TThing::SetCount, 0)
                                       .Boolean("Flag", &TThing::Flag, &TThing::SetFlag, false)
                                       .Component("Peer", &TThing::Peer, &TThing::SetPeer)
                                       .Event("OnPing", &TThing::OnPing)
                                       .Creatable()
                                       .Build();
    return info;
}

struct BadCase {
    const char* what;
    const char* text;
    const char* line;  // the "Line N:" the message must start with
    const char* fragment;
};

std::string Message(const char* text, int* line = nullptr) {
    RegisterClass(TThing::StaticClassInfo());
    TThing root(nullptr);
    try {
        ReadRootComponent(root, text);
    } catch (const ETextError& e) {
        if (line) *line = e.Line();
        return e.what();
    }
    return "no error";
}

TEST(TextErrors, EachKindNamesItsLine) {
    const BadCase cases[] = {
        {"missing =", "object A: TThing\n  Count 5\nend\n", "Line 2:", "'=' expected"},
        {"unterminated string", "object A: TThing\n  Name = 'x\nend\n",
         "Line 2:", "Unterminated string"},
        {"missing end", "object A: TThing\n  Count = 5\n", "Line 3:", "'end' expected"},
        {"not an object", "thing A: TThing\nend\n", "Line 1:", "'object' expected"},
        {"bad binary", "object A: TThing\n  Count = {12G4}\nend\n",
         "Line 2:", "Invalid binary value"},
        {"odd binary", "object A: TThing\n  Count = {123}\nend\n",
         "Line 2:", "Invalid binary value"},
        {"open list", "object A: TThing\n  Count = (\n  1\n", "Line 4:", "')' expected"},
        {"bad set", "object A: TThing\n  Count = [a b]\nend\n", "Line 2:", "',' expected"},
        {"unknown property", "object A: TThing\n  Count = 1\n  Colour = 2\nend\n",
         "Line 3:", "Error reading A.Colour: Property Colour does not exist"},
        {"wrong kind", "object A: TThing\n  Count = 'five'\nend\n",
         "Line 2:", "Invalid property value"},
        {"unknown identifier", "object A: TThing\n  Flag = Maybe\nend\n",
         "Line 2:", "Invalid property value"},
        {"unknown class", "object A: TThing\n  object B: TNoSuchThing\n  end\nend\n",
         "Line 2:", "Class TNoSuchThing not found"},
        {"unknown handler", "object A: TThing\n  OnPing = Nowhere\nend\n",
         "Line 2:", "Method Nowhere not found"},
        {"unknown reference",
         "object A: TThing\n  object B: TThing\n    Peer = Nobody\n  end\nend\n",
         "Line 3:", "Component Nobody not found"},
        {"duplicate name",
         "object A: TThing\n  object B: TThing\n  end\n  object b: TThing\n  end\nend\n",
         "Line 4:", "already exists"},
        {"trailing text", "object A: TThing\nend\nend\n", "Line 3:", "End of text expected"},
        {"integer overflow", "object A: TThing\n  Count = 99999999999999999999\nend\n",
         "Line 2:", "Invalid integer"},
        {"bad character code", "object A: TThing\n  Name = #999\nend\n",
         "Line 2:", "Invalid character code"},
    };
    for (const BadCase& c : cases) {
        int line = -1;
        std::string m = Message(c.text, &line);
        EXPECT_EQ(m.rfind(c.line, 0), 0u) << c.what << ": " << m;
        // The line is a field of the error; the message is made from it.
        EXPECT_EQ("Line " + std::to_string(line) + ":", c.line) << c.what;
        EXPECT_NE(m.find(c.fragment), std::string::npos) << c.what << ": " << m;
    }
}

TEST(TextErrors, EmptyAndTruncatedTextNeverCrash) {
    const std::string full =
        "object A: TThing\n  Count = 5\n  object B: TThing\n    Flag = True\n  end\nend\n";
    for (size_t n = 0; n + 1 < full.size(); ++n) {
        std::string m = Message(full.substr(0, n).c_str());
        EXPECT_EQ(m.rfind("Line ", 0), 0u) << n << ": " << m;
    }
    EXPECT_EQ(Message(full.c_str()), "no error");
}

}  // namespace
