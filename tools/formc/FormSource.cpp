// The form source's parser: its tokens, the records and values it reads, and
// the errors, each with its line, for what it cannot read.
#include "tools/formc/FormSource.h"

#include <charconv>
#include <limits>
#include <system_error>
#include <utility>

namespace formc {

namespace {

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Names are compared the way the reader compares them.
bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

std::string Printable(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F)
        return std::string("'") + c + "'";
    static const char hex[] = "0123456789ABCDEF";
    return std::string("byte 0x") + hex[byte >> 4] + hex[byte & 15];
}

enum class Tok { End, Ident, Integer, Float, String, LBrace, RBrace, LParen, RParen, LBracket, RBracket, Equals, Comma };

struct Token {
    Tok kind = Tok::End;
    int line = 0;
    std::string text;  // identifier text, decoded string, number as written
    int32_t integer = 0;
    long double real = 0;
};

std::string Describe(const Token& t)
{
    switch (t.kind) {
    case Tok::End: return "the end of the file";
    case Tok::Ident: return "'" + t.text + "'";
    case Tok::Integer:
    case Tok::Float: return "the number " + t.text;
    case Tok::String: return "a string";
    case Tok::LBrace: return "'{'";
    case Tok::RBrace: return "'}'";
    case Tok::LParen: return "'('";
    case Tok::RParen: return "')'";
    case Tok::LBracket: return "'['";
    case Tok::RBracket: return "']'";
    case Tok::Equals: return "'='";
    case Tok::Comma: return "','";
    }
    return "?";
}

class Lexer {
public:
    explicit Lexer(std::string_view source) : m_src(source) {}

    Token Next()
    {
        SkipBlanks();
        Token t;
        t.line = m_line;
        if (m_pos >= m_src.size())
            return t;
        const char c = m_src[m_pos];
        if (IsLetter(c))
            return Identifier(t);
        if (IsDigit(c) || (c == '-' && m_pos + 1 < m_src.size() && IsDigit(m_src[m_pos + 1])))
            return Number(t);
        if (c == '"')
            return String(t);
        ++m_pos;
        switch (c) {
        case '{': t.kind = Tok::LBrace; return t;
        case '}': t.kind = Tok::RBrace; return t;
        case '(': t.kind = Tok::LParen; return t;
        case ')': t.kind = Tok::RParen; return t;
        case '[': t.kind = Tok::LBracket; return t;
        case ']': t.kind = Tok::RBracket; return t;
        case '=': t.kind = Tok::Equals; return t;
        case ',': t.kind = Tok::Comma; return t;
        default: throw FormError(t.line, "unexpected character " + Printable(c));
        }
    }

private:
    void SkipBlanks()
    {
        while (m_pos < m_src.size()) {
            const char c = m_src[m_pos];
            if (c == '\n') {
                ++m_line;
                ++m_pos;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++m_pos;
            } else if (c == '/' && m_pos + 1 < m_src.size() && m_src[m_pos + 1] == '/') {
                while (m_pos < m_src.size() && m_src[m_pos] != '\n')
                    ++m_pos;
            } else {
                return;
            }
        }
    }

    // A name, or several joined by dots without blanks: a property path, or
    // a reference to a component of another form.
    Token Identifier(Token& t)
    {
        const size_t start = m_pos;
        for (;;) {
            while (m_pos < m_src.size() && (IsLetter(m_src[m_pos]) || IsDigit(m_src[m_pos])))
                ++m_pos;
            if (m_pos < m_src.size() && m_src[m_pos] == '.') {
                if (m_pos + 1 >= m_src.size() || !IsLetter(m_src[m_pos + 1]))
                    throw FormError(m_line, "a name must follow the '.' in '" +
                                                std::string(m_src.substr(start, m_pos + 1 - start)) + "'");
                ++m_pos;
                continue;
            }
            break;
        }
        t.kind = Tok::Ident;
        t.text = std::string(m_src.substr(start, m_pos - start));
        return t;
    }

    Token Number(Token& t)
    {
        const size_t start = m_pos;
        if (m_src[m_pos] == '-')
            ++m_pos;
        auto digits = [&] {
            const size_t from = m_pos;
            while (m_pos < m_src.size() && IsDigit(m_src[m_pos]))
                ++m_pos;
            return m_pos > from;
        };
        digits();
        bool real = false;
        if (m_pos < m_src.size() && m_src[m_pos] == '.') {
            ++m_pos;
            real = true;
            if (!digits())
                throw FormError(m_line, "digits must follow the decimal point in '" +
                                            std::string(m_src.substr(start, m_pos - start)) + "'");
        }
        if (m_pos < m_src.size() && (m_src[m_pos] == 'e' || m_src[m_pos] == 'E')) {
            ++m_pos;
            real = true;
            if (m_pos < m_src.size() && (m_src[m_pos] == '+' || m_src[m_pos] == '-'))
                ++m_pos;
            if (!digits())
                throw FormError(m_line, "digits must follow the exponent in '" +
                                            std::string(m_src.substr(start, m_pos - start)) + "'");
        }
        if (m_pos < m_src.size() && (IsLetter(m_src[m_pos]) || m_src[m_pos] == '.')) {
            size_t end = m_pos;
            while (end < m_src.size() && (IsLetter(m_src[end]) || IsDigit(m_src[end]) || m_src[end] == '.'))
                ++end;
            throw FormError(m_line, "'" + std::string(m_src.substr(start, end - start)) + "' is not a valid number");
        }
        t.text = std::string(m_src.substr(start, m_pos - start));
        if (real) {
            t.kind = Tok::Float;
            // from_chars: the source's number syntax is fixed, whatever the
            // locale says a decimal point is.
            const auto [end, error] = std::from_chars(t.text.data(), t.text.data() + t.text.size(), t.real);
            if (error != std::errc() || end != t.text.data() + t.text.size())
                throw FormError(m_line, "the number " + t.text + " is out of the range of a float");
            return t;
        }
        t.kind = Tok::Integer;
        const bool negative = t.text[0] == '-';
        // Accumulated as a negative number so that the lowest value fits.
        int64_t value = 0;
        for (size_t i = negative ? 1 : 0; i < t.text.size(); ++i) {
            value = value * 10 - (t.text[i] - '0');
            if (value < -(int64_t{1} << 32))
                break;
        }
        if (!negative)
            value = -value;
        if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
            throw FormError(m_line, "the integer " + t.text + " is outside the 32-bit range");
        t.integer = static_cast<int32_t>(value);
        return t;
    }

    Token String(Token& t)
    {
        ++m_pos;  // the opening quote
        std::string text;
        for (;;) {
            if (m_pos >= m_src.size() || m_src[m_pos] == '\n' || m_src[m_pos] == '\r')
                throw FormError(t.line, "the string has no closing '\"' on its line");
            const char c = m_src[m_pos++];
            if (c == '"')
                break;
            if (c != '\\') {
                text += c;
                continue;
            }
            if (m_pos >= m_src.size())
                throw FormError(t.line, "the string has no closing '\"' on its line");
            const char e = m_src[m_pos++];
            switch (e) {
            case '"': text += '"'; break;
            case '\\': text += '\\'; break;
            case 'r': text += '\r'; break;
            case 'n': text += '\n'; break;
            case 't': text += '\t'; break;
            case 'x': {
                auto hexValue = [](char h) {
                    if (h >= '0' && h <= '9')
                        return h - '0';
                    if (h >= 'a' && h <= 'f')
                        return h - 'a' + 10;
                    if (h >= 'A' && h <= 'F')
                        return h - 'A' + 10;
                    return -1;
                };
                const int high = m_pos < m_src.size() ? hexValue(m_src[m_pos]) : -1;
                const int low = m_pos + 1 < m_src.size() ? hexValue(m_src[m_pos + 1]) : -1;
                if (high < 0 || low < 0)
                    throw FormError(t.line, "\\x must be followed by two hexadecimal digits");
                text += static_cast<char>(high * 16 + low);
                m_pos += 2;
                break;
            }
            default:
                throw FormError(t.line, "unknown escape sequence \\" + std::string(1, e) +
                                            " (known: \\\" \\\\ \\r \\n \\t \\xHH)");
            }
        }
        t.kind = Tok::String;
        t.text = std::move(text);
        return t;
    }

    std::string_view m_src;
    size_t m_pos = 0;
    int m_line = 1;
};

constexpr size_t ShortStringMax = 255;
// Components, lists and collections nest by recursion; a source nested deeper
// than any form needs is refused before it can exhaust the stack.
constexpr int MaxNesting = 200;

class Parser {
public:
    explicit Parser(std::string_view source) : m_lexer(source)
    {
        m_tok = m_lexer.Next();
        m_next = m_lexer.Next();
    }

    Component ParseRoot()
    {
        Component root = ParseComponent();
        if (m_tok.kind != Tok::End)
            throw FormError(m_tok.line, "only one root component is allowed; found " + Describe(m_tok) +
                                            " after the end of " + root.name);
        return root;
    }

private:
    void Advance()
    {
        m_tok = std::move(m_next);
        m_next = m_tok.kind == Tok::End ? m_tok : m_lexer.Next();
    }

    // Counts one level of nesting for as long as it lives.
    class Nesting {
    public:
        Nesting(int& depth, int line) : m_depth(depth)
        {
            if (++m_depth > MaxNesting)
                throw FormError(line, "nested more than " + std::to_string(MaxNesting) + " levels deep");
        }
        ~Nesting() { --m_depth; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        int& m_depth;
    };

    void Expect(Tok kind, const std::string& what)
    {
        if (m_tok.kind != kind)
            throw FormError(m_tok.line, "expected " + what + ", found " + Describe(m_tok));
        Advance();
    }

    static void CheckShort(int line, const std::string& text, const char* what)
    {
        if (text.size() > ShortStringMax)
            throw FormError(line, std::string(what) + " is longer than 255 characters");
    }

    // A plain name: no dots.
    std::string ExpectName(const char* what)
    {
        if (m_tok.kind != Tok::Ident || m_tok.text.find('.') != std::string::npos)
            throw FormError(m_tok.line, std::string("expected ") + what + ", found " + Describe(m_tok));
        std::string name = m_tok.text;
        CheckShort(m_tok.line, name, what);
        Advance();
        return name;
    }

    Component ParseComponent()
    {
        const Nesting nesting(m_depth, m_tok.line);
        Component c;
        c.line = m_tok.line;
        c.className = ExpectName("a class name");
        c.name = ExpectName("a component name");
        Expect(Tok::LBrace, "'{' to open the record of " + c.name);
        for (;;) {
            if (m_tok.kind == Tok::RBrace) {
                Advance();
                break;
            }
            if (m_tok.kind == Tok::End)
                throw FormError(m_tok.line, "the record of " + c.name + " (line " + std::to_string(c.line) +
                                                ") has no closing '}'");
            if (m_tok.kind == Tok::Ident && m_next.kind == Tok::Equals) {
                if (!c.children.empty())
                    throw FormError(m_tok.line, "property " + m_tok.text + " stands after the child component " +
                                                    c.children.back().name +
                                                    "; the properties of a record come before its children");
                AddProperty(c.properties, ParseProperty());
            } else if (m_tok.kind == Tok::Ident && m_next.kind == Tok::Ident) {
                c.children.push_back(ParseComponent());
                AddName(c.children.back());
            } else {
                throw FormError(m_tok.line, "expected a property (Name = value) or a child component "
                                            "(Class Name { ... }) in the record of " +
                                                c.name + ", found " + Describe(m_tok));
            }
        }
        return c;
    }

    // Every component of a form is owned by the form, so their names must
    // differ across the whole form, not only among siblings.
    void AddName(const Component& child)
    {
        for (const auto& [name, line] : m_names)
            if (SameName(name, child.name))
                throw FormError(child.line, "a component named " + child.name + " already exists (line " +
                                                std::to_string(line) + ")");
        m_names.emplace_back(child.name, child.line);
    }

    static void AddProperty(std::vector<Property>& list, Property p)
    {
        for (const Property& q : list)
            if (SameName(q.path, p.path))
                throw FormError(p.line, "property " + p.path + " is already set in this record (line " +
                                            std::to_string(q.line) + ")");
        list.push_back(std::move(p));
    }

    Property ParseProperty()
    {
        Property p;
        p.line = m_tok.line;
        p.path = m_tok.text;
        CheckShort(p.line, p.path, "the property path");
        Advance();
        Expect(Tok::Equals, "'='");
        p.value = ParseValue();
        return p;
    }

    Value ParseValue()
    {
        Value v;
        v.line = m_tok.line;
        switch (m_tok.kind) {
        case Tok::Integer:
            v.kind = Value::Kind::Integer;
            v.integer = m_tok.integer;
            Advance();
            return v;
        case Tok::Float:
            v.kind = Value::Kind::Float;
            v.real = m_tok.real;
            Advance();
            return v;
        case Tok::String:
            v.kind = Value::Kind::String;
            v.text = ParseStrings();
            return v;
        case Tok::Ident:
            if ((m_tok.text == "file" || m_tok.text == "bitmap") && m_next.kind == Tok::LParen) {
                v.kind = m_tok.text == "file" ? Value::Kind::File : Value::Kind::Bitmap;
                const std::string function = m_tok.text;
                Advance();
                Advance();
                if (m_tok.kind != Tok::String)
                    throw FormError(m_tok.line, function + "() takes a file name in quotes, found " + Describe(m_tok));
                v.text = ParseStrings();
                if (v.text.empty())
                    throw FormError(v.line, function + "() needs a file name");
                Expect(Tok::RParen, "')' to close " + function + "(");
                return v;
            }
            if (m_tok.text == "collection" && m_next.kind == Tok::LBrace)
                return ParseCollection();
            v.kind = Value::Kind::Ident;
            v.text = m_tok.text;
            CheckShort(v.line, v.text, "the identifier");
            Advance();
            return v;
        case Tok::LBrace:
            return ParseSet();
        case Tok::LParen:
            return ParseList();
        default:
            throw FormError(m_tok.line, "expected a value, found " + Describe(m_tok));
        }
    }

    // One string, or several literals side by side joined into one.
    std::string ParseStrings()
    {
        std::string text;
        while (m_tok.kind == Tok::String) {
            text += m_tok.text;
            Advance();
        }
        return text;
    }

    Value ParseSet()
    {
        return ParseSeparated(Value::Kind::Set, Tok::RBrace, "',' or '}' in the set", [this](Value& v) {
            const int line = m_tok.line;
            std::string name = ExpectName("a set element name");
            for (const std::string& other : v.names)
                if (SameName(other, name))
                    throw FormError(line, "set element " + name + " is given twice");
            v.names.push_back(std::move(name));
        });
    }

    Value ParseList()
    {
        const Nesting nesting(m_depth, m_tok.line);
        return ParseSeparated(Value::Kind::List, Tok::RParen, "',' or ')' in the list",
                              [this](Value& v) { v.items.push_back(ParseValue()); });
    }

    // The elements of a set or list, separated by commas, from the opening
    // bracket (the current token) to close; element reads one into v.
    template <typename Element>
    Value ParseSeparated(Value::Kind kind, Tok close, const char* expected, Element element)
    {
        Value v;
        v.kind = kind;
        v.line = m_tok.line;
        Advance();
        if (m_tok.kind == close) {
            Advance();
            return v;
        }
        for (;;) {
            element(v);
            if (m_tok.kind == Tok::Comma) {
                Advance();
                continue;
            }
            Expect(close, expected);
            return v;
        }
    }

    Value ParseCollection()
    {
        const Nesting nesting(m_depth, m_tok.line);
        Value v;
        v.kind = Value::Kind::Collection;
        v.line = m_tok.line;
        Advance();  // collection
        Advance();  // {
        for (;;) {
            if (m_tok.kind == Tok::RBrace) {
                Advance();
                return v;
            }
            CollectionItem item;
            item.line = m_tok.line;
            if (m_tok.kind == Tok::LBracket) {
                Advance();
                if (m_tok.kind != Tok::Integer || m_tok.integer < 0)
                    throw FormError(m_tok.line, "a collection item's index must be an integer of 0 or more, found " +
                                                    Describe(m_tok));
                item.index = m_tok.integer;
                Advance();
                Expect(Tok::RBracket, "']' after the item's index");
            }
            Expect(Tok::LParen, "'(' to open a collection item");
            while (m_tok.kind != Tok::RParen) {
                if (m_tok.kind != Tok::Ident || m_next.kind != Tok::Equals)
                    throw FormError(m_tok.line, "expected a property (Name = value) or ')' in the collection item, "
                                                "found " +
                                                    Describe(m_tok));
                AddProperty(item.properties, ParseProperty());
            }
            Advance();
            v.collection.push_back(std::move(item));
        }
    }

    Lexer m_lexer;
    Token m_tok;
    Token m_next;
    std::vector<std::pair<std::string, int>> m_names;  // every child component so far, with its line
    int m_depth = 0;
};

} // namespace

Component ParseForm(std::string_view source)
{
    Parser parser(source);
    return parser.ParseRoot();
}

} // namespace formc
