// The binary form of a component text: every field of every value kind comes back as the
// text gave it, and damaged data is refused with EParserError, never read past its end.
#include "framework/text/binaryform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "framework/core/exceptions.h"
#include "framework/text/componenttext.h"

using namespace fw;

namespace {

const char* const kText =
    "object Form1: TForm\n"
    "  Left = -4611686018427387904\n  Top = 9223372036854775807\n  Ratio = 1.25\n"
    "  Caption = ''\n  Hint = 'a'#13'b'\n  Style = [fsBold, fsItalic]\n  Empty = []\n"
    "  Lines = (\n    'x'\n    (1\n    -2)\n    y)\n  Data = {00FF7F}\n"
    "  Items = <\n    item\n      Name = Z\n    end\n    item\n    end>\n"
    "  object Panel1: TPanel\n    object Label1: TLabel\n      Tag = 0\n    end\n  end\n"
    "end\n";

// Every field, line numbers included.
std::string Dump(const TextValue& v) {
    std::string s = std::to_string(static_cast<int>(v.type)) + "@" + std::to_string(v.line) + ":" +
                    std::to_string(v.integer) + "," + std::to_string(v.number) + "," + v.text +
                    "[" + std::string(v.Data().begin(), v.Data().end()) + "]";
    for (const std::string& m : v.members) s += " m:" + m;
    for (const TextValue& e : v.elements) s += " (" + Dump(e) + ")";
    for (const CollectionItemText& item : v.items) {
        s += " item@" + std::to_string(item.line);
        for (const PropertyLine& p : item.props) s += " " + p.path + "=" + Dump(p.Value());
    }
    return s;
}
std::string Dump(const ObjectText& o) {
    std::string s = o.name + ":" + o.className + "@" + std::to_string(o.line) + "\n";
    for (const PropertyLine& p : o.props)
        s += p.path + "@" + std::to_string(p.line) + "=" + Dump(p.Value()) + "\n";
    for (const ObjectText& child : o.children) s += Dump(child);
    return s + "end\n";
}

TEST(BinaryForm, KeepsEveryFieldOfEveryValueKind) {
    const ObjectText tree = ParseComponentText(kText);
    const std::string binary = WriteBinaryForm(tree);
    EXPECT_TRUE(IsBinaryForm(binary));
    EXPECT_FALSE(IsBinaryForm(kText));
    EXPECT_EQ(Dump(ReadBinaryForm(binary)), Dump(tree));
    EXPECT_EQ(Dump(ReadDescriptionTree(binary)), Dump(ReadDescriptionTree(kText)));
}

// Byte runs start a multiple of four bytes into the form, whatever comes before them, so
// that pictures can be shown where they lie; the filling must be zeros.
TEST(BinaryForm, RunsStartAlignedAfterZeroFilling) {
    std::set<int> paddings;
    for (std::string caption : {"", "a", "ab", "abc"}) {
        SCOPED_TRACE(caption.size());
        ObjectText tree = ParseComponentText("object F: TForm\n  Caption = '" + caption +
                                             "'\n  Data = {00FF7F}\nend\n");
        const std::string binary = WriteBinaryForm(tree);
        const std::span<const uint8_t> run = ReadBinaryForm(binary).props.at(1).Value().Data();
        const size_t at =
            static_cast<size_t>(reinterpret_cast<const char*>(run.data()) - binary.data());
        EXPECT_EQ(at % 4, 0u);
        EXPECT_EQ(binary.substr(at, 3), std::string("\x00\xFF\x7F", 3));
        int pads = 0;  // the count (3) stands before them
        for (size_t pad = at; binary[pad - 1] == '\0'; --pad, ++pads) {
            std::string damaged = binary;
            damaged[pad - 1] = 1;
            EXPECT_THROW(ReadBinaryForm(damaged), EParserError);
        }
        paddings.insert(pads);
    }
    EXPECT_EQ(paddings, (std::set<int>{0, 1, 2, 3}));
}

TEST(BinaryForm, RefusesEveryTruncationAndSurvivesEveryChangedByte) {
    const std::string binary = WriteBinaryForm(ParseComponentText(kText));
    for (size_t n = 0; n < binary.size(); ++n)
        EXPECT_THROW(ReadBinaryForm(binary.substr(0, n)), EParserError) << n << " bytes";
    EXPECT_THROW(ReadBinaryForm(binary + '\0'), EParserError);
    for (size_t at = 0; at < binary.size(); ++at)
        for (char b : {'\x00', '\x7F', '\x80', '\xFF'}) {
            std::string damaged = binary;
            damaged[at] = b;
            try {
                ReadBinaryForm(damaged);  // a changed name or number may still read
            } catch (const EParserError&) {
            }
        }
}

// What the binary form holds is written back out as text when a window is saved: a name or
// number no text could spell would be written as text that no longer parses.
TEST(BinaryForm, RefusesWhatTheTextCouldNotSpell) {
    const auto damage = [](void (*change)(ObjectText&)) {
        ObjectText tree = ParseComponentText(kText);
        change(tree);
        return WriteBinaryForm(tree);
    };
    const struct {
        const char* name;
        void (*change)(ObjectText&);
    } cases[] = {
        {"handler name",
         [](ObjectText& t) {
             t.props[0].value[0].type = TextValue::Type::Identifier;
             t.props[0].value[0].text =
                 "Pa\xD8"
                 "el";
         }},
        {"property name", [](ObjectText& t) { t.props[0].path = "Left Top"; }},
        {"class name", [](ObjectText& t) { t.children[0].className = "1Panel"; }},
        {"object name", [](ObjectText& t) { t.children[0].name = "Panel-1"; }},
        {"set member", [](ObjectText& t) { t.props[5].value[0].members[0] = ""; }},
        {"number", [](ObjectText& t) { t.props[2].value[0].number = std::nan(""); }},
    };
    for (const auto& c : cases)
        EXPECT_THROW(ReadBinaryForm(damage(c.change)), EParserError) << c.name;
    ObjectText unnamed = ParseComponentText(kText);
    unnamed.children[0].name.clear();  // "object TPanel" has no name
    EXPECT_NO_THROW(ReadBinaryForm(WriteBinaryForm(unnamed)));
}

TEST(BinaryForm, NestsAsDeepAsTheTextMayAndNoDeeper) {
    auto lists = [](int n) {
        return "object A: TForm\n  L = " + std::string(n, '(') + std::string(n, ')') + "\nend\n";
    };
    const ObjectText deepest = ParseComponentText(lists(63));  // and the object: 64 levels
    EXPECT_EQ(Dump(ReadBinaryForm(WriteBinaryForm(deepest))), Dump(deepest));
    EXPECT_THROW(ParseComponentText(lists(64)), EParserError);
    ObjectText deeper = deepest;
    TextValue& outer = deeper.props.front().value.front();
    outer.elements = {outer};
    EXPECT_THROW(ReadBinaryForm(WriteBinaryForm(deeper)), EParserError);
}

}  // namespace
