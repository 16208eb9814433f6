#include "vbscript/Parser.h"

#include "vbscript/ScriptError.h"
#include "vbscript/StackGuard.h"

#include <QSet>

#include <algorithm>

namespace vbscript {

namespace {

const QSet<QString> &reservedWords()
{
    static const QSet<QString> words = {
        QStringLiteral("and"), QStringLiteral("byref"), QStringLiteral("byval"), QStringLiteral("call"),
        QStringLiteral("case"), QStringLiteral("class"), QStringLiteral("const"), QStringLiteral("dim"),
        QStringLiteral("do"), QStringLiteral("each"), QStringLiteral("else"), QStringLiteral("elseif"),
        QStringLiteral("empty"), QStringLiteral("end"), QStringLiteral("eqv"), QStringLiteral("erase"),
        QStringLiteral("exit"), QStringLiteral("false"), QStringLiteral("for"), QStringLiteral("function"),
        QStringLiteral("goto"), QStringLiteral("if"), QStringLiteral("imp"), QStringLiteral("in"),
        QStringLiteral("is"), QStringLiteral("loop"), QStringLiteral("me"), QStringLiteral("mod"),
        QStringLiteral("new"), QStringLiteral("next"), QStringLiteral("not"), QStringLiteral("nothing"),
        QStringLiteral("null"), QStringLiteral("on"), QStringLiteral("option"), QStringLiteral("or"),
        QStringLiteral("preserve"), QStringLiteral("private"), QStringLiteral("public"), QStringLiteral("redim"),
        QStringLiteral("resume"), QStringLiteral("select"), QStringLiteral("set"), QStringLiteral("stop"), QStringLiteral("sub"),
        QStringLiteral("then"), QStringLiteral("to"), QStringLiteral("true"), QStringLiteral("until"),
        QStringLiteral("wend"), QStringLiteral("while"), QStringLiteral("with"), QStringLiteral("xor"),
    };
    return words;
}

// Binary operator levels, loosest first.
enum Level { LImp, LEqv, LXor, LOr, LAnd, LNot, LCompare, LConcat, LAdd, LMod, LIntDiv, LMul, LPow };

struct Nesting
{
    explicit Nesting(int &n) : n(n) { ++n; }
    ~Nesting() { --n; }
    int &n;
};

} // namespace

Parser::Parser(const QString &source, const Procedure *scope) : m_lexer(source), m_scope(scope)
{
}

template<typename T>
std::unique_ptr<T> Parser::node(const Token &at)
{
    auto n = std::make_unique<T>();
    n->line = at.line;
    n->column = at.column;
    return n;
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
    return t;
}

bool Parser::atEndOfStatement() const
{
    const Token &t = peek();
    return t.kind == Tok::Newline || t.kind == Tok::Colon || t.kind == Tok::Eof
        || (m_singleLineIf && t.is("else"));
}

bool Parser::accept(const char *word)
{
    if (peek().is(word)) {
        next();
        return true;
    }
    return false;
}

bool Parser::acceptOp(const char *op)
{
    if (peek().isOp(op)) {
        next();
        return true;
    }
    return false;
}

void Parser::expect(const char *word, int error)
{
    if (!accept(word))
        fail(error);
}

void Parser::expectKind(Tok kind, int error)
{
    if (peek().kind != kind)
        fail(error);
    next();
}

QString Parser::expectIdentifier()
{
    const Token &t = peek();
    if (t.kind != Tok::Identifier || isReserved(t))
        fail(1010);
    next();
    return t.text;
}

bool Parser::isReserved(const Token &t) const
{
    return t.kind == Tok::Identifier && !t.bracketed && reservedWords().contains(t.text.toLower());
}

void Parser::fail(int number) const
{
    failAt(number, peek());
}

void Parser::failAt(int number, const Token &t) const
{
    throw ScriptError::compile(number, t.line, t.column, m_lexer.lines().value(t.line - 1));
}

void Parser::endOfStatement()
{
    if (!atEndOfStatement())
        fail(1025);
}

void Parser::skipSeparators()
{
    while (peek().kind == Tok::Newline || peek().kind == Tok::Colon)
        next();
}

void Parser::enterNesting()
{
    if (m_nesting > kMaxNesting)
        throw ScriptError::runtime(err::OutOfStackSpace);
    stack::check();
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

void Parser::declareLocal(const QString &name, const Token &at)
{
    const QString key = name.toLower();
    if (m_ctx.proc) {
        if (m_ctx.proc->locals.contains(key))
            failAt(1041, at);
        m_ctx.proc->locals.insert(key, m_ctx.proc->localCount++);
    } else if (!m_ctx.cls) {
        if (std::find(m_unit->globalDims.begin(), m_unit->globalDims.end(), key) != m_unit->globalDims.end()
            || std::any_of(m_unit->procedures.begin(), m_unit->procedures.end(),
                           [&](const auto &p) { return !p->owner && p->name.toLower() == key; }))
            failAt(1041, at);
        m_unit->globalDims.push_back(key);
    }
}

void Parser::resolve(Context &ctx)
{
    for (NameRef *r : ctx.refs) {
        const Procedure *scope = ctx.proc ? ctx.proc : m_scope;
        const ClassDef *cls = ctx.cls ? ctx.cls : (m_scope ? m_scope->owner : nullptr);
        if (scope) {
            auto it = scope->locals.constFind(r->key);
            if (it != scope->locals.constEnd() && !(r->hasArgs && it.value() == scope->resultSlot)) {
                r->kind = NameRef::Kind::Local;
                r->slot = it.value();
                r->numericConst = ctx.numericConsts.contains(r->key);
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

// ---- program structure

std::unique_ptr<CodeUnit> Parser::parseProgram()
{
    m_tokens = m_lexer.tokenize();
    m_unit = std::make_unique<CodeUnit>();
    m_unit->lines = m_lexer.lines();
    skipSeparators();
    if (peek().is("option")) {
        next();
        expect("explicit", 1002);
        m_unit->optionExplicit = true;
        endOfStatement();
    }
    while (true) {
        skipSeparators();
        if (peek().kind == Tok::Eof)
            break;
        const Token &t = peek();
        if (t.is("function") || t.is("sub") || t.is("property")) {
            parseDeclarationOrProcedure(true);
        } else if (t.is("public") || t.is("private")) {
            const bool isPublic = t.is("public");
            next();
            parseDeclarationOrProcedure(isPublic);
        } else if (t.is("class")) {
            parseClass();
        } else if (t.is("option")) {
            fail(1002);
        } else {
            if (StmtPtr s = parseStatement())
                m_unit->statements.push_back(std::move(s));
        }
    }
    resolve(m_ctx);
    return std::move(m_unit);
}

// The whole source as one expression, blank lines around it allowed.
void Parser::readExpressionUnit()
{
    m_tokens = m_lexer.tokenize();
    m_unit = std::make_unique<CodeUnit>();
    m_unit->lines = m_lexer.lines();
    while (peek().kind == Tok::Newline)
        next();
    m_unit->expression = parseExpr();
    while (peek().kind == Tok::Newline)
        next();
    if (peek().kind != Tok::Eof)
        fail(1025);
}

std::unique_ptr<CodeUnit> Parser::parseExpression()
{
    readExpressionUnit();
    resolve(m_ctx);
    return std::move(m_unit);
}

std::unique_ptr<CodeUnit> Parser::parseRule(Procedure &rule, const std::function<bool(NameRef &)> &isEngineName)
{
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
    return std::move(m_unit);
}

// After Public/Private (or at a Function/Sub): a procedure or a variable list.
void Parser::parseDeclarationOrProcedure(bool isPublic)
{
    bool isDefault = false;
    if (accept("default")) {
        isDefault = true;
        if (!isPublic)
            fail(1057);
        if (!m_ctx.cls)
            fail(1048);
    }
    if (accept("function")) {
        parseProcedure(Procedure::Kind::Function, isPublic, isDefault);
    } else if (accept("sub")) {
        parseProcedure(Procedure::Kind::Sub, isPublic, isDefault);
    } else if (peek().is("property")) {
        if (!m_ctx.cls)
            fail(1048);
        next();
        Procedure::Kind kind;
        if (accept("get"))
            kind = Procedure::Kind::PropertyGet;
        else if (accept("let"))
            kind = Procedure::Kind::PropertyLet;
        else if (accept("set"))
            kind = Procedure::Kind::PropertySet;
        else
            fail(1049);
        if (isDefault && kind != Procedure::Kind::PropertyGet)
            fail(1058);
        parseProcedure(kind, isPublic, isDefault);
    } else if (isDefault) {
        fail(1056);
    } else if (peek().is("const")) {
        StmtPtr s = parseConst();
        if (m_ctx.cls)
            fail(1048);
        m_unit->statements.push_back(std::move(s));
    } else {
        accept("dim");
        StmtPtr s = parseDim(m_ctx.cls != nullptr, isPublic);
        if (s)
            m_unit->statements.push_back(std::move(s));
    }
}

void Parser::parseProcedure(Procedure::Kind kind, bool isPublic, bool isDefault)
{
    if (m_ctx.proc)
        fail(1024);
    const Token &nameTok = peek();
    const QString name = expectIdentifier();
    if (!m_ctx.cls) {
        const QString key = name.toLower();
        const bool taken = std::find(m_unit->globalDims.begin(), m_unit->globalDims.end(), key) != m_unit->globalDims.end()
            || std::any_of(m_unit->procedures.begin(), m_unit->procedures.end(), [&](const auto &p) {
                   return !p->owner && p->name.compare(name, Qt::CaseInsensitive) == 0;
               });
        if (taken)
            failAt(1041, nameTok);
    }
    auto proc = std::make_unique<Procedure>();
    proc->name = name;
    proc->kind = kind;
    proc->isPublic = isPublic;
    proc->isDefault = isDefault;
    proc->owner = m_ctx.cls;
    proc->unit = m_unit.get();
    proc->line = nameTok.line;

    Context saved = std::move(m_ctx);
    m_ctx = Context();
    m_ctx.proc = proc.get();
    m_ctx.cls = saved.cls;

    if (peek().kind == Tok::LParen) {
        next();
        if (peek().kind != Tok::RParen) {
            do {
                Procedure::Param p;
                if (accept("byval"))
                    p.byRef = false;
                else
                    accept("byref");
                const Token &pt = peek();
                p.name = expectIdentifier();
                if (peek().kind == Tok::LParen) {
                    next();
                    expectKind(Tok::RParen, 1006);
                }
                declareLocal(p.name, pt);
                proc->params.push_back(p);
            } while (peek().kind == Tok::Comma && (next(), true));
        }
        expectKind(Tok::RParen, 1006);
    }
    if ((kind == Procedure::Kind::PropertyLet || kind == Procedure::Kind::PropertySet) && proc->params.empty())
        failAt(1054, nameTok);
    if (kind == Procedure::Kind::Function || kind == Procedure::Kind::PropertyGet) {
        proc->resultSlot = proc->localCount++;
        proc->locals.insert(name.toLower(), proc->resultSlot);
    }
    const char *endWord = kind == Procedure::Kind::Function ? "function"
                        : kind == Procedure::Kind::Sub      ? "sub"
                                                            : "property";
    const int endError = kind == Procedure::Kind::Function ? 1015 : kind == Procedure::Kind::Sub ? 1016 : 1050;
    proc->body = parseBlock({"end"});
    expect("end", 1014);
    expect(endWord, endError);
    endOfStatement();

    Procedure *p = proc.get();
    if (m_ctx.cls)
        m_pendingClassProcs.emplace_back(p, std::move(m_ctx.refs));  // resolved at End Class
    else
        resolve(m_ctx);
    m_ctx = std::move(saved);

    if (ClassDef *cls = m_ctx.cls) {
        const QString key = name.toLower();
        ClassDef::Member &m = cls->members[key];
        if (m.field >= 0)
            failAt(1041, nameTok);
        switch (kind) {
        case Procedure::Kind::PropertyGet: if (m.get || m.method) failAt(1041, nameTok); m.get = p; break;
        case Procedure::Kind::PropertyLet: if (m.let || m.method) failAt(1041, nameTok); m.let = p; break;
        case Procedure::Kind::PropertySet: if (m.set || m.method) failAt(1041, nameTok); m.set = p; break;
        default: if (m.method || m.get || m.let || m.set) failAt(1041, nameTok); m.method = p; break;
        }
        m.isPublic = isPublic;
        if (isDefault) {
            if (!cls->defaultMember.isEmpty() && cls->defaultMember != key)
                failAt(1052, nameTok);
            cls->defaultMember = key;
        }
        if (key == QLatin1String("class_initialize") || key == QLatin1String("class_terminate")) {
            if (!p->params.empty())
                failAt(1053, nameTok);
            if (kind == Procedure::Kind::Sub)
                (key == QLatin1String("class_initialize") ? cls->initialize : cls->terminate) = p;
        }
    }
    m_unit->procedures.push_back(std::move(proc));
}

void Parser::parseClass()
{
    next();  // Class
    const Token &nameTok = peek();
    const QString name = expectIdentifier();
    endOfStatement();
    auto cls = std::make_unique<ClassDef>();
    cls->name = name;
    cls->unit = m_unit.get();
    Context saved = std::move(m_ctx);
    m_ctx = Context();
    m_ctx.cls = cls.get();
    while (true) {
        skipSeparators();
        const Token &t = peek();
        if (t.kind == Tok::Eof)
            fail(1047);
        if (t.is("end"))
            break;
        if (t.is("public") || t.is("private")) {
            const bool isPublic = t.is("public");
            next();
            parseDeclarationOrProcedure(isPublic);
        } else if (t.is("dim")) {
            next();
            parseDim(true, true);
        } else if (t.is("function") || t.is("sub") || t.is("property")) {
            parseDeclarationOrProcedure(true);
        } else {
            fail(1024);
        }
    }
    expect("end", 1014);
    expect("class", 1047);
    endOfStatement();
    // Names in the class's procedures resolve against the complete member list.
    for (auto &[proc, refs] : m_pendingClassProcs) {
        Context c;
        c.proc = proc;
        c.cls = cls.get();
        c.refs = std::move(refs);
        resolve(c);
    }
    m_pendingClassProcs.clear();
    resolve(m_ctx);
    m_ctx = std::move(saved);
    for (const auto &other : m_unit->classes)
        if (other->name.compare(name, Qt::CaseInsensitive) == 0)
            failAt(1041, nameTok);
    m_unit->classes.push_back(std::move(cls));
}

ExprList Parser::parseBounds()
{
    ExprList bounds;
    next();  // (
    if (peek().kind != Tok::RParen) {
        do {
            bounds.push_back(parseExpr());
        } while (peek().kind == Tok::Comma && (next(), true));
    }
    expectKind(Tok::RParen, 1006);
    return bounds;
}

StmtPtr Parser::parseDim(bool classLevel, bool isPublic)
{
    auto stmt = node<DimStmt>(peek());
    do {
        const Token &t = peek();
        const QString name = expectIdentifier();
        DimStmt::Item item;
        ExprList bounds;
        bool isArray = false;
        if (peek().kind == Tok::LParen) {
            isArray = true;
            bounds = parseBounds();
        }
        if (classLevel && !m_ctx.proc) {
            ClassDef *cls = m_ctx.cls;
            const QString key = name.toLower();
            if (cls->members.contains(key))
                failAt(1041, t);
            ClassDef::Member m;
            m.field = int(cls->fields.size());
            m.isPublic = isPublic;
            cls->members.insert(key, m);
            ClassDef::Field f;
            f.name = name;
            f.isPublic = isPublic;
            f.isArray = isArray;
            f.bounds = std::move(bounds);
            cls->fields.push_back(std::move(f));
            continue;
        }
        declareLocal(name, t);
        item.ref.name = name;
        item.ref.key = name.toLower();
        item.isArray = isArray;
        item.bounds = std::move(bounds);
        stmt->items.push_back(std::move(item));
    } while (peek().kind == Tok::Comma && (next(), true));
    endOfStatement();
    for (auto &item : stmt->items)
        m_ctx.refs.push_back(&item.ref);
    if (stmt->items.empty())
        return nullptr;
    return stmt;
}

// ---- statements

bool Parser::atTerminator(std::initializer_list<const char *> terminators) const
{
    const Token &t = peek();
    if (t.kind == Tok::Eof)
        return true;
    for (const char *w : terminators)
        if (t.is(w))
            return true;
    return false;
}

Block Parser::parseBlock(std::initializer_list<const char *> terminators)
{
    Block block;
    while (true) {
        skipSeparators();
        if (atTerminator(terminators))
            break;
        const Token &t = peek();
        if (t.is("function") || t.is("sub") || t.is("class") || t.is("public") || t.is("private")
            || t.is("property"))
            fail(1024);
        if (StmtPtr s = parseStatement())
            block.push_back(std::move(s));
    }
    return block;
}

StmtPtr Parser::parseStatement(bool singleLine)
{
    Nesting guard(m_nesting);
    enterNesting();
    const Token &t = peek();
    StmtPtr s;
    if (t.kind == Tok::Identifier && !t.bracketed) {
        const QString w = t.text.toLower();
        if (w == QLatin1String("dim")) {
            next();
            s = parseDim(false, true);
            return s;
        }
        if (w == QLatin1String("redim"))
            s = parseReDim();
        else if (w == QLatin1String("const"))
            s = parseConst();
        else if (w == QLatin1String("erase")) {
            auto e = node<EraseStmt>(next());
            e->target = makeName(peek());
            expectIdentifier();
            s = std::move(e);
        } else if (w == QLatin1String("if"))
            s = parseIf();
        else if (w == QLatin1String("select"))
            s = parseSelect();
        else if (w == QLatin1String("for"))
            s = parseFor();
        else if (w == QLatin1String("do"))
            s = parseDo();
        else if (w == QLatin1String("while"))
            s = parseWhile();
        else if (w == QLatin1String("exit"))
            s = parseExit();
        else if (w == QLatin1String("on"))
            s = parseOnError();
        else if (w == QLatin1String("with"))
            s = parseWith();
        else if (w == QLatin1String("stop")) {
            // A breakpoint for a debugger; with none attached it does nothing.
            auto e = node<ExitStmt>(next());
            e->flow = Flow::Normal;
            s = std::move(e);
        } else if (w == QLatin1String("loop"))
            fail(1038);
        else if (w == QLatin1String("next"))
            fail(1055);
        else if (w == QLatin1String("set")) {
            auto a = node<AssignStmt>(next());
            a->isSet = true;
            a->target = parsePrimary(false);
            if (!a->target->isAssignable())
                fail(1002);
            if (!acceptOp("="))
                fail(1011);
            a->value = parseExpr();
            s = std::move(a);
        } else if (w == QLatin1String("call")) {
            auto c = node<CallStmt>(next());
            ExprPtr target = parsePrimary(false);
            if (dynamic_cast<NameExpr *>(target.get()))
                target = makeCall(std::move(target), {});
            c->call = std::move(target);
            s = std::move(c);
        } else if (isReserved(t) && w != QLatin1String("me")) {
            fail(1024);
        }
    }
    if (!s)
        s = parseSimpleStatement();
    if (!singleLine)
        endOfStatement();
    return s;
}

// An assignment or a call, starting with a name, Me or a With member.
StmtPtr Parser::parseSimpleStatement()
{
    const Token &start = peek();
    if (start.kind != Tok::Identifier && start.kind != Tok::Dot)
        fail(1024);
    ExprPtr target = parsePrimary(true);
    if (peek().isOp("=")) {
        next();
        if (!target->isAssignable())
            failAt(1002, start);
        auto a = node<AssignStmt>(start);
        a->target = std::move(target);
        a->value = parseExpr();
        return a;
    }
    auto c = node<CallStmt>(start);
    if (atEndOfStatement()) {
        // Name(a, b) as a statement needs Call; Name(a) passes a by value.
        auto checkParens = [&](ExprList &args) {
            if (args.size() > 1)
                failAt(1044, start);
            if (args.size() == 1) {
                auto p = std::make_unique<ParenExpr>();
                p->line = args[0]->line;
                p->column = args[0]->column;
                p->inner = std::move(args[0]);
                args[0] = std::move(p);
            }
        };
        if (auto *nc = dynamic_cast<NameCallExpr *>(target.get()))
            checkParens(nc->args);
        else if (auto *mc = dynamic_cast<MemberExpr *>(target.get()))
            checkParens(mc->args);
        else if (dynamic_cast<NameExpr *>(target.get()))
            target = makeCall(std::move(target), {});
        c->call = std::move(target);
        return c;
    }
    ExprList args = parseBareArgs();
    if (dynamic_cast<NameExpr *>(target.get()) || dynamic_cast<MemberExpr *>(target.get())) {
        if (auto *mc = dynamic_cast<MemberExpr *>(target.get()); mc && !mc->args.empty())
            failAt(1025, start);
        c->call = makeCall(std::move(target), std::move(args));
        return c;
    }
    fail(1025);
}

ExprList Parser::parseBareArgs()
{
    ExprList args;
    while (true) {
        if (peek().kind == Tok::Comma) {
            auto m = node<MissingExpr>(peek());
            args.push_back(std::move(m));
            next();
            continue;
        }
        args.push_back(parseExpr());
        if (peek().kind == Tok::Comma) {
            next();
            if (atEndOfStatement())
                args.push_back(node<MissingExpr>(peek()));
            continue;
        }
        break;
    }
    return args;
}

ExprPtr Parser::makeCall(ExprPtr target, ExprList args)
{
    if (auto *n = dynamic_cast<NameExpr *>(target.get())) {
        auto c = std::make_unique<NameCallExpr>();
        c->line = n->line;
        c->column = n->column;
        c->ref.name = n->ref.name;
        c->ref.key = n->ref.key;
        c->ref.hasArgs = true;
        // the NameRef moves into the call node: re-register it
        for (auto it = m_ctx.refs.rbegin(); it != m_ctx.refs.rend(); ++it) {
            if (*it == &n->ref) {
                *it = &c->ref;
                break;
            }
        }
        c->args = std::move(args);
        return c;
    }
    if (auto *m = dynamic_cast<MemberExpr *>(target.get())) {
        m->args = std::move(args);
        return target;
    }
    return target;
}

StmtPtr Parser::parseIf()
{
    auto s = node<IfStmt>(next());
    ExprPtr cond = parseExpr();
    expect("then", 1017);
    if (peek().kind == Tok::Newline || peek().kind == Tok::Eof) {
        Block body = parseBlock({"elseif", "else", "end"});
        s->branches.emplace_back(std::move(cond), std::move(body));
        s->branchAt.push_back(*s);
        while (true) {
            const Token &elseIf = peek();
            Node elseIfAt;
            elseIfAt.line = elseIf.line;
            elseIfAt.column = elseIf.column;
            if (accept("elseif")) {
                s->branchAt.push_back(elseIfAt);
                ExprPtr c = parseExpr();
                expect("then", 1017);
                Block b = parseBlock({"elseif", "else", "end"});
                s->branches.emplace_back(std::move(c), std::move(b));
            } else if (accept("else")) {
                s->elseBlock = parseBlock({"end"});
                if (peek().is("else") || peek().is("elseif"))
                    fail(1014);
            } else {
                break;
            }
        }
        expect("end", 1014);
        expect("if", 1012);
        return s;
    }
    // Single-line form: statements up to the end of the line, Else part too.
    const bool outer = m_singleLineIf;
    m_singleLineIf = true;
    Block body;
    auto lineBlock = [&](Block &b) {
        while (true) {
            if (peek().kind == Tok::Newline || peek().kind == Tok::Eof || peek().is("else"))
                break;
            if (peek().kind == Tok::Colon) {
                next();
                continue;
            }
            if (StmtPtr st = parseStatement(true))
                b.push_back(std::move(st));
            if (!atEndOfStatement())
                fail(1025);
        }
    };
    lineBlock(body);
    s->branches.emplace_back(std::move(cond), std::move(body));
    s->branchAt.push_back(*s);
    if (accept("else"))
        lineBlock(s->elseBlock);
    m_singleLineIf = outer;
    if (peek().is("end") && peek(1).is("if")) {
        next();
        next();
    }
    return s;
}

StmtPtr Parser::parseSelect()
{
    auto s = node<SelectStmt>(next());
    expect("case", 1021);
    s->subject = parseExpr();
    endOfStatement();
    skipSeparators();
    while (peek().is("case")) {
        Node caseAt;
        caseAt.line = peek().line;
        caseAt.column = peek().column;
        next();
        if (accept("else")) {
            s->hasElse = true;
            s->elseBlock = parseBlock({"end"});
            break;
        }
        SelectStmt::Case c;
        c.at = caseAt;
        do {
            c.values.push_back(parseExpr());
        } while (peek().kind == Tok::Comma && (next(), true));
        c.body = parseBlock({"case", "end"});
        s->cases.push_back(std::move(c));
    }
    expect("end", 1014);
    expect("select", 1022);
    return s;
}

StmtPtr Parser::parseFor()
{
    const Token &forTok = next();
    if (accept("each")) {
        auto s = node<ForEachStmt>(forTok);
        const Token &v = peek();
        expectIdentifier();
        s->element = makeName(v);
        expect("in", 1046);
        s->collection = parseExpr();
        endOfStatement();
        ++m_ctx.forDepth;
        s->body = parseBlock({"next"});
        --m_ctx.forDepth;
        expect("next", 1020);
        if (peek().kind == Tok::Identifier && !isReserved(peek()))
            next();
        return s;
    }
    auto s = node<ForStmt>(forTok);
    const Token &v = peek();
    if (v.kind != Tok::Identifier || isReserved(v))
        fail(1040);
    next();
    s->counter = makeName(v);
    if (!acceptOp("="))
        fail(1011);
    s->from = parseExpr();
    expect("to", 1013);
    s->to = parseExpr();
    if (accept("step"))
        s->step = parseExpr();
    endOfStatement();
    ++m_ctx.forDepth;
    s->body = parseBlock({"next"});
    --m_ctx.forDepth;
    expect("next", 1020);
    if (peek().kind == Tok::Identifier && !isReserved(peek()))
        next();
    return s;
}

StmtPtr Parser::parseDo()
{
    auto s = node<DoStmt>(next());
    if (peek().is("while") || peek().is("until")) {
        s->isUntil = next().is("until");
        s->condition = parseExpr();
        s->testAtTop = true;
    }
    endOfStatement();
    ++m_ctx.doDepth;
    s->body = parseBlock({"loop"});
    --m_ctx.doDepth;
    s->conditionAt = *s;
    if (peek().is("loop")) {
        s->conditionAt.line = peek().line;
        s->conditionAt.column = peek().column;
    }
    expect("loop", 1019);
    if (peek().is("while") || peek().is("until")) {
        if (s->condition)
            fail(1025);
        s->isUntil = next().is("until");
        s->condition = parseExpr();
        s->testAtTop = false;
    } else if (!atEndOfStatement()) {
        fail(1028);
    }
    return s;
}

StmtPtr Parser::parseWhile()
{
    auto s = node<DoStmt>(next());
    s->condition = parseExpr();
    s->testAtTop = true;
    s->isWend = true;
    s->conditionAt = *s;
    endOfStatement();
    s->body = parseBlock({"wend"});
    expect("wend", 1018);
    return s;
}

StmtPtr Parser::parseExit()
{
    auto s = node<ExitStmt>(next());
    auto kindIs = [&](Procedure::Kind k) { return m_ctx.proc && m_ctx.proc->kind == k; };
    const Token &what = peek();
    auto allowed = [&](bool ok) {
        if (!ok)
            failAt(1039, what);
        next();
    };
    if (what.is("do")) {
        allowed(m_ctx.doDepth > 0);
        s->flow = Flow::ExitDo;
    } else if (what.is("for")) {
        allowed(m_ctx.forDepth > 0);
        s->flow = Flow::ExitFor;
    } else if (what.is("function")) {
        allowed(kindIs(Procedure::Kind::Function));
    } else if (what.is("sub")) {
        allowed(kindIs(Procedure::Kind::Sub));
    } else if (what.is("property")) {
        allowed(kindIs(Procedure::Kind::PropertyGet) || kindIs(Procedure::Kind::PropertyLet)
                || kindIs(Procedure::Kind::PropertySet));
    } else {
        fail(1039);
    }
    return s;
}

StmtPtr Parser::parseOnError()
{
    auto s = node<OnErrorStmt>(next());
    if (!accept("error"))
        fail(1002);
    if (accept("resume")) {
        expect("next", 1002);
        s->resumeNext = true;
    } else if (accept("goto")) {
        const Token &t = peek();
        if (t.kind != Tok::Number || !t.value.isIntegral() || t.value.toLong() != 0)
            fail(1002);
        next();
        s->resumeNext = false;
    } else {
        fail(1002);
    }
    return s;
}

StmtPtr Parser::parseWith()
{
    auto s = node<WithStmt>(next());
    s->object = parseExpr();
    endOfStatement();
    s->body = parseBlock({"end"});
    expect("end", 1014);
    expect("with", 1029);
    return s;
}

StmtPtr Parser::parseReDim()
{
    auto s = node<ReDimStmt>(next());
    s->preserve = accept("preserve");
    do {
        const Token &t = peek();
        expectIdentifier();
        ReDimStmt::Item item;
        item.target = makeName(t);
        if (peek().kind != Tok::LParen)
            fail(1005);
        item.bounds = parseBounds();
        s->items.push_back(std::move(item));
    } while (peek().kind == Tok::Comma && (next(), true));
    return s;
}

StmtPtr Parser::parseConst()
{
    auto s = node<ConstStmt>(next());
    do {
        const Token &t = peek();
        const QString name = expectIdentifier();
        if (!acceptOp("="))
            fail(1011);
        ConstStmt::Item item;
        const Token &valueStart = peek();
        item.value = parseExpr();
        // A Const names a literal, signed or in parentheses at most; an
        // expression or another name is refused as the Windows engine does.
        const Expr *literal = item.value.get();
        while (true) {
            if (auto *p = dynamic_cast<const ParenExpr *>(literal))
                literal = p->inner.get();
            else if (auto *u = dynamic_cast<const UnaryExpr *>(literal); u && u->op != UnaryOp::Not)
                literal = u->operand.get();
            else
                break;
        }
        auto *lit = dynamic_cast<const LiteralExpr *>(literal);
        if (!lit)
            failAt(1045, valueStart);
        item.numeric = lit->constantNumber;
        declareLocal(name, t);
        if (m_ctx.proc && item.numeric)
            m_ctx.numericConsts.insert(name.toLower());
        item.ref.name = name;
        item.ref.key = name.toLower();
        s->items.push_back(std::move(item));
    } while (peek().kind == Tok::Comma && (next(), true));
    for (auto &item : s->items)
        m_ctx.refs.push_back(&item.ref);
    return s;
}

// ---- expressions

ExprPtr Parser::parseExpr()
{
    Nesting guard(m_nesting);
    enterNesting();
    return parseBinaryLevel(LImp);
}

ExprPtr Parser::parseBinaryLevel(int level)
{
    if (level == LNot)
        return parseNot();
    if (level > LPow)
        return parseUnary();
    ExprPtr left = parseBinaryLevel(level + 1);
    // A long chain (1 + 1 + 1 ...) builds a tree as deep as it is long, and
    // evaluating it recurses that deep: bound it like nesting.
    int chain = 0;
    while (true) {
        const Token &t = peek();
        BinaryOp op;
        bool match = true;
        switch (level) {
        case LImp: match = t.is("imp"); op = BinaryOp::Imp; break;
        case LEqv: match = t.is("eqv"); op = BinaryOp::Eqv; break;
        case LXor: match = t.is("xor"); op = BinaryOp::Xor; break;
        case LOr: match = t.is("or"); op = BinaryOp::Or; break;
        case LAnd: match = t.is("and"); op = BinaryOp::And; break;
        case LCompare:
            if (t.isOp("=")) op = BinaryOp::Eq;
            else if (t.isOp("<>")) op = BinaryOp::Ne;
            else if (t.isOp("<")) op = BinaryOp::Lt;
            else if (t.isOp(">")) op = BinaryOp::Gt;
            else if (t.isOp("<=")) op = BinaryOp::Le;
            else if (t.isOp(">=")) op = BinaryOp::Ge;
            else if (t.is("is")) op = BinaryOp::Is;
            else match = false;
            break;
        case LConcat: match = t.isOp("&"); op = BinaryOp::Concat; break;
        case LAdd:
            if (t.isOp("+")) op = BinaryOp::Add;
            else if (t.isOp("-")) op = BinaryOp::Sub;
            else match = false;
            break;
        case LMod: match = t.is("mod"); op = BinaryOp::Mod; break;
        case LIntDiv: match = t.isOp("\\"); op = BinaryOp::IntDiv; break;
        case LMul:
            if (t.isOp("*")) op = BinaryOp::Mul;
            else if (t.isOp("/")) op = BinaryOp::Div;
            else match = false;
            break;
        case LPow: match = t.isOp("^"); op = BinaryOp::Pow; break;
        default: match = false;
        }
        if (!match)
            return left;
        if (++chain + m_nesting > kMaxChain)
            throw ScriptError::runtime(err::OutOfStackSpace);
        auto b = node<BinaryExpr>(t);
        next();
        b->op = op;
        b->left = std::move(left);
        b->right = parseBinaryLevel(level + 1);
        left = std::move(b);
    }
}

ExprPtr Parser::parseNot()
{
    if (peek().is("not")) {
        Nesting guard(m_nesting);
        enterNesting();
        auto u = node<UnaryExpr>(next());
        u->op = UnaryOp::Not;
        u->operand = parseNot();
        return u;
    }
    return parseBinaryLevel(LCompare);
}

// Unary minus binds tighter than ^ in VBScript: -3^2 is 9. Not met as an
// operand takes a whole comparison: 1 > Not 5 > 3 is 1 > Not (5 > 3).
ExprPtr Parser::parseUnary()
{
    const Token &t = peek();
    if (t.isOp("-") || t.isOp("+")) {
        Nesting guard(m_nesting);
        enterNesting();
        next();
        ExprPtr operand = parseUnary();
        if (t.isOp("-")) {
            if (auto *lit = dynamic_cast<LiteralExpr *>(operand.get()); lit && lit->constantNumber) {
                lit->value = ops::negate(lit->value);
                lit->line = t.line;
                lit->column = t.column;
                return operand;
            }
        }
        auto u = node<UnaryExpr>(t);
        u->op = t.isOp("-") ? UnaryOp::Neg : UnaryOp::Plus;
        u->operand = std::move(operand);
        return u;
    }
    if (t.is("not"))
        return parseNot();
    return parsePrimary(false);
}

ExprList Parser::parseArgs()
{
    ExprList args;
    next();  // (
    if (peek().kind == Tok::RParen) {
        next();
        return args;
    }
    while (true) {
        if (peek().kind == Tok::Comma || peek().kind == Tok::RParen)
            args.push_back(node<MissingExpr>(peek()));
        else
            args.push_back(parseExpr());
        if (peek().kind == Tok::Comma) {
            next();
            continue;
        }
        break;
    }
    expectKind(Tok::RParen, 1006);
    return args;
}

ExprPtr Parser::parsePrimary(bool stopAtSpacedParen)
{
    const Token &t = peek();
    switch (t.kind) {
    case Tok::Number:
    case Tok::Date: {
        auto lit = node<LiteralExpr>(next());
        lit->value = t.value;
        lit->constantNumber = true;
        return parsePostfix(std::move(lit), stopAtSpacedParen);
    }
    case Tok::String: {
        auto lit = node<LiteralExpr>(next());
        lit->value = t.value;
        return lit;
    }
    case Tok::LParen: {
        Nesting guard(m_nesting);
        enterNesting();
        auto p = node<ParenExpr>(next());
        p->inner = parseExpr();
        expectKind(Tok::RParen, 1006);
        return parsePostfix(std::move(p), stopAtSpacedParen);
    }
    case Tok::Dot: {
        next();
        const Token &m = peek();
        if (m.kind != Tok::Identifier)
            fail(1010);
        next();
        auto e = node<MemberExpr>(m);
        e->object = node<WithObjectExpr>(t);
        e->member = m.text;
        return parsePostfix(std::move(e), stopAtSpacedParen);
    }
    case Tok::Identifier: {
        if (!t.bracketed) {
            const QString w = t.text.toLower();
            if (w == QLatin1String("true") || w == QLatin1String("false")) {
                auto lit = node<LiteralExpr>(next());
                lit->value = Variant(w == QLatin1String("true"));
                return lit;
            }
            if (w == QLatin1String("empty") || w == QLatin1String("null") || w == QLatin1String("nothing")) {
                auto lit = node<LiteralExpr>(next());
                lit->value = w == QLatin1String("empty") ? Variant()
                           : w == QLatin1String("null")  ? Variant::null()
                                                         : Variant::nothing();
                return lit;
            }
            if (w == QLatin1String("me")) {
                if (!m_ctx.cls && !(m_scope && m_scope->owner))
                    fail(1037);
                auto me = node<MeExpr>(next());
                return parsePostfix(std::move(me), stopAtSpacedParen);
            }
            if (w == QLatin1String("new")) {
                auto n = node<NewExpr>(next());
                const Token &c = peek();
                if (c.kind != Tok::Identifier)
                    fail(1010);
                next();
                n->className = c.text;
                return n;
            }
            if (reservedWords().contains(w))
                fail(1023);
        }
        next();
        ExprPtr name = makeName(t);
        if (peek().kind == Tok::LParen && !(stopAtSpacedParen && peek().spaceBefore))
            name = makeCall(std::move(name), parseArgs());
        return parsePostfix(std::move(name), stopAtSpacedParen);
    }
    default:
        fail(1023);
    }
}

ExprPtr Parser::parsePostfix(ExprPtr base, bool stopAtSpacedParen)
{
    while (true) {
        const Token &t = peek();
        if (t.kind == Tok::Dot && !t.spaceBefore) {
            next();
            const Token &m = peek();
            if (m.kind != Tok::Identifier)
                fail(1010);
            next();
            auto e = node<MemberExpr>(m);
            e->object = std::move(base);
            e->member = m.text;
            if (peek().kind == Tok::LParen && !(stopAtSpacedParen && peek().spaceBefore))
                e->args = parseArgs();
            base = std::move(e);
            continue;
        }
        if (t.kind == Tok::LParen && !(stopAtSpacedParen && t.spaceBefore)
            && (dynamic_cast<NameCallExpr *>(base.get()) || dynamic_cast<MemberExpr *>(base.get())
                || dynamic_cast<IndexExpr *>(base.get()))) {
            auto ix = node<IndexExpr>(t);
            ix->target = std::move(base);
            ix->args = parseArgs();
            base = std::move(ix);
            continue;
        }
        return base;
    }
}

} // namespace vbscript
