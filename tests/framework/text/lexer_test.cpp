// The component text's tokens on their own.
#include "framework/text/lexer.h"

#include <gtest/gtest.h>

#include "framework/core/exceptions.h"

namespace fw {
namespace {

TEST(Lexer, TokensOfEveryKindWithTheirLines) {
    Lexer lex("object Form1.Font\r\n  Left = -12 2.5e-1\n  Caption = 'It''s'#13#10'x' <");
    Token t = lex.Take();
    EXPECT_EQ(t.kind, Tok::Ident);
    EXPECT_EQ(t.text, "object");
    t = lex.Take();
    EXPECT_EQ(t.text, "Form1.Font");  // dotted names are one identifier
    t = lex.Take();
    EXPECT_EQ(t.text, "Left");
    EXPECT_EQ(t.line, 2);
    EXPECT_EQ(lex.Take().text, "=");
    t = lex.Take();
    EXPECT_EQ(t.kind, Tok::Int);
    EXPECT_EQ(t.integer, -12);
    t = lex.Take();
    EXPECT_EQ(t.kind, Tok::Float);
    EXPECT_DOUBLE_EQ(t.number, 0.25);
    lex.Take();
    lex.Take();
    t = lex.Take();
    EXPECT_EQ(t.kind, Tok::String);
    EXPECT_EQ(t.text, "It's\r\nx");  // quoted pieces and character codes joined
    EXPECT_EQ(t.line, 3);
    t = lex.Take();
    EXPECT_EQ(t.kind, Tok::Symbol);
    EXPECT_EQ(t.text, "<");
    EXPECT_EQ(lex.Take().kind, Tok::End);
}

TEST(Lexer, HexDigitsAcrossLinesThenTheNextToken) {
    Lexer lex("{\n  0A ff\n  10}\nend");
    EXPECT_EQ(lex.Peek().text, "{");
    EXPECT_EQ(lex.TakeHex(), (std::vector<uint8_t>{0x0A, 0xFF, 0x10}));
    Token t = lex.Peek();
    EXPECT_EQ(t.text, "end");
    EXPECT_EQ(t.line, 4);
}

// Each malformed token fails with the line it stands on.
TEST(Lexer, ErrorsNameTheirLine) {
    auto lineOf = [](const char* text, bool hex = false) {
        try {
            Lexer lex(text);
            while (lex.Peek().kind != Tok::End) {
                if (hex && lex.Peek().text == "{") {
                    lex.TakeHex();
                } else {
                    lex.Take();
                }
            }
        } catch (const EParserError& e) {
            return e.Line();
        }
        return 0;
    };
    EXPECT_EQ(lineOf("a\n'open"), 2);
    EXPECT_EQ(lineOf("a\nb\n#256"), 3);
    EXPECT_EQ(lineOf("\n1.2.3e"), 2);
    EXPECT_EQ(lineOf("{\n0G}", true), 2);
    EXPECT_EQ(lineOf("{\n0A1}", true), 2);
    EXPECT_EQ(lineOf("{\n0A", true), 2);
}

}  // namespace
}  // namespace fw
