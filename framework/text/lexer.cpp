#include "framework/text/lexer.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "framework/core/exceptions.h"

namespace fw {

namespace {
bool StartsIdentifier(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool ContinuesIdentifier(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
}
}  // namespace

bool IsIdentifier(std::string_view s) {
    return !s.empty() && StartsIdentifier(s[0]) &&
           std::all_of(s.begin() + 1, s.end(), ContinuesIdentifier);
}

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)); }

}  // namespace

void Lexer::Fail(const std::string& what, int line) const { throw EParserError(what, line); }

std::vector<uint8_t> Lexer::TakeHex() {
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

void Lexer::SkipBlanks() {
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

void Lexer::Next() {
    pos_ = tokEnd_ > pos_ ? tokEnd_ : pos_;
    SkipBlanks();
    tok_ = Token{};
    tok_.line = line_;
    if (pos_ >= s_.size()) {
        tokEnd_ = pos_;
        return;
    }
    const size_t p = pos_;
    const char c = s_[p];
    size_t end;
    if (StartsIdentifier(c)) {
        end = LexIdent(p);
    } else if (IsDigit(c) || (c == '-' && p + 1 < s_.size() && IsDigit(s_[p + 1]))) {
        end = LexNumber(p);
    } else if (c == '\'' || c == '#') {
        end = LexString(p);
    } else {
        tok_.kind = Tok::Symbol;
        tok_.text = std::string(1, c);
        end = p + 1;
    }
    tokEnd_ = end;
    pos_ = end;
}

size_t Lexer::LexIdent(size_t p) {
    const size_t start = p;
    while (p < s_.size() && ContinuesIdentifier(s_[p])) ++p;
    tok_.kind = Tok::Ident;
    tok_.text = std::string(s_.substr(start, p - start));
    return p;
}

size_t Lexer::LexNumber(size_t p) {
    const size_t start = p++;
    bool isFloat = false;
    while (p < s_.size() &&
           (IsDigit(s_[p]) || s_[p] == '.' || s_[p] == 'e' || s_[p] == 'E' ||
            ((s_[p] == '-' || s_[p] == '+') && (s_[p - 1] == 'e' || s_[p - 1] == 'E')))) {
        if (!IsDigit(s_[p])) isFloat = true;
        ++p;
    }
    std::string num(s_.substr(start, p - start));
    const char* first = num.data();
    const char* last = num.data() + num.size();
    if (isFloat) {
        tok_.kind = Tok::Float;
        // from_chars reads "." whatever the user's locale says.
        auto r = std::from_chars(first, last, tok_.number);
        if (r.ec != std::errc() || r.ptr != last) Fail("Invalid floating point number " + num);
    } else {
        tok_.kind = Tok::Int;
        auto r = std::from_chars(first, last, tok_.integer);
        if (r.ec != std::errc() || r.ptr != last) Fail("Invalid integer value " + num);
    }
    return p;
}

// Pieces follow each other without separators; "+" joins pieces across lines.
size_t Lexer::LexString(size_t p) {
    tok_.kind = Tok::String;
    for (;;) {
        if (p < s_.size() && s_[p] == '\'')
            p = LexQuoted(p + 1);
        else if (p < s_.size() && s_[p] == '#')
            p = LexCharCode(p + 1);
        else
            return p;
    }
}

// The contents of a quoted piece up to its closing quote ('' stands for one quote).
size_t Lexer::LexQuoted(size_t p) {
    for (;;) {
        if (p >= s_.size() || s_[p] == '\n') Fail("Unterminated string");
        if (s_[p] == '\'') {
            if (p + 1 < s_.size() && s_[p + 1] == '\'') {
                tok_.text += '\'';
                p += 2;
                continue;
            }
            return p + 1;
        }
        tok_.text += s_[p++];
    }
}

// A character by its decimal code, 0 to 255.
size_t Lexer::LexCharCode(size_t p) {
    const size_t start = p;
    while (p < s_.size() && IsDigit(s_[p])) ++p;
    int code = 0;
    auto r = std::from_chars(s_.data() + start, s_.data() + p, code);
    if (start == p || r.ec != std::errc() || code < 0 || code > 255)
        Fail("Invalid character code in string");
    tok_.text += static_cast<char>(code);
    return p;
}

}  // namespace fw
