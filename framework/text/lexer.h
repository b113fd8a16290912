#pragma once
// The component text's tokens: identifiers (dotted), integers, floating-point numbers,
// strings (quoted pieces and #codes joined), single-character symbols, and the hex digits
// of a binary value. Every token knows its line.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

enum class Tok { End, Ident, Int, Float, String, Symbol };

// Whether s reads as exactly one identifier token (dotted ones included).
bool IsIdentifier(std::string_view s);

struct Token {
    Tok kind = Tok::End;
    std::string text;  // identifier, symbol or string contents
    int64_t integer = 0;
    double number = 0;
    int line = 1;
};

class Lexer {
  public:
    explicit Lexer(std::string_view s) : s_(s) { Next(); }

    const Token& Peek() const { return tok_; }
    Token Take() {
        Token t = tok_;
        Next();
        return t;
    }
    [[noreturn]] void Fail(const std::string& what, int line) const;
    [[noreturn]] void Fail(const std::string& what) const { Fail(what, tok_.line); }

    // With "{" the current token: the hex digits after it up to "}", across lines.
    std::vector<uint8_t> TakeHex();

  private:
    void SkipBlanks();
    void Next();
    // Each reads one token of its kind starting at p and returns where it ends.
    size_t LexIdent(size_t p);
    size_t LexNumber(size_t p);
    size_t LexString(size_t p);
    size_t LexQuoted(size_t p);
    size_t LexCharCode(size_t p);

    std::string_view s_;
    size_t pos_ = 0;
    size_t tokEnd_ = 0;
    int line_ = 1;
    Token tok_;
};

}  // namespace fw
