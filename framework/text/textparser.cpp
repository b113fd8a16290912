// Parser of the component text: tokens -> ObjectText tree.
#include "framework/core/classes.h"
#include "framework/core/exceptions.h"
#include "framework/text/componenttext.h"
#include "framework/text/lexer.h"

namespace fw {

namespace {

// Lists, collections and nested blocks deeper than this are refused: a damaged file must
// not be able to exhaust the stack.
constexpr int kMaxNesting = 64;

class Parser {
  public:
    explicit Parser(std::string_view text) : lex_(text) {}

    ObjectText Root() {
        ObjectText o = Object();
        if (lex_.Peek().kind != Tok::End)
            lex_.Fail("End of text expected but " + Describe() + " found");
        return o;
    }

  private:
    std::string Describe() const {
        const Token& t = lex_.Peek();
        switch (t.kind) {
            case Tok::End:
                return "end of text";
            case Tok::String:
                return "string";
            case Tok::Int:
                return "'" + std::to_string(t.integer) + "'";
            case Tok::Float:
                return "number";
            default:
                return "'" + t.text + "'";
        }
    }
    bool IsSymbol(const char* s) const {
        return lex_.Peek().kind == Tok::Symbol && lex_.Peek().text == s;
    }
    bool IsWord(const char* w) const {
        return lex_.Peek().kind == Tok::Ident && SameText(lex_.Peek().text, w);
    }
    void Expect(const char* sym) {
        if (!IsSymbol(sym))
            lex_.Fail(std::string("'") + sym + "' expected but " + Describe() + " found");
        lex_.Take();
    }
    std::string ExpectIdent(const char* what) {
        if (lex_.Peek().kind != Tok::Ident)
            lex_.Fail(std::string(what) + " expected but " + Describe() + " found");
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
                return StringValue(std::move(v));
            case Tok::Ident:
                v.type = TextValue::Type::Identifier;
                v.text = lex_.Take().text;
                return v;
            case Tok::End:
                lex_.Fail("Value expected but end of text found");
            case Tok::Symbol:
                break;
        }
        if (IsSymbol("[")) return SetValue(std::move(v));
        if (IsSymbol("(")) return ListValue(std::move(v));
        if (IsSymbol("{")) {
            v.type = TextValue::Type::Binary;
            v.bytes = lex_.TakeHex();
            return v;
        }
        if (IsSymbol("<")) return CollectionValue(std::move(v));
        lex_.Fail("Value expected but " + Describe() + " found");
    }

    TextValue StringValue(TextValue v) {
        v.type = TextValue::Type::String;
        v.text = lex_.Take().text;
        while (IsSymbol("+")) {  // a long string continued on the next line
            lex_.Take();
            if (lex_.Peek().kind != Tok::String)
                lex_.Fail("String expected but " + Describe() + " found");
            v.text += lex_.Take().text;
        }
        return v;
    }

    TextValue SetValue(TextValue v) {
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

    TextValue ListValue(TextValue v) {
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

    TextValue CollectionValue(TextValue v) {
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

    Lexer lex_;
    int depth_ = 0;
};

}  // namespace

ObjectText ParseComponentText(std::string_view text) { return Parser(text).Root(); }

}  // namespace fw
