#include "server/query/ConditionParser.h"

#include "platform/variant/NumberText.h"
#include "server/query/QueryToken.h"

#include <algorithm>
#include <optional>

namespace orvane {

namespace {

std::optional<CompareOp> compareOp(TokenKind kind)
{
    switch (kind) {
    case TokenKind::Equal: return CompareOp::Equal;
    case TokenKind::NotEqual: return CompareOp::NotEqual;
    case TokenKind::Less: return CompareOp::Less;
    case TokenKind::LessEqual: return CompareOp::LessEqual;
    case TokenKind::Greater: return CompareOp::Greater;
    case TokenKind::GreaterEqual: return CompareOp::GreaterEqual;
    default: return std::nullopt;
    }
}

bool holds(CompareOp op, double left, double right)
{
    switch (op) {
    case CompareOp::Equal: return left == right;
    case CompareOp::NotEqual: return left != right;
    case CompareOp::Less: return left < right;
    case CompareOp::LessEqual: return left <= right;
    case CompareOp::Greater: return left > right;
    case CompareOp::GreaterEqual: return left >= right;
    }
    return false;
}

template <typename Node>
ConditionPtr make(Node node, std::size_t position)
{
    return std::make_unique<Condition>(Condition{std::move(node), position});
}

class Parser {
public:
    Parser(std::string_view text, const QueryLimits& limits)
        : tokens_(tokenizeQuery(text, QueryText::Condition, limits)), limits_(limits)
    {}

    ConditionPtr run()
    {
        if (at(TokenKind::End))
            return nullptr;
        ConditionPtr condition = parseOr();
        if (!at(TokenKind::End))
            refuse(current(), current().kind == TokenKind::RightParen
                                  ? "')' has no matching '('"
                                  : "expected AND, OR or the end, found " + current().shown());
        return condition;
    }

private:
    // A guard counting one level of nesting for as long as it lives.
    class Nesting {
    public:
        explicit Nesting(Parser& parser) : parser_(parser)
        {
            if (++parser_.depth_ > parser_.limits_.maxDepth)
                parser_.refuse(parser_.current(), "conditions are nested more than " +
                                                      std::to_string(parser_.limits_.maxDepth) + " levels deep");
        }
        ~Nesting() { --parser_.depth_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& parser_;
    };

    [[noreturn]] void refuse(const Token& token, std::string_view reason) const
    {
        throw QueryError(QueryText::Condition, token.position, reason);
    }

    const Token& current() const { return tokens_[index_]; }
    const Token& ahead(std::size_t offset) const { return tokens_[std::min(index_ + offset, tokens_.size() - 1)]; }
    bool at(TokenKind kind) const { return current().kind == kind; }
    bool atWord(std::string_view word) const { return current().is(word); }
    const Token& take() { return tokens_[index_ < tokens_.size() - 1 ? index_++ : index_]; }

    const Token& expect(TokenKind kind, std::string_view what)
    {
        if (!at(kind))
            refuse(current(), "expected " + std::string(what) + ", found " + current().shown());
        return take();
    }

    void expectWord(std::string_view word, std::string_view context)
    {
        if (!atWord(word))
            refuse(current(),
                   "expected " + std::string(word) + " " + std::string(context) + ", found " + current().shown());
        take();
    }

    ConditionPtr parseJunction(Logic logic)
    {
        const std::size_t start = current().position;
        ConditionPtr first = logic == Logic::Or ? parseJunction(Logic::And) : parseNot();
        const std::string_view word = logic == Logic::Or ? "OR" : "AND";
        if (!atWord(word))
            return first;
        Junction junction{logic, {}};
        junction.terms.push_back(std::move(first));
        while (atWord(word)) {
            take();
            junction.terms.push_back(logic == Logic::Or ? parseJunction(Logic::And) : parseNot());
        }
        return make(std::move(junction), start);
    }

    ConditionPtr parseOr() { return parseJunction(Logic::Or); }

    ConditionPtr parseNot()
    {
        if (!atWord("NOT"))
            return parsePrimary();
        const std::size_t start = take().position;
        Nesting nesting(*this);
        return make(Negation{parseNot()}, start);
    }

    ConditionPtr parsePrimary()
    {
        const Token& token = current();
        if (token.kind == TokenKind::LeftParen) {
            if (ahead(1).is("SELECT"))
                return parseLineCount();
            Nesting nesting(*this);
            take();
            ConditionPtr inner = parseOr();
            expect(TokenKind::RightParen, "')' to close the '(' at position " + std::to_string(token.position));
            return inner;
        }
        if (token.kind == TokenKind::Number)
            return parseConstant();
        if (token.kind == TokenKind::Identifier && !token.isReserved())
            return parseTest();
        if (token.kind == TokenKind::Text)
            refuse(token, "a condition starts with a column name, not with a value");
        if (token.is("SELECT"))
            refuse(token, "a sub-query is accepted only as the line count ( select count(*) ... ) > 0");
        refuse(token, "expected a column name, found " + token.shown());
    }

    ColumnName parseColumn()
    {
        const Token& first = current();
        if (first.kind != TokenKind::Identifier || first.isReserved())
            refuse(first, "expected a column name, found " + first.shown());
        take();
        if (at(TokenKind::LeftParen))
            refuse(first, "function calls are not accepted: " + first.text + "(...)");
        if (!at(TokenKind::Dot))
            return {"", first.text, first.position};
        take();
        const Token& second = current();
        if (second.kind != TokenKind::Identifier || second.isReserved())
            refuse(second, "expected a column name after '" + first.text + ".', found " + second.shown());
        take();
        if (at(TokenKind::LeftParen))
            refuse(second, "function calls are not accepted: " + first.text + "." + second.text + "(...)");
        if (at(TokenKind::Dot))
            refuse(current(), "a column is named as COLUMN or TABLE.COLUMN, not with more parts");
        return {first.text, second.text, first.position};
    }

    Literal parseValue(bool pattern)
    {
        const Token& token = current();
        switch (token.kind) {
        case TokenKind::Text:
        case TokenKind::Number: take(); return {token.text, token.position};
        case TokenKind::Pattern:
            if (!pattern)
                refuse(token, "'" + token.text + "' is not a number; text values are written in quotes");
            take();
            return {token.text, token.position};
        default: break;
        }
        if (token.is("NULL"))
            refuse(token, "compare with NULL through IS NULL or IS NOT NULL");
        if (token.kind == TokenKind::LeftParen && ahead(1).is("SELECT"))
            refuse(token, "a sub-query is accepted only as the line count ( select count(*) ... ) > 0");
        refuse(token, "expected a value (a quoted text or a number), found " + token.shown());
    }

    ConditionPtr parseTest()
    {
        const std::size_t start = current().position;
        ColumnName column = parseColumn();
        if (atWord("IS")) {
            take();
            const bool negated = atWord("NOT");
            if (negated)
                take();
            expectWord("NULL", "after IS");
            return make(NullTest{std::move(column), negated}, start);
        }
        const bool negated = atWord("NOT");
        if (negated || atWord("LIKE")) {
            if (negated)
                take();
            expectWord("LIKE", "after NOT");
            return make(Match{std::move(column), negated, parseValue(true)}, start);
        }
        const auto op = compareOp(current().kind);
        if (!op)
            refuse(current(), "expected an operator (=, <>, <, <=, >, >=, LIKE, IS) after " + column.shown() +
                                  ", found " + current().shown());
        take();
        return make(Comparison{std::move(column), *op, parseValue(false)}, start);
    }

    ConditionPtr parseConstant()
    {
        const Token& left = take();
        const auto op = compareOp(current().kind);
        if (!op)
            refuse(current(), "a number must be compared with a number, as in 1=2; found " + current().shown());
        take();
        const Token& right = expect(TokenKind::Number, "a number after " + left.text);
        const auto a = text::tryParseFloat(left.text);
        const auto b = text::tryParseFloat(right.text);
        if (!a || !b)
            refuse(a ? right : left, "the number is out of range");
        return make(Constant{holds(*op, *a, *b)}, left.position);
    }

    bool atLink() const
    {
        if (!at(TokenKind::LeftParen) || ahead(1).kind != TokenKind::Identifier)
            return false;
        const std::size_t afterColumn = ahead(2).kind == TokenKind::Dot ? 4 : 2;
        return ahead(afterColumn).kind == TokenKind::Equal && ahead(afterColumn + 1).kind == TokenKind::Identifier;
    }

    LineLink parseLink()
    {
        const Token& open = take();
        ColumnName left = parseColumn();
        expect(TokenKind::Equal, "'=' in the link");
        ColumnName right = parseColumn();
        expect(TokenKind::RightParen, "')' to close the link at position " + std::to_string(open.position));
        return {std::move(left), std::move(right)};
    }

    void parseLineSource(LineCount& count)
    {
        const Token& first = expect(TokenKind::Identifier, "the line table after FROM");
        count.table = {"", first.text, first.position};
        if (at(TokenKind::Dot)) {
            take();
            expect(TokenKind::Dot, "'..' between the company database and the table");
            const Token& table = expect(TokenKind::Identifier, "the line table after '..'");
            count.database = first.text;
            count.table = {"", table.text, table.position};
        }
        if (!at(TokenKind::Identifier) || current().isReserved())
            refuse(current(),
                   "expected the name of the line table after " + count.table.name + ", found " + current().shown());
        count.alias = take().text;
    }

    ConditionPtr parseLineCount()
    {
        if (inLineCount_)
            refuse(current(), "the line count sub-query cannot be nested");
        Nesting nesting(*this);
        const Token& open = take();
        take(); // SELECT
        if (!atWord("COUNT") || ahead(1).kind != TokenKind::LeftParen || ahead(2).kind != TokenKind::Star ||
            ahead(3).kind != TokenKind::RightParen)
            refuse(current(), "a sub-query is accepted only as the line count ( select count(*) ... ) > 0");
        index_ += 4;
        expectWord("FROM", "after count(*)");
        LineCount count;
        parseLineSource(count);
        expectWord("WHERE", "after the line table");
        if (!atLink())
            refuse(current(), "the line count starts with its links, as in (COPTC.TC001=COPTD.TD001)");
        inLineCount_ = true;
        count.links.push_back(parseLink());
        while (atWord("AND")) {
            take();
            if (atLink())
                count.links.push_back(parseLink());
            else
                count.filters.push_back(parseNot());
        }
        inLineCount_ = false;
        if (atWord("OR"))
            refuse(current(), "conditions on the lines joined by OR must be put in parentheses");
        expect(TokenKind::RightParen, "')' to close the line count at position " + std::to_string(open.position));
        expect(TokenKind::Greater, "'> 0' after the line count");
        const Token& zero = expect(TokenKind::Number, "0 after '>'");
        if (zero.text != "0")
            refuse(zero, "the line count is accepted only as '> 0'");
        return make(std::move(count), open.position);
    }

    std::vector<Token> tokens_;
    const QueryLimits& limits_;
    std::size_t index_ = 0;
    int depth_ = 0;
    bool inLineCount_ = false;
};

} // namespace

ConditionPtr parseCondition(std::string_view text, const QueryLimits& limits)
{
    return Parser(text, limits).run();
}

} // namespace orvane
