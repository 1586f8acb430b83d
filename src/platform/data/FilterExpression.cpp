#include "platform/data/FilterExpression.h"

#include "platform/data/DataSetError.h"
#include "platform/text/ByteText.h"
#include "platform/variant/NumberText.h"

#include <cctype>
#include <optional>
#include <variant>
#include <vector>

namespace orvane {

namespace {

enum class TokenKind { Word, Text, Number, Operator, Open, Close, End };

struct Token {
    TokenKind kind;
    std::string text;
    std::size_t position;
};

} // namespace

// The node's own enums live in it, not in the file's anonymous namespace: a type with external
// linkage may not hold members of one with internal linkage (the unity build includes this file).
struct FilterExpression::Node {
    enum class Compare { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual, Like, NotLike, IsNull, IsNotNull };
    enum class Function { Upper, Lower, Trim };
    enum class Logic { And, Or };
    struct FieldRef {
        int field;
    };
    struct Literal {
        Variant value;
    };
    struct Call {
        Function function;
        std::shared_ptr<const Node> argument;
    };
    struct Comparison {
        Compare op;
        std::shared_ptr<const Node> left;
        std::shared_ptr<const Node> right;
    };
    struct Junction {
        Logic logic;
        std::shared_ptr<const Node> left;
        std::shared_ptr<const Node> right;
    };
    struct Negation {
        std::shared_ptr<const Node> operand;
    };
    std::variant<FieldRef, Literal, Call, Comparison, Junction, Negation> content;
};

namespace {

using Node = FilterExpression::Node;
using Compare = Node::Compare;
using Function = Node::Function;
using Logic = Node::Logic;
using NodePtr = std::shared_ptr<const Node>;

bool isWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || static_cast<unsigned char>(c) >= 0x80;
}

class Parser {
public:
    Parser(std::string_view text, const FilterExpression::FieldResolver& resolve) : text_(text), resolve_(resolve)
    {
        tokenize();
    }

    NodePtr parseAll()
    {
        NodePtr root = parseOr();
        if (peek().kind != TokenKind::End) {
            fail("unexpected '" + peek().text + "'", peek().position);
        }
        return root;
    }

private:
    [[noreturn]] void fail(const std::string& what, std::size_t position) const
    {
        throw DataSetError("Filter '" + std::string(text_) + "': " + what + " at position " +
                           std::to_string(position + 1));
    }

    void tokenize()
    {
        std::size_t i = 0;
        while (i < text_.size()) {
            const char c = text_[i];
            if (std::isspace(static_cast<unsigned char>(c))) {
                ++i;
            } else if (c == '\'' || c == '"') {
                tokens_.push_back(readQuoted(i));
            } else if (c == '(' || c == ')') {
                tokens_.push_back({c == '(' ? TokenKind::Open : TokenKind::Close, std::string(1, c), i});
                ++i;
            } else if (c == '=' || c == '<' || c == '>' || c == '!') {
                tokens_.push_back(readOperator(i));
            } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                       ((c == '-' || c == '+') && i + 1 < text_.size() &&
                        std::isdigit(static_cast<unsigned char>(text_[i + 1])))) {
                tokens_.push_back(readNumber(i));
            } else if (isWordChar(c)) {
                const std::size_t start = i;
                while (i < text_.size() && isWordChar(text_[i])) {
                    ++i;
                }
                tokens_.push_back({TokenKind::Word, std::string(text_.substr(start, i - start)), start});
            } else {
                fail(std::string("unexpected character '") + c + "'", i);
            }
        }
        tokens_.push_back({TokenKind::End, "end of text", text_.size()});
    }

    Token readQuoted(std::size_t& i)
    {
        const char quote = text_[i];
        const std::size_t start = i++;
        std::string value;
        while (true) {
            if (i >= text_.size()) {
                fail("unterminated text", start);
            }
            if (text_[i] == quote) {
                if (i + 1 < text_.size() && text_[i + 1] == quote) {
                    value += quote;
                    i += 2;
                    continue;
                }
                ++i;
                return {TokenKind::Text, value, start};
            }
            value += text_[i++];
        }
    }

    Token readOperator(std::size_t& i)
    {
        const std::size_t start = i;
        std::string op(1, text_[i++]);
        if (i < text_.size() && (text_[i] == '=' || (op == "<" && text_[i] == '>'))) {
            op += text_[i++];
        }
        if (op == "!") {
            fail("unexpected '!'", start);
        }
        return {TokenKind::Operator, op, start};
    }

    Token readNumber(std::size_t& i)
    {
        const std::size_t start = i++;
        while (i < text_.size() && (std::isdigit(static_cast<unsigned char>(text_[i])) || text_[i] == '.')) {
            ++i;
        }
        if (i + 1 < text_.size() && (text_[i] == 'e' || text_[i] == 'E')) {
            std::size_t j = i + 1;
            if (text_[j] == '+' || text_[j] == '-') {
                ++j;
            }
            if (j < text_.size() && std::isdigit(static_cast<unsigned char>(text_[j]))) {
                i = j;
                while (i < text_.size() && std::isdigit(static_cast<unsigned char>(text_[i]))) {
                    ++i;
                }
            }
        }
        return {TokenKind::Number, std::string(text_.substr(start, i - start)), start};
    }

    const Token& peek() const { return tokens_[next_]; }
    Token take() { return tokens_[next_++]; }
    bool isKeyword(std::string_view word) const
    {
        return peek().kind == TokenKind::Word && text::equalsIgnoringAsciiCase(peek().text, word);
    }

    NodePtr parseOr()
    {
        NodePtr left = parseAnd();
        while (isKeyword("or")) {
            take();
            left = make(Node::Junction{Logic::Or, left, parseAnd()});
        }
        return left;
    }

    NodePtr parseAnd()
    {
        NodePtr left = parseFactor();
        while (isKeyword("and")) {
            take();
            left = make(Node::Junction{Logic::And, left, parseFactor()});
        }
        return left;
    }

    NodePtr parseFactor()
    {
        if (isKeyword("not")) {
            take();
            return make(Node::Negation{parseFactor()});
        }
        if (peek().kind == TokenKind::Open) {
            take();
            NodePtr inner = parseOr();
            expect(TokenKind::Close, "')'");
            return inner;
        }
        return parseComparison();
    }

    NodePtr parseComparison()
    {
        NodePtr left = parseOperand(false);
        if (isKeyword("is")) {
            take();
            bool negated = false;
            if (isKeyword("not")) {
                take();
                negated = true;
            }
            if (!isKeyword("null")) {
                fail("expected NULL after IS", peek().position);
            }
            take();
            return make(Node::Comparison{negated ? Compare::IsNotNull : Compare::IsNull, left, nullptr});
        }
        bool negated = false;
        if (isKeyword("not")) {
            take();
            negated = true;
            if (!isKeyword("like")) {
                fail("expected LIKE after NOT", peek().position);
            }
        }
        if (isKeyword("like")) {
            take();
            return make(Node::Comparison{negated ? Compare::NotLike : Compare::Like, left, parseOperand(true)});
        }
        if (peek().kind != TokenKind::Operator) {
            fail("expected a comparison operator but found '" + peek().text + "'", peek().position);
        }
        const Compare op = comparison(take().text);
        return make(Node::Comparison{op, left, parseOperand(true)});
    }

    static Compare comparison(const std::string& op)
    {
        if (op == "=") {
            return Compare::Equal;
        }
        if (op == "<>" || op == "!=") {
            return Compare::NotEqual;
        }
        if (op == "<") {
            return Compare::Less;
        }
        if (op == ">") {
            return Compare::Greater;
        }
        if (op == "<=") {
            return Compare::LessEqual;
        }
        return Compare::GreaterEqual;
    }

    NodePtr parseOperand(bool bareWordIsText)
    {
        const Token token = take();
        switch (token.kind) {
        case TokenKind::Text: return make(Node::Literal{Variant(token.text)});
        case TokenKind::Number: return make(Node::Literal{numberValue(token)});
        case TokenKind::Word: return wordOperand(token, bareWordIsText);
        default: fail("expected a field or a value but found '" + token.text + "'", token.position);
        }
    }

    Variant numberValue(const Token& token) const
    {
        if (auto integer = text::tryParseInteger(token.text)) {
            return Variant(static_cast<long long>(*integer));
        }
        if (auto number = text::tryParseFloat(token.text)) {
            return Variant(*number);
        }
        fail("bad number '" + token.text + "'", token.position);
    }

    NodePtr wordOperand(const Token& token, bool bareWordIsText)
    {
        if (text::equalsIgnoringAsciiCase(token.text, "null")) {
            return make(Node::Literal{Variant::null()});
        }
        if (peek().kind == TokenKind::Open) {
            return call(token);
        }
        std::string_view name = token.text;
        const std::size_t dot = name.rfind('.');
        if (dot != std::string_view::npos) {
            name.remove_prefix(dot + 1);
        }
        const int field = resolve_ ? resolve_(name) : -1;
        if (field >= 0) {
            return make(Node::FieldRef{field});
        }
        if (bareWordIsText) {
            return make(Node::Literal{Variant(token.text)});
        }
        fail("unknown field '" + token.text + "'", token.position);
    }

    NodePtr call(const Token& name)
    {
        std::optional<Function> function;
        if (text::equalsIgnoringAsciiCase(name.text, "UPPER")) {
            function = Function::Upper;
        } else if (text::equalsIgnoringAsciiCase(name.text, "LOWER")) {
            function = Function::Lower;
        } else if (text::equalsIgnoringAsciiCase(name.text, "TRIM")) {
            function = Function::Trim;
        } else {
            fail("unknown function '" + name.text + "'", name.position);
        }
        take();
        NodePtr argument = parseOperand(false);
        expect(TokenKind::Close, "')'");
        return make(Node::Call{*function, argument});
    }

    void expect(TokenKind kind, const std::string& what)
    {
        if (peek().kind != kind) {
            fail("expected " + what + " but found '" + peek().text + "'", peek().position);
        }
        take();
    }

    template <typename T>
    static NodePtr make(T content)
    {
        return std::make_shared<const Node>(Node{std::move(content)});
    }

    std::string_view text_;
    const FilterExpression::FieldResolver& resolve_;
    std::vector<Token> tokens_;
    std::size_t next_ = 0;
};

// Evaluation ----------------------------------------------------------------------

std::string applyFunction(Function function, std::string text)
{
    switch (function) {
    // Field texts are in the installation's code page: trail bytes keep their case.
    case Function::Upper: return text::upperCase(text);
    case Function::Lower: return text::lowerCase(text);
    case Function::Trim: {
        const auto first = text.find_first_not_of(" \t\r\n");
        if (first == std::string::npos) {
            return {};
        }
        const auto last = text.find_last_not_of(" \t\r\n");
        return text.substr(first, last - first + 1);
    }
    }
    return text;
}

std::optional<double> asNumber(const Variant& value)
{
    if (value.isNumeric() || value.isBoolean()) {
        return value.toFloat();
    }
    if (value.isString()) {
        return text::tryParseFloat(value.asString());
    }
    return std::nullopt;
}

std::string asText(const Variant& value)
{
    return value.isString() ? value.asString() : value.toString();
}

// The characters of a text of the installation code page, each as the bytes it spans, so that a
// pattern never matches the trail byte of a double-byte character on its own.
std::vector<std::string_view> characters(std::string_view value)
{
    std::vector<std::string_view> units;
    const text::CodePage codePage = text::installationCodePage();
    for (std::size_t i = 0; i < value.size();) {
        const std::size_t length = text::characterLength(value, i, codePage);
        units.push_back(value.substr(i, length));
        i += length;
    }
    return units;
}

// "%" any run of characters, "_" one character, by whole characters.
bool likeMatch(std::string_view value, std::string_view likePattern)
{
    const std::vector<std::string_view> text = characters(value);
    const std::vector<std::string_view> pattern = characters(likePattern);
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t star = std::string_view::npos;
    std::size_t mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == "_" || pattern[p] == text[t])) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == "%") {
            star = p++;
            mark = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == "%") {
        ++p;
    }
    return p == pattern.size();
}

// -1, 0, 1; nothing when the two values cannot be ordered (a null against a value).
std::optional<int> order(const Variant& a, const Variant& b)
{
    const bool nullA = a.isUnassignedOrNull();
    const bool nullB = b.isUnassignedOrNull();
    if (nullA || nullB) {
        if (nullA && nullB) {
            return 0;
        }
        return std::nullopt;
    }
    if (a.isNumeric() || b.isNumeric() || a.isBoolean() || b.isBoolean()) {
        const auto x = asNumber(a);
        const auto y = asNumber(b);
        if (x && y) {
            return *x < *y ? -1 : (*y < *x ? 1 : 0);
        }
    }
    const int c = asText(a).compare(asText(b));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

class Evaluator {
public:
    explicit Evaluator(const FilterRow& row) : row_(row) {}

    Variant value(const Node& node) const
    {
        if (const auto* field = std::get_if<Node::FieldRef>(&node.content)) {
            return row_.value(field->field);
        }
        if (const auto* literal = std::get_if<Node::Literal>(&node.content)) {
            return literal->value;
        }
        if (const auto* call = std::get_if<Node::Call>(&node.content)) {
            const Variant argument = value(*call->argument);
            if (argument.isUnassignedOrNull()) {
                return argument;
            }
            return Variant(applyFunction(call->function, asText(argument)));
        }
        return Variant(truth(node));
    }

    bool truth(const Node& node) const
    {
        if (const auto* junction = std::get_if<Node::Junction>(&node.content)) {
            const bool left = truth(*junction->left);
            if (junction->logic == Logic::And) {
                return left && truth(*junction->right);
            }
            return left || truth(*junction->right);
        }
        if (const auto* negation = std::get_if<Node::Negation>(&node.content)) {
            return !truth(*negation->operand);
        }
        if (const auto* comparison = std::get_if<Node::Comparison>(&node.content)) {
            return compare(*comparison);
        }
        const Variant v = value(node);
        return v.isBoolean() ? v.asBoolean() : v.toIntegerOrZero() != 0;
    }

private:
    bool compare(const Node::Comparison& comparison) const
    {
        const Variant left = value(*comparison.left);
        switch (comparison.op) {
        case Compare::IsNull: return left.isUnassignedOrNull();
        case Compare::IsNotNull: return !left.isUnassignedOrNull();
        case Compare::Like:
        case Compare::NotLike: {
            const Variant right = value(*comparison.right);
            if (left.isUnassignedOrNull() || right.isUnassignedOrNull()) {
                return false;
            }
            const bool matched = likeMatch(asText(left), asText(right));
            return comparison.op == Compare::Like ? matched : !matched;
        }
        default: break;
        }
        const auto c = order(left, value(*comparison.right));
        switch (comparison.op) {
        case Compare::Equal: return c == 0;
        case Compare::NotEqual: return c != 0;
        case Compare::Less: return c && *c < 0;
        case Compare::Greater: return c && *c > 0;
        case Compare::LessEqual: return c && *c <= 0;
        default: return c && *c >= 0;
        }
    }

    const FilterRow& row_;
};

} // namespace

FilterExpression FilterExpression::parse(std::string_view text, const FieldResolver& resolve)
{
    FilterExpression expression;
    expression.text_ = std::string(text);
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        return expression;
    }
    expression.root_ = Parser(text, resolve).parseAll();
    return expression;
}

bool FilterExpression::matches(const FilterRow& row) const
{
    return root_ == nullptr || Evaluator(row).truth(*root_);
}

} // namespace orvane
