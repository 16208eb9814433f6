// Declarations: variables, constants, procedures and classes.

#include "vbscript/Parser.h"

#include "vbscript/ScriptError.h"

namespace vbscript {

// declaration = ( "Public" | "Private" ) [ "Default" ] ( procedure | variables )
//             | procedure ;
// variables   = "Const" constant { "," constant } | [ "Dim" ] variable { "," variable } ;
// (called after Public or Private, or at a Function, Sub or Property)
void Parser::parseDeclarationOrProcedure(bool isPublic)
{
    bool isDefault = false;
    if (accept(Tok::Default)) {
        isDefault = true;
        if (!isPublic)
            fail(err::DefaultWithoutPublic);
        if (!m_ctx.cls)
            fail(err::MustBeInsideClass);
    }
    if (accept(Tok::Function)) {
        parseProcedure(Procedure::Kind::Function, isPublic, isDefault);
    } else if (accept(Tok::Sub)) {
        parseProcedure(Procedure::Kind::Sub, isPublic, isDefault);
    } else if (peek().is(Tok::Property)) {
        if (!m_ctx.cls)
            fail(err::MustBeInsideClass);
        next();
        Procedure::Kind kind;
        if (accept(Tok::Get))
            kind = Procedure::Kind::PropertyGet;
        else if (accept(Tok::Let))
            kind = Procedure::Kind::PropertyLet;
        else if (accept(Tok::Set))
            kind = Procedure::Kind::PropertySet;
        else
            fail(err::ExpectedLetSetOrGet);
        if (isDefault && kind != Procedure::Kind::PropertyGet)
            fail(err::DefaultNotOnPropertyGet);
        parseProcedure(kind, isPublic, isDefault);
    } else if (isDefault) {
        fail(err::DefaultOnWrongMember);
    } else if (peek().is(Tok::Const)) {
        StmtPtr s = parseConst();
        if (m_ctx.cls)
            fail(err::MustBeInsideClass);
        m_unit->statements.push_back(std::move(s));
    } else {
        accept(Tok::Dim);
        if (StmtPtr s = parseDim(m_ctx.cls != nullptr, isPublic))
            m_unit->statements.push_back(std::move(s));
    }
}

// procedure = ( "Function" | "Sub" | "Property" ( "Get" | "Let" | "Set" ) ) name
//             [ "(" [ parameter { "," parameter } ] ")" ] newline
//             block "End" ( "Function" | "Sub" | "Property" ) ;
// (called after the keywords that say which kind)
void Parser::parseProcedure(Procedure::Kind kind, bool isPublic, bool isDefault)
{
    if (m_ctx.proc)
        fail(err::ExpectedStatement);
    const Token &nameTok = peek();
    const QString name = expectName();
    if (!m_ctx.cls && isGlobalNameTaken(name.toLower()))
        failAt(err::NameRedefined, nameTok);
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

    parseParameters(*proc);
    if ((kind == Procedure::Kind::PropertyLet || kind == Procedure::Kind::PropertySet) && proc->params.empty())
        failAt(err::PropertyLetSetWithoutArgument, nameTok);
    if (kind == Procedure::Kind::Function || kind == Procedure::Kind::PropertyGet) {
        proc->resultSlot = proc->localCount++;
        proc->locals.insert(name.toLower(), proc->resultSlot);
    }
    const Tok endWord = kind == Procedure::Kind::Function ? Tok::Function
                      : kind == Procedure::Kind::Sub      ? Tok::Sub
                                                          : Tok::Property;
    const err::Code endError = kind == Procedure::Kind::Function ? err::ExpectedFunction
                             : kind == Procedure::Kind::Sub    ? err::ExpectedSub
                                                               : err::ExpectedProperty;
    proc->body = parseBlock({Tok::End});
    expect(Tok::End, err::ExpectedEnd);
    expect(endWord, endError);
    endOfStatement();

    if (m_ctx.cls)
        m_pendingClassProcs.emplace_back(proc.get(), std::move(m_ctx.refs));  // resolved at End Class
    else
        resolve(m_ctx);
    m_ctx = std::move(saved);
    if (m_ctx.cls)
        addClassMember(*m_ctx.cls, *proc, nameTok);
    m_unit->procedures.push_back(std::move(proc));
}

// parameter = [ "ByVal" | "ByRef" ] name [ "(" ")" ] ;
void Parser::parseParameters(Procedure &proc)
{
    if (!accept(Tok::LParen))
        return;
    if (!peek().is(Tok::RParen)) {
        do {
            Procedure::Param p;
            if (accept(Tok::ByVal))
                p.byRef = false;
            else
                accept(Tok::ByRef);
            const Token &pt = peek();
            p.name = expectName();
            if (accept(Tok::LParen))
                expect(Tok::RParen, err::ExpectedCloseParen);
            declareLocal(p.name, pt);
            proc.params.push_back(p);
        } while (accept(Tok::Comma));
    }
    expect(Tok::RParen, err::ExpectedCloseParen);
}

// A procedure of a class becomes the member of its name: a method, or one
// of the Get, Let and Set of a property. Class_Initialize and
// Class_Terminate are called by the engine and take no arguments.
void Parser::addClassMember(ClassDef &cls, Procedure &proc, const Token &nameTok)
{
    const QString key = proc.name.toLower();
    ClassDef::Member &m = cls.members[key];
    if (m.field >= 0)
        failAt(err::NameRedefined, nameTok);
    Procedure **slot = nullptr;
    bool clash = false;
    switch (proc.kind) {
    case Procedure::Kind::PropertyGet: slot = &m.get; clash = m.get || m.method; break;
    case Procedure::Kind::PropertyLet: slot = &m.let; clash = m.let || m.method; break;
    case Procedure::Kind::PropertySet: slot = &m.set; clash = m.set || m.method; break;
    default: slot = &m.method; clash = m.method || m.get || m.let || m.set; break;
    }
    if (clash)
        failAt(err::NameRedefined, nameTok);
    *slot = &proc;
    m.isPublic = proc.isPublic;
    if (proc.isDefault) {
        if (!cls.defaultMember.isEmpty() && cls.defaultMember != key)
            failAt(err::MultipleDefaults, nameTok);
        cls.defaultMember = key;
    }
    if (key == QLatin1String("class_initialize") || key == QLatin1String("class_terminate")) {
        if (!proc.params.empty())
            failAt(err::ClassEventWithArguments, nameTok);
        if (proc.kind == Procedure::Kind::Sub)
            (key == QLatin1String("class_initialize") ? cls.initialize : cls.terminate) = &proc;
    }
}

// class = "Class" name newline { member } "End" "Class" ;
// member = declaration | "Dim" variable { "," variable } | procedure ;
void Parser::parseClass()
{
    next();  // Class
    const Token &nameTok = peek();
    const QString name = expectName();
    endOfStatement();
    auto cls = std::make_unique<ClassDef>();
    cls->name = name;
    cls->unit = m_unit.get();
    Context saved = std::move(m_ctx);
    m_ctx = Context();
    m_ctx.cls = cls.get();
    for (bool inClass = true; inClass;) {
        skipSeparators();
        const Token &t = peek();
        switch (t.kind) {
        case Tok::Eof: fail(err::ExpectedClass);
        case Tok::End: inClass = false; break;
        case Tok::Public:
        case Tok::Private:
            next();
            parseDeclarationOrProcedure(t.is(Tok::Public));
            break;
        case Tok::Dim:
            next();
            parseDim(true, true);
            break;
        case Tok::Function:
        case Tok::Sub:
        case Tok::Property:
            parseDeclarationOrProcedure(true);
            break;
        default: fail(err::ExpectedStatement);
        }
    }
    expect(Tok::End, err::ExpectedEnd);
    expect(Tok::Class, err::ExpectedClass);
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
            failAt(err::NameRedefined, nameTok);
    m_unit->classes.push_back(std::move(cls));
}

// bounds of Dim = "(" [ integer { "," integer } ] ")" ;
// Plain integer literals, without even a sign: ReDim is the statement for
// computed sizes.
ExprList Parser::parseDimBounds()
{
    ExprList bounds;
    next();  // (
    if (!peek().is(Tok::RParen)) {
        do {
            const Token &t = peek();
            if (!t.is(Tok::Number) || !t.value.isIntegral())
                fail(err::ExpectedIntegerConstant);
            auto lit = node<LiteralExpr>(next());
            lit->value = t.value;
            lit->literal = true;
            bounds.push_back(std::move(lit));
        } while (accept(Tok::Comma));
    }
    expect(Tok::RParen, err::ExpectedCloseParen);
    return bounds;
}

// variable = name [ bounds of Dim ] ;
// (after Dim, Public or Private; in a class outside its procedures, a field)
StmtPtr Parser::parseDim(bool classLevel, bool isPublic)
{
    auto stmt = node<DimStmt>(peek());
    do {
        const Token &t = peek();
        const QString name = expectName();
        ExprList bounds;
        const bool isArray = peek().is(Tok::LParen);
        if (isArray)
            bounds = parseDimBounds();
        if (classLevel && !m_ctx.proc) {
            ClassDef *cls = m_ctx.cls;
            const QString key = name.toLower();
            if (cls->members.contains(key))
                failAt(err::NameRedefined, t);
            ClassDef::Member m;
            m.field = int(cls->fields.size());
            m.isPublic = isPublic;
            cls->members.insert(key, m);
            cls->fields.push_back({name, isPublic, std::move(bounds), isArray});
            continue;
        }
        declareLocal(name, t);
        DimStmt::Item item;
        item.ref.name = name;
        item.ref.key = name.toLower();
        item.isArray = isArray;
        item.bounds = std::move(bounds);
        stmt->items.push_back(std::move(item));
    } while (accept(Tok::Comma));
    endOfStatement();
    for (auto &item : stmt->items)
        m_ctx.refs.push_back(&item.ref);
    if (stmt->items.empty())
        return nullptr;
    return stmt;
}

// constant = name "=" { "+" | "-" | "(" } literal { ")" } ;
StmtPtr Parser::parseConst()
{
    auto s = node<ConstStmt>(next());
    do {
        const Token &t = peek();
        const QString name = expectName();
        expect(Tok::Equal, err::ExpectedEquals);
        ConstStmt::Item item;
        const Token &valueStart = peek();
        item.value = parseExpr();
        // A Const names a literal, signed or in parentheses at most; an
        // expression or another name is refused as the Windows engine does.
        const Expr *literal = item.value.get();
        while (true) {
            if (auto *p = literal->as<ParenExpr>())
                literal = p->inner.get();
            else if (auto *u = literal->as<UnaryExpr>(); u && u->op != UnaryOp::Not)
                literal = u->operand.get();
            else
                break;
        }
        if (!literal->as<LiteralExpr>())
            failAt(err::ExpectedLiteralConstant, valueStart);
        declareLocal(name, t);
        if (m_ctx.proc)
            m_ctx.consts.insert(name.toLower());
        item.ref.name = name;
        item.ref.key = name.toLower();
        s->items.push_back(std::move(item));
    } while (accept(Tok::Comma));
    for (auto &item : s->items)
        m_ctx.refs.push_back(&item.ref);
    return s;
}

} // namespace vbscript
