// Lexer and parser of the component text: text -> ObjectText tree.
#include <cctype>
#include <charconv>

#include "framework/core/classes.h"
#include "framework/text/componenttext.h"
#include "framework/core/exceptions.h"

namespace fw {

namespace {

enum class Tok { End, Ident, Int, Float, String, Symbol };

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
    [[noreturn]] void Fail(const std::string& what, int line) const {
        throw EParserError(what, line);
    }
    [[noreturn]] void Fail(const std::string& what) const { Fail(what, tok_.line); }

    // Hex digits up to "}" (the "{" was taken already), across lines.
    std::vector<uint8_t> TakeHex() {
        std::vector<uint8_t> out;
        pos_ = tokEnd_;
        int nibble = -1;
        for (;;) {
            if (pos_ >= s_.size()) Fail("'}' expected but end of text found", line_);
            char c = s_[pos_++];
            if (c == '\n') {
                ++line_;
                continue;
            }
            if (c == '}') break;
            if (c == ' ' || c == '\t' || c == '\r') continue;
            int v = HexValue(c);
            if (v < 0) Fail("Invalid binary value", line_);
            if (nibble < 0) {
                nibble = v;
            } else {
                out.push_back(static_cast<uint8_t>(nibble * 16 + v));
                nibble = -1;
            }
        }
        if (nibble >= 0) Fail("Invalid binary value", line_);
        Next();
        return out;
    }

private:
    static int HexValue(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    }

    void SkipBlanks() {
        while (pos_ < s_.size()) {
            char c = s_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++pos_;
            } else {
                break;
            }
        }
    }

    void Next() {
        pos_ = tokEnd_ > pos_ ? tokEnd_ : pos_;
        SkipBlanks();
        tok_ = Token{};
        tok_.line = line_;
        if (pos_ >= s_.size()) {
            tokEnd_ = pos_;
            return;
        }
        size_t p = pos_;
        char c = s_[p];
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            while (p < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[p])) ||
                                     s_[p] == '_' || s_[p] == '.'))
                ++p;
            tok_.kind = Tok::Ident;
            tok_.text = std::string(s_.substr(pos_, p - pos_));
        } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                   (c == '-' && p + 1 < s_.size() &&
                    std::isdigit(static_cast<unsigned char>(s_[p + 1])))) {
            ++p;
            bool isFloat = false;
            while (p < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[p])) ||
                                     s_[p] == '.' || s_[p] == 'e' || s_[p] == 'E' ||
                                     ((s_[p] == '-' || s_[p] == '+') &&
                                      (s_[p - 1] == 'e' || s_[p - 1] == 'E')))) {
                if (!std::isdigit(static_cast<unsigned char>(s_[p]))) isFloat = true;
                ++p;
            }
            std::string num(s_.substr(pos_, p - pos_));
            if (isFloat) {
                tok_.kind = Tok::Float;
                // from_chars reads "." whatever the user's locale says.
                auto r = std::from_chars(num.data(), num.data() + num.size(), tok_.number);
                if (r.ec != std::errc() || r.ptr != num.data() + num.size())
                    Fail("Invalid floating point number " + num);
            } else {
                tok_.kind = Tok::Int;
                auto r = std::from_chars(num.data(), num.data() + num.size(), tok_.integer);
                if (r.ec != std::errc() || r.ptr != num.data() + num.size())
                    Fail("Invalid integer value " + num);
            }
        } else if (c == '\'' || c == '#') {
            tok_.kind = Tok::String;
            // Pieces follow each other without separators; "+" joins pieces across lines.
            for (;;) {
                if (p < s_.size() && s_[p] == '\'') {
                    ++p;
                    for (;;) {
                        if (p >= s_.size() || s_[p] == '\n') Fail("Unterminated string");
                        if (s_[p] == '\'') {
                            if (p + 1 < s_.size() && s_[p + 1] == '\'') {
                                tok_.text += '\'';
                                p += 2;
                                continue;
                            }
                            ++p;
                            break;
                        }
                        tok_.text += s_[p++];
                    }
                } else if (p < s_.size() && s_[p] == '#') {
                    ++p;
                    size_t start = p;
                    while (p < s_.size() && std::isdigit(static_cast<unsigned char>(s_[p]))) ++p;
                    int code = 0;
                    auto r = std::from_chars(s_.data() + start, s_.data() + p, code);
                    if (start == p || r.ec != std::errc() || code < 0 || code > 255)
                        Fail("Invalid character code in string");
                    tok_.text += static_cast<char>(code);
                } else {
                    break;
                }
            }
        } else {
            tok_.kind = Tok::Symbol;
            tok_.text = std::string(1, c);
            ++p;
        }
        tokEnd_ = p;
        pos_ = p;
    }

    std::string_view s_;
    size_t pos_ = 0;
    size_t tokEnd_ = 0;
    int line_ = 1;
    Token tok_;
};

// Lists, collections and nested blocks deeper than this are refused: a damaged file must
// not be able to exhaust the stack.
constexpr int kMaxNesting = 64;

class Parser {
public:
    explicit Parser(std::string_view text) : lex_(text) {}

    ObjectText Root() {
        ObjectText o = Object();
        if (lex_.Peek().kind != Tok::End) lex_.Fail("End of text expected but " + Describe() + " found");
        return o;
    }

private:
    std::string Describe() const {
        const Token& t = lex_.Peek();
        switch (t.kind) {
            case Tok::End: return "end of text";
            case Tok::String: return "string";
            case Tok::Int: return "'" + std::to_string(t.integer) + "'";
            case Tok::Float: return "number";
            default: return "'" + t.text + "'";
        }
    }
    bool IsSymbol(const char* s) const {
        return lex_.Peek().kind == Tok::Symbol && lex_.Peek().text == s;
    }
    bool IsWord(const char* w) const {
        return lex_.Peek().kind == Tok::Ident && SameText(lex_.Peek().text, w);
    }
    void Expect(const char* sym) {
        if (!IsSymbol(sym)) lex_.Fail(std::string("'") + sym + "' expected but " + Describe() + " found");
        lex_.Take();
    }
    std::string ExpectIdent(const char* what) {
        if (lex_.Peek().kind != Tok::Ident) lex_.Fail(std::string(what) + " expected but " + Describe() + " found");
        return lex_.Take().text;
    }

    // Counts one level of nesting for as long as it lives.
    class Level {
    public:
        explicit Level(Parser& p) : p_(p) {
            if (++p_.depth_ > kMaxNesting)
                p_.lex_.Fail("Nesting deeper than " + std::to_string(kMaxNesting) + " levels");
        }
        ~Level() { --p_.depth_; }
        Level(const Level&) = delete;
        Level& operator=(const Level&) = delete;

    private:
        Parser& p_;
    };

    ObjectText Object() {
        Level level(*this);
        if (!(IsWord("object") || IsWord("inherited") || IsWord("inline")))
            lex_.Fail("'object' expected but " + Describe() + " found");
        ObjectText o;
        o.line = lex_.Take().line;
        std::string first = ExpectIdent("Identifier");
        if (IsSymbol(":")) {
            lex_.Take();
            o.name = first;
            o.className = ExpectIdent("Class name");
        } else {
            o.className = first;
        }
        for (;;) {
            if (IsWord("end")) {
                lex_.Take();
                return o;
            }
            if (IsWord("object") || IsWord("inherited") || IsWord("inline")) {
                o.children.push_back(Object());
                continue;
            }
            if (lex_.Peek().kind == Tok::End) lex_.Fail("'end' expected but end of text found");
            o.props.push_back(Property());
        }
    }

    PropertyLine Property() {
        PropertyLine p;
        p.line = lex_.Peek().line;
        p.path = ExpectIdent("Property name");
        Expect("=");
        p.value.push_back(Value());
        return p;
    }

    TextValue Value() {
        TextValue v;
        const Token& t = lex_.Peek();
        v.line = t.line;
        switch (t.kind) {
            case Tok::Int:
                v.type = TextValue::Type::Integer;
                v.integer = lex_.Take().integer;
                return v;
            case Tok::Float:
                v.type = TextValue::Type::Float;
                v.number = lex_.Take().number;
                return v;
            case Tok::String:
                v.type = TextValue::Type::String;
                v.text = lex_.Take().text;
                while (IsSymbol("+")) {  // a long string continued on the next line
                    lex_.Take();
                    if (lex_.Peek().kind != Tok::String) lex_.Fail("String expected but " + Describe() + " found");
                    v.text += lex_.Take().text;
                }
                return v;
            case Tok::Ident:
                v.type = TextValue::Type::Identifier;
                v.text = lex_.Take().text;
                return v;
            case Tok::End:
                lex_.Fail("Value expected but end of text found");
            case Tok::Symbol:
                break;
        }
        if (IsSymbol("[")) {
            lex_.Take();
            v.type = TextValue::Type::Set;
            if (!IsSymbol("]")) {
                for (;;) {
                    v.members.push_back(ExpectIdent("Set member"));
                    if (IsSymbol("]")) break;
                    Expect(",");
                }
            }
            Expect("]");
            return v;
        }
        if (IsSymbol("(")) {
            Level level(*this);
            lex_.Take();
            v.type = TextValue::Type::List;
            while (!IsSymbol(")")) {
                if (lex_.Peek().kind == Tok::End) lex_.Fail("')' expected but end of text found");
                v.elements.push_back(Value());
            }
            Expect(")");
            return v;
        }
        if (IsSymbol("{")) {
            v.type = TextValue::Type::Binary;
            v.bytes = lex_.TakeHex();
            return v;
        }
        if (IsSymbol("<")) {
            Level level(*this);
            lex_.Take();
            v.type = TextValue::Type::Collection;
            while (!IsSymbol(">")) {
                if (!IsWord("item")) lex_.Fail("'item' expected but " + Describe() + " found");
                CollectionItemText item;
                item.line = lex_.Take().line;
                while (!IsWord("end")) {
                    if (lex_.Peek().kind == Tok::End) lex_.Fail("'end' expected but end of text found");
                    item.props.push_back(Property());
                }
                lex_.Take();
                v.items.push_back(std::move(item));
            }
            Expect(">");
            return v;
        }
        lex_.Fail("Value expected but " + Describe() + " found");
    }

    Lexer lex_;
    int depth_ = 0;
};

}  // namespace

ObjectText ParseComponentText(std::string_view text) { return Parser(text).Root(); }

}  // namespace fw
