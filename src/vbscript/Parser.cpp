// The parser's tokens, names and whole units. The grammar's notation: EBNF,
// with "quoted" keywords and symbols, {repetition}, [option] and (a | b);
// newline stands for a line end, and a ':' separates statements as one does.

#include "vbscript/Parser.h"

#include "vbscript/ScriptError.h"
#include "vbscript/StackGuard.h"

#include <algorithm>

namespace vbscript {

Parser::Parser(const QString &source, const Procedure *scope, WorkMeter *meter)
    : m_lexer(source, meter), m_scope(scope), m_meter(meter)
{
}

Parser::NestingGuard::NestingGuard(Parser &p, int levels) : m_parser(p)
{
    for (int i = 0; i < levels; ++i)
        deepen();
}

void Parser::NestingGuard::deepen()
{
    if (m_parser.m_nesting >= kMaxNesting)
        raise(err::OutOfStackSpace);
    ++m_parser.m_nesting;
    ++m_levels;
    stack::check();
}

// ---- tokens

const Token &Parser::peek(int ahead) const
{
    const size_t i = std::min(m_pos + size_t(ahead), m_tokens.size() - 1);
    return m_tokens[i];
}

const Token &Parser::next()
{
    const Token &t = m_tokens[m_pos];
    if (m_pos + 1 < m_tokens.size())
        ++m_pos;
    if (m_meter)
        m_meter->spend(WorkMeter::kStep);
    return t;
}

bool Parser::atEndOfStatement() const
{
    const Token &t = peek();
    return t.endsStatement() || (m_singleLineIf && t.is(Tok::Else));
}

bool Parser::accept(Tok kind)
{
    if (!peek().is(kind))
        return false;
    next();
    return true;
}

void Parser::expect(Tok kind, err::Code error)
{
    if (!accept(kind))
        fail(error);
}

QString Parser::expectName()
{
    const Token &t = peek();
    if (!t.isName())
        fail(err::ExpectedIdentifier);
    next();
    return t.text;
}

void Parser::fail(err::Code code) const
{
    failAt(code, peek());
}

void Parser::failAt(err::Code code, const Token &t) const
{
    throw ScriptError::compile(code, t.line, t.column, m_lexer.lines().value(t.line - 1));
}

void Parser::endOfStatement()
{
    if (!atEndOfStatement())
        fail(err::ExpectedEndOfStatement);
}

void Parser::skipSeparators()
{
    while (peek().is(Tok::Newline) || peek().is(Tok::Colon))
        next();
}

// ---- names and resolution

ExprPtr Parser::makeName(const Token &t)
{
    auto n = node<NameExpr>(t);
    n->ref.name = t.text;
    n->ref.key = t.text.toLower();
    m_ctx.refs.push_back(&n->ref);
    return n;
}

bool Parser::isGlobalNameTaken(const QString &key) const
{
    return std::find(m_unit->globalDims.begin(), m_unit->globalDims.end(), key) != m_unit->globalDims.end()
        || std::any_of(m_unit->procedures.begin(), m_unit->procedures.end(),
                       [&](const auto &p) { return !p->owner && p->name.toLower() == key; });
}

void Parser::declareLocal(const QString &name, const Token &at)
{
    const QString key = name.toLower();
    if (m_ctx.proc) {
        if (m_ctx.proc->locals.contains(key))
            failAt(err::NameRedefined, at);
        m_ctx.proc->locals.insert(key, m_ctx.proc->localCount++);
    } else if (!m_ctx.cls) {
        if (isGlobalNameTaken(key))
            failAt(err::NameRedefined, at);
        m_unit->globalDims.push_back(key);
    }
}

// Binds each name read in a scope, now that the scope is complete: to a local
// slot, a field or member of the class, or else to a lookup at run time.
void Parser::resolve(Context &ctx)
{
    for (NameRef *r : ctx.refs) {
        const Procedure *scope = ctx.proc ? ctx.proc : m_scope;
        const ClassDef *cls = ctx.cls ? ctx.cls : (m_scope ? m_scope->owner : nullptr);
        if (scope) {
            auto it = scope->locals.constFind(r->key);
            // Inside Function F, F(...) calls F instead of reading its result.
            if (it != scope->locals.constEnd() && !(r->hasArgs && it.value() == scope->resultSlot)) {
                r->kind = NameRef::Kind::Local;
                r->slot = it.value();
                r->namesConst = ctx.consts.contains(r->key);
                continue;
            }
        }
        if (cls) {
            auto it = cls->members.constFind(r->key);
            if (it != cls->members.constEnd()) {
                if (it->field >= 0) {
                    r->kind = NameRef::Kind::Field;
                    r->slot = it->field;
                } else {
                    r->kind = NameRef::Kind::MeMember;
                }
                continue;
            }
        }
        r->kind = NameRef::Kind::Dynamic;
    }
    ctx.refs.clear();
}

// ---- whole units

// program = [ "Option" "Explicit" newline ] { declaration | class | statement } ;
std::unique_ptr<CodeUnit> Parser::parseProgram()
{
    m_tokens = m_lexer.tokenize();
    m_unit = std::make_unique<CodeUnit>();
    m_unit->lines = m_lexer.lines();
    skipSeparators();
    if (accept(Tok::Option)) {
        expect(Tok::Explicit, err::SyntaxError);
        m_unit->optionExplicit = true;
        endOfStatement();
    }
    while (true) {
        skipSeparators();
        const Token &t = peek();
        switch (t.kind) {
        case Tok::Eof:
            resolve(m_ctx);
            return std::move(m_unit);
        case Tok::Function:
        case Tok::Sub:
        case Tok::Property:
            parseDeclarationOrProcedure(true);
            break;
        case Tok::Public:
        case Tok::Private:
            next();
            parseDeclarationOrProcedure(t.is(Tok::Public));
            break;
        case Tok::Class:
            parseClass();
            break;
        case Tok::Option:
            fail(err::SyntaxError);  // Option Explicit comes first or not at all
        default:
            if (StmtPtr s = parseStatement())
                m_unit->statements.push_back(std::move(s));
        }
    }
}

// The whole source as one expression, blank lines around it allowed.
void Parser::readExpressionUnit()
{
    m_tokens = m_lexer.tokenize();
    m_unit = std::make_unique<CodeUnit>();
    m_unit->lines = m_lexer.lines();
    while (peek().is(Tok::Newline))
        next();
    m_unit->expression = parseExpr();
    while (peek().is(Tok::Newline))
        next();
    if (!peek().is(Tok::Eof))
        fail(err::ExpectedEndOfStatement);
}

std::unique_ptr<CodeUnit> Parser::parseExpression()
{
    readExpressionUnit();
    resolve(m_ctx);
    return std::move(m_unit);
}

std::unique_ptr<CodeUnit> Parser::parseRule(Procedure &rule, const std::function<bool(NameRef &)> &isEngineName)
{
    m_readingRule = true;
    readExpressionUnit();
    // Names were registered as their tokens were read, so in source order.
    for (NameRef *r : m_ctx.refs) {
        if (rule.locals.contains(r->key) || isEngineName(*r))
            continue;
        rule.locals.insert(r->key, rule.localCount++);
        rule.params.push_back({r->name, false});
    }
    const Procedure *saved = m_scope;
    m_scope = &rule;
    resolve(m_ctx);
    m_scope = saved;
    m_unit->literalTexts.reserve(m_ctx.texts.size());
    for (LiteralExpr *text : m_ctx.texts) {
        const QString &chars = text->value.rawString();
        if (!chars.data_ptr().isMutable())
            continue;  // static text counts no references already
        const QString &kept = m_unit->literalTexts.emplace_back(chars);
        text->value = Variant(QString::fromRawData(kept.constData(), kept.size()));
    }
    return std::move(m_unit);
}

} // namespace vbscript
