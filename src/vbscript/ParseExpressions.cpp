// Expressions: binary operators by a precedence table, unary operators,
// operands and what may follow one (members, arguments, indices).

#include "vbscript/Parser.h"

#include "vbscript/Operators.h"
#include "vbscript/ScriptError.h"

namespace vbscript {

namespace {

// Binding strength of the binary operators, loosest first. Not is a prefix
// operator between And and the comparisons: Not a = b is Not (a = b).
enum Level : int {
    Implication,     // Imp
    Equivalence,     // Eqv
    ExclusiveOr,     // Xor
    Disjunction,     // Or
    Conjunction,     // And
    Negation,        // Not (prefix)
    Comparison,      // = <> < > <= >= Is
    Concatenation,   // &
    Additive,        // + -
    Modulus,         // Mod
    IntegerDivision, // \ .
    Multiplicative,  // * /
    Exponent,        // ^
};

struct BinaryRule
{
    Tok token;
    BinaryOp op;
    Level level;
};

// Every binary operator associates to the left: 10 - 2 - 3 is 5.
constexpr BinaryRule kBinaryRules[] = {
    {Tok::Imp, BinaryOp::Imp, Implication},
    {Tok::Eqv, BinaryOp::Eqv, Equivalence},
    {Tok::Xor, BinaryOp::Xor, ExclusiveOr},
    {Tok::Or, BinaryOp::Or, Disjunction},
    {Tok::And, BinaryOp::And, Conjunction},
    {Tok::Equal, BinaryOp::Eq, Comparison},
    {Tok::NotEqual, BinaryOp::Ne, Comparison},
    {Tok::Less, BinaryOp::Lt, Comparison},
    {Tok::Greater, BinaryOp::Gt, Comparison},
    {Tok::LessEqual, BinaryOp::Le, Comparison},
    {Tok::GreaterEqual, BinaryOp::Ge, Comparison},
    {Tok::Is, BinaryOp::Is, Comparison},
    {Tok::Concat, BinaryOp::Concat, Concatenation},
    {Tok::Plus, BinaryOp::Add, Additive},
    {Tok::Minus, BinaryOp::Sub, Additive},
    {Tok::Mod, BinaryOp::Mod, Modulus},
    {Tok::IntDivide, BinaryOp::IntDiv, IntegerDivision},
    {Tok::Times, BinaryOp::Mul, Multiplicative},
    {Tok::Divide, BinaryOp::Div, Multiplicative},
    {Tok::Power, BinaryOp::Pow, Exponent},
};

const BinaryRule *binaryRuleFor(Tok kind)
{
    for (const BinaryRule &r : kBinaryRules)
        if (r.token == kind)
            return &r;
    return nullptr;
}

} // namespace

// expression = binary ;
ExprPtr Parser::parseExpr()
{
    NestingGuard guard(*this);
    return parseBinary(Implication);
}

// binary = operand { operator binary } ;  operators from the table, each
// taking on its right only operators that bind tighter than itself.
ExprPtr Parser::parseBinary(int minLevel)
{
    ExprPtr left = parseOperand();
    // A chain (1 + 1 + 1 ...) is a tree as deep as it is long down its left
    // side, which its evaluation and its release walk without recursing
    // (BinaryExpr): the chain is one level of nesting for what it holds, and
    // its length has a bound of its own.
    NestingGuard chain(*this, 0);
    int links = 0;
    BinaryExpr *innermost = nullptr;
    while (const BinaryRule *rule = binaryRuleFor(peek().kind)) {
        if (rule->level < minLevel)
            break;
        if (links++ == 0)
            chain.deepen();
        if (links > kMaxChain)
            raise(err::OutOfStackSpace);
        auto b = node<BinaryExpr>(next());
        b->op = rule->op;
        if (innermost)
            static_cast<BinaryExpr *>(left.get())->outer = b.get();
        else
            innermost = b.get();
        b->left = std::move(left);
        b->right = parseBinary(rule->level + 1);
        left = std::move(b);
    }
    if (links > 1)
        static_cast<BinaryExpr *>(left.get())->chainStart = innermost;
    return left;
}

// not = "Not" not | binary of comparisons and tighter ;
// Not met as an operand takes a whole comparison: 1 > Not 5 > 3 is
// 1 > Not (5 > 3).
ExprPtr Parser::parseNot()
{
    if (!peek().is(Tok::Not))
        return parseBinary(Comparison);
    NestingGuard guard(*this);
    auto u = node<UnaryExpr>(next());
    u->op = UnaryOp::Not;
    u->operand = parseNot();
    return u;
}

// operand = ( "-" | "+" ) operand | not | primary ;
// Unary minus binds tighter than ^ in VBScript: -3^2 is 9.
ExprPtr Parser::parseOperand()
{
    const Token &t = peek();
    if (t.is(Tok::Not))
        return parseNot();
    if (!t.is(Tok::Minus) && !t.is(Tok::Plus))
        return parsePrimary(false);
    NestingGuard guard(*this);
    next();
    ExprPtr operand = parseOperand();
    if (t.is(Tok::Minus)) {
        // Negated here to save running it, but still a computed value: the
        // engine folds no constants, and a negated number compares as one.
        if (auto *lit = operand->as<LiteralExpr>(); lit && lit->literal && !lit->value.isString()) {
            // A number negates without converting text: no locale matters.
            static const ExecutionSettings anySettings;
            lit->value = ops::negate(anySettings, lit->value);
            lit->literal = false;
            lit->line = t.line;
            lit->column = t.column;
            return operand;
        }
    }
    auto u = node<UnaryExpr>(t);
    u->op = t.is(Tok::Minus) ? UnaryOp::Neg : UnaryOp::Plus;
    u->operand = std::move(operand);
    return u;
}

// arguments = "(" [ [ expression ] { "," [ expression ] } ] ")" ;
// (an argument left out is Missing: F(1, , 3))
ExprList Parser::parseArgs()
{
    // A call costs its evaluation more stack than a bracket does: it counts
    // twice, with the expression of each argument.
    NestingGuard guard(*this);
    ExprList args;
    next();  // (
    if (accept(Tok::RParen))
        return args;
    while (true) {
        if (peek().is(Tok::Comma) || peek().is(Tok::RParen))
            args.push_back(node<MissingExpr>(peek()));
        else
            args.push_back(parseExpr());
        if (!accept(Tok::Comma))
            break;
    }
    expect(Tok::RParen, err::ExpectedCloseParen);
    return args;
}

// primary = number | date | string | "True" | "False" | "Empty" | "Null" | "Nothing"
//         | "(" expression ")" | "." name | "Me" | "New" name | name [ arguments ] ;
// followed by what postfix reads, except after a string, a Boolean, Empty,
// Null, Nothing and New. In a call statement's target (stopAtSpacedParen), a
// parenthesis after a blank starts the arguments, not an index: S (x).
ExprPtr Parser::parsePrimary(bool stopAtSpacedParen)
{
    const Token &t = peek();
    auto literal = [&](Variant value) {
        auto lit = node<LiteralExpr>(next());
        lit->value = std::move(value);
        return lit;
    };
    switch (t.kind) {
    case Tok::Number:
    case Tok::Date: {
        auto lit = literal(t.value);
        lit->literal = true;
        return parsePostfix(std::move(lit), stopAtSpacedParen);
    }
    case Tok::String: {
        auto lit = literal(t.value);
        lit->literal = true;
        if (m_readingRule)
            m_ctx.texts.push_back(lit.get());
        return lit;
    }
    case Tok::True: return literal(Variant(true));
    case Tok::False: return literal(Variant(false));
    case Tok::Empty: return literal(Variant());
    case Tok::Null: return literal(Variant::null());
    case Tok::Nothing: return literal(Variant::nothing());
    case Tok::LParen: {
        NestingGuard guard(*this);
        auto p = node<ParenExpr>(next());
        p->inner = parseExpr();
        expect(Tok::RParen, err::ExpectedCloseParen);
        return parsePostfix(std::move(p), stopAtSpacedParen);
    }
    case Tok::Dot:
        // .member inside With: the member of the With object.
        return parsePostfix(parseMember(node<WithObjectExpr>(t)), stopAtSpacedParen);
    case Tok::Me: {
        if (!m_ctx.cls && !(m_scope && m_scope->owner))
            fail(err::InvalidUseOfMe);
        auto me = node<MeExpr>(next());
        return parsePostfix(std::move(me), stopAtSpacedParen);
    }
    case Tok::New: {
        auto n = node<NewExpr>(next());
        const Token &c = peek();
        if (!c.isWord())
            fail(err::ExpectedIdentifier);
        next();
        n->className = c.text;
        return n;
    }
    case Tok::Newline:
    case Tok::Colon:
    case Tok::Eof:
        // The statement ends where an operand should follow (1 +, Not, a
        // bare x =): the Windows parser calls that a syntax error, and
        // "Expected expression" a token that cannot start one.
        fail(err::SyntaxError);
    default:
        break;
    }
    if (!t.isName())
        fail(err::ExpectedExpression);
    next();
    ExprPtr name = makeName(t);
    if (peek().is(Tok::LParen) && !(stopAtSpacedParen && peek().spaceBefore))
        name = makeCall(std::move(name), parseArgs());
    return parsePostfix(std::move(name), stopAtSpacedParen);
}

// postfix = { "." name [ arguments ] | arguments } ;
// Arguments index the result of a call, a member or an index: f(1)(2).
ExprPtr Parser::parsePostfix(ExprPtr base, bool stopAtSpacedParen)
{
    // Each link holds the chain before it: a.b.c is as deep as it is long.
    NestingGuard chain(*this, 0);
    while (true) {
        const Token &t = peek();
        const bool argumentsFollow = t.is(Tok::LParen) && !(stopAtSpacedParen && t.spaceBefore);
        if (t.is(Tok::Dot) && !t.spaceBefore) {
            chain.deepen();
            auto e = parseMember(std::move(base));
            if (peek().is(Tok::LParen) && !(stopAtSpacedParen && peek().spaceBefore))
                e->args = parseArgs();
            base = std::move(e);
        } else if (argumentsFollow
                   && (base->as<NameCallExpr>() || base->as<MemberExpr>() || base->as<IndexExpr>())) {
            chain.deepen();
            auto ix = node<IndexExpr>(t);
            ix->target = std::move(base);
            ix->args = parseArgs();
            base = std::move(ix);
        } else {
            return base;
        }
    }
}

// "." name, the member of `object` that the dot before it names.
std::unique_ptr<MemberExpr> Parser::parseMember(ExprPtr object)
{
    next();
    const Token &m = peek();
    if (!m.isWord())
        fail(err::ExpectedIdentifier);
    next();
    auto e = node<MemberExpr>(m);
    e->object = std::move(object);
    e->member = m.text;
    return e;
}

// Name(args) becomes a call node; object.member(args) keeps its arguments.
ExprPtr Parser::makeCall(ExprPtr target, ExprList args)
{
    if (auto *n = target->as<NameExpr>()) {
        auto c = std::make_unique<NameCallExpr>();
        c->line = n->line;
        c->column = n->column;
        c->ref.name = n->ref.name;
        c->ref.key = n->ref.key;
        c->ref.hasArgs = true;
        // The NameRef moves into the call node: re-register it.
        for (auto it = m_ctx.refs.rbegin(); it != m_ctx.refs.rend(); ++it) {
            if (*it == &n->ref) {
                *it = &c->ref;
                break;
            }
        }
        c->args = std::move(args);
        return c;
    }
    if (auto *m = target->as<MemberExpr>())
        m->args = std::move(args);
    return target;
}

} // namespace vbscript
