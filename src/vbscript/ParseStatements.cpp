// Statements: blocks, assignments and calls, and the control statements.

#include "vbscript/Parser.h"

#include "vbscript/ScriptError.h"

namespace vbscript {

bool Parser::atTerminator(std::initializer_list<Tok> terminators) const
{
    const Token &t = peek();
    if (t.is(Tok::Eof))
        return true;
    for (Tok k : terminators)
        if (t.is(k))
            return true;
    return false;
}

// block = { statement ( newline | ":" ) } ;  (up to one of the terminators)
Block Parser::parseBlock(std::initializer_list<Tok> terminators)
{
    Block block;
    while (true) {
        skipSeparators();
        if (atTerminator(terminators))
            break;
        switch (peek().kind) {
        case Tok::Function: case Tok::Sub: case Tok::Class: case Tok::Public: case Tok::Private:
        case Tok::Property:
            fail(err::ExpectedStatement);  // declared only at the top level or in a class
        default:
            break;
        }
        if (StmtPtr s = parseStatement())
            block.push_back(std::move(s));
    }
    return block;
}

// statement = "Dim" variable { "," variable } | "ReDim" ... | "Const" ... | "Erase" name
//           | if | select | for | do | while | exit | on error | with | "Stop"
//           | "Set" target "=" expression | "Call" target | simple statement ;
StmtPtr Parser::parseStatement(bool singleLine)
{
    NestingGuard guard(*this);
    StmtPtr s;
    switch (peek().kind) {
    case Tok::Dim:
        next();
        return parseDim(false, true);  // ends its statement itself
    case Tok::ReDim: s = parseReDim(); break;
    case Tok::Const: s = parseConst(); break;
    case Tok::Erase: s = parseErase(); break;
    case Tok::If: s = parseIf(); break;
    case Tok::Select: s = parseSelect(); break;
    case Tok::For: s = parseFor(); break;
    case Tok::Do: s = parseDo(); break;
    case Tok::While: s = parseWhile(); break;
    case Tok::Exit: s = parseExit(); break;
    case Tok::On: s = parseOnError(); break;
    case Tok::With: s = parseWith(); break;
    case Tok::Set: s = parseSetStatement(); break;
    case Tok::Call: s = parseCallStatement(); break;
    case Tok::Stop: {
        // A breakpoint for a debugger; with none attached it does nothing.
        auto e = node<ExitStmt>(next());
        e->flow = Flow::Normal;
        s = std::move(e);
        break;
    }
    case Tok::Loop: fail(err::LoopWithoutDo);
    case Tok::Next: fail(err::UnexpectedNext);
    case Tok::Me: s = parseSimpleStatement(); break;
    default:
        if (isReservedWord(peek().kind))
            fail(err::ExpectedStatement);
        s = parseSimpleStatement();
    }
    if (!singleLine)
        endOfStatement();
    return s;
}

// "Erase" name
StmtPtr Parser::parseErase()
{
    auto e = node<EraseStmt>(next());
    e->target = makeName(peek());
    expectName();
    return e;
}

// "Set" target "=" expression
StmtPtr Parser::parseSetStatement()
{
    auto a = node<AssignStmt>(next());
    a->isSet = true;
    a->target = parsePrimary(false);
    if (!a->target->isAssignable())
        fail(err::SyntaxError);
    expect(Tok::Equal, err::ExpectedEquals);
    a->value = parseExpr();
    return a;
}

// "Call" target [ "(" arguments ")" ]
StmtPtr Parser::parseCallStatement()
{
    auto c = node<CallStmt>(next());
    ExprPtr target = parsePrimary(false);
    if (target->as<NameExpr>())
        target = makeCall(std::move(target), {});
    c->call = std::move(target);
    return c;
}

// simple statement = target "=" expression | target [ argument { "," argument } ] ;
// An assignment or a call, starting with a name, Me or a With member. A call
// as a statement takes its arguments without parentheses: Name(a, b) needs
// Call, and Name(a) passes a by value.
StmtPtr Parser::parseSimpleStatement()
{
    const Token &start = peek();
    if (!start.isWord() && !start.is(Tok::Dot))
        fail(err::ExpectedStatement);
    ExprPtr target = parsePrimary(true);
    if (accept(Tok::Equal)) {
        if (!target->isAssignable())
            failAt(err::SyntaxError, start);
        auto a = node<AssignStmt>(start);
        a->target = std::move(target);
        a->value = parseExpr();
        return a;
    }
    auto c = node<CallStmt>(start);
    if (atEndOfStatement()) {
        auto checkParens = [&](ExprList &args) {
            if (args.size() > 1)
                failAt(err::ParenthesesCallingSub, start);
            if (args.size() == 1) {
                auto p = std::make_unique<ParenExpr>();
                p->line = args[0]->line;
                p->column = args[0]->column;
                p->inner = std::move(args[0]);
                args[0] = std::move(p);
            }
        };
        if (auto *nc = target->as<NameCallExpr>())
            checkParens(nc->args);
        else if (auto *mc = target->as<MemberExpr>())
            checkParens(mc->args);
        else if (target->as<NameExpr>())
            target = makeCall(std::move(target), {});
        c->call = std::move(target);
        return c;
    }
    ExprList args = parseBareArgs();
    if (auto *mc = target->as<MemberExpr>(); mc && !mc->args.empty())
        failAt(err::ExpectedEndOfStatement, start);
    if (!target->as<NameExpr>() && !target->as<MemberExpr>())
        fail(err::ExpectedEndOfStatement);
    c->call = makeCall(std::move(target), std::move(args));
    return c;
}

// arguments of a call statement = [ expression ] { "," [ expression ] } ;
ExprList Parser::parseBareArgs()
{
    ExprList args;
    while (true) {
        if (peek().is(Tok::Comma)) {
            args.push_back(node<MissingExpr>(next()));
            continue;
        }
        args.push_back(parseExpr());
        if (!accept(Tok::Comma))
            break;
        if (atEndOfStatement())
            args.push_back(node<MissingExpr>(peek()));
    }
    return args;
}

// if = "If" expression "Then" newline block { "ElseIf" expression "Then" block }
//      [ "Else" block ] "End" "If"
//    | "If" expression "Then" statements [ "Else" statements ] [ "End" "If" ] ;
StmtPtr Parser::parseIf()
{
    auto s = node<IfStmt>(next());
    ExprPtr cond = parseExpr();
    expect(Tok::Then, err::ExpectedThen);
    if (!peek().is(Tok::Newline) && !peek().is(Tok::Eof)) {
        s->branches.emplace_back(std::move(cond), Block());
        s->branchAt.push_back(*s);
        return parseSingleLineIf(std::move(s));
    }
    s->branches.emplace_back(std::move(cond), parseBlock({Tok::ElseIf, Tok::Else, Tok::End}));
    s->branchAt.push_back(*s);
    while (true) {
        const Token &word = peek();
        if (accept(Tok::ElseIf)) {
            s->branchAt.push_back(Node{word.line, word.column});
            ExprPtr c = parseExpr();
            expect(Tok::Then, err::ExpectedThen);
            s->branches.emplace_back(std::move(c), parseBlock({Tok::ElseIf, Tok::Else, Tok::End}));
        } else if (accept(Tok::Else)) {
            s->elseBlock = parseBlock({Tok::End});
            if (peek().is(Tok::Else) || peek().is(Tok::ElseIf))
                fail(err::ExpectedEnd);
        } else {
            break;
        }
    }
    expect(Tok::End, err::ExpectedEnd);
    expect(Tok::If, err::ExpectedIf);
    return s;
}

// The single-line form: statements up to the end of the line, an Else part
// too, and an End If that may close it.
StmtPtr Parser::parseSingleLineIf(std::unique_ptr<IfStmt> s)
{
    const bool outer = m_singleLineIf;
    m_singleLineIf = true;
    auto lineBlock = [&](Block &b) {
        while (!peek().is(Tok::Newline) && !peek().is(Tok::Eof) && !peek().is(Tok::Else)) {
            if (accept(Tok::Colon))
                continue;
            if (StmtPtr st = parseStatement(true))
                b.push_back(std::move(st));
            if (!atEndOfStatement())
                fail(err::ExpectedEndOfStatement);
        }
    };
    lineBlock(s->branches.back().second);
    if (accept(Tok::Else))
        lineBlock(s->elseBlock);
    m_singleLineIf = outer;
    if (peek().is(Tok::End) && peek(1).is(Tok::If)) {
        next();
        next();
    }
    return s;
}

// select = "Select" "Case" expression newline
//          { "Case" expression { "," expression } block } [ "Case" "Else" block ]
//          "End" "Select" ;
StmtPtr Parser::parseSelect()
{
    auto s = node<SelectStmt>(next());
    expect(Tok::Case, err::ExpectedCase);
    s->subject = parseExpr();
    endOfStatement();
    skipSeparators();
    while (peek().is(Tok::Case)) {
        const Node caseAt{peek().line, peek().column};
        next();
        if (accept(Tok::Else)) {
            s->hasElse = true;
            s->elseBlock = parseBlock({Tok::End});
            break;
        }
        SelectStmt::Case c;
        c.at = caseAt;
        do {
            c.values.push_back(parseExpr());
        } while (accept(Tok::Comma));
        c.body = parseBlock({Tok::Case, Tok::End});
        s->cases.push_back(std::move(c));
    }
    expect(Tok::End, err::ExpectedEnd);
    expect(Tok::Select, err::ExpectedSelect);
    return s;
}

// for = "For" name "=" expression "To" expression [ "Step" expression ] newline
//       block "Next" [ name ]
//     | for each ;
StmtPtr Parser::parseFor()
{
    const Token &forTok = next();
    if (accept(Tok::Each))
        return parseForEach(forTok);
    auto s = node<ForStmt>(forTok);
    const Token &v = peek();
    if (!v.isName())
        fail(err::InvalidForLoopVariable);
    next();
    s->counter = makeName(v);
    expect(Tok::Equal, err::ExpectedEquals);
    s->from = parseExpr();
    expect(Tok::To, err::ExpectedTo);
    s->to = parseExpr();
    if (accept(Tok::Step))
        s->step = parseExpr();
    s->body = parseForBody();
    return s;
}

// The part both kinds of For share: newline block "Next" [ name ] ;
// Exit For is allowed inside the block.
Block Parser::parseForBody()
{
    endOfStatement();
    ++m_ctx.forDepth;
    Block body = parseBlock({Tok::Next});
    --m_ctx.forDepth;
    expect(Tok::Next, err::ExpectedNext);
    if (peek().isName())
        next();
    return body;
}

// for each = "For" "Each" name "In" expression newline block "Next" [ name ] ;
// (called after For Each)
StmtPtr Parser::parseForEach(const Token &forTok)
{
    auto s = node<ForEachStmt>(forTok);
    const Token &v = peek();
    expectName();
    s->element = makeName(v);
    expect(Tok::In, err::ExpectedIn);
    s->collection = parseExpr();
    s->body = parseForBody();
    return s;
}

// do = "Do" [ ( "While" | "Until" ) expression ] newline block
//      "Loop" [ ( "While" | "Until" ) expression ] ;  (one condition at most)
StmtPtr Parser::parseDo()
{
    auto s = node<DoStmt>(next());
    if (peek().is(Tok::While) || peek().is(Tok::Until)) {
        s->isUntil = next().is(Tok::Until);
        s->condition = parseExpr();
        s->testAtTop = true;
    }
    endOfStatement();
    ++m_ctx.doDepth;
    s->body = parseBlock({Tok::Loop});
    --m_ctx.doDepth;
    s->conditionAt = *s;
    if (peek().is(Tok::Loop))
        s->conditionAt = Node{peek().line, peek().column};
    expect(Tok::Loop, err::ExpectedLoop);
    if (peek().is(Tok::While) || peek().is(Tok::Until)) {
        if (s->condition)
            fail(err::ExpectedEndOfStatement);
        s->isUntil = next().is(Tok::Until);
        s->condition = parseExpr();
        s->testAtTop = false;
    } else if (!atEndOfStatement()) {
        fail(err::ExpectedWhileUntilOrEnd);
    }
    return s;
}

// while = "While" expression newline block "Wend" ;
StmtPtr Parser::parseWhile()
{
    auto s = node<DoStmt>(next());
    s->condition = parseExpr();
    s->testAtTop = true;
    s->isWend = true;
    s->conditionAt = *s;
    endOfStatement();
    s->body = parseBlock({Tok::Wend});
    expect(Tok::Wend, err::ExpectedWend);
    return s;
}

// exit = "Exit" ( "Do" | "For" | "Function" | "Sub" | "Property" ) ;
// Each only inside what it leaves.
StmtPtr Parser::parseExit()
{
    auto s = node<ExitStmt>(next());
    auto inProcedure = [&](std::initializer_list<Procedure::Kind> kinds) {
        return m_ctx.proc && std::find(kinds.begin(), kinds.end(), m_ctx.proc->kind) != kinds.end();
    };
    const Token &what = peek();
    bool allowed = false;
    switch (what.kind) {
    case Tok::Do:
        allowed = m_ctx.doDepth > 0;
        s->flow = Flow::ExitDo;
        break;
    case Tok::For:
        allowed = m_ctx.forDepth > 0;
        s->flow = Flow::ExitFor;
        break;
    case Tok::Function: allowed = inProcedure({Procedure::Kind::Function}); break;
    case Tok::Sub: allowed = inProcedure({Procedure::Kind::Sub}); break;
    case Tok::Property:
        allowed = inProcedure({Procedure::Kind::PropertyGet, Procedure::Kind::PropertyLet,
                               Procedure::Kind::PropertySet});
        break;
    default: fail(err::InvalidExit);
    }
    if (!allowed)
        failAt(err::InvalidExit, what);
    next();
    return s;
}

// on error = "On" "Error" ( "Resume" "Next" | "GoTo" "0" ) ;
StmtPtr Parser::parseOnError()
{
    auto s = node<OnErrorStmt>(next());
    expect(Tok::Error, err::SyntaxError);
    if (accept(Tok::Resume)) {
        expect(Tok::Next, err::SyntaxError);
        s->resumeNext = true;
    } else if (accept(Tok::GoTo)) {
        const Token &t = peek();
        if (!t.is(Tok::Number) || t.value.type() != VarType::Integer || t.value.rawInteger() != 0)
            fail(err::SyntaxError);
        next();
        s->resumeNext = false;
    } else {
        fail(err::SyntaxError);
    }
    return s;
}

// with = "With" expression newline block "End" "With" ;
StmtPtr Parser::parseWith()
{
    auto s = node<WithStmt>(next());
    s->object = parseExpr();
    endOfStatement();
    s->body = parseBlock({Tok::End});
    expect(Tok::End, err::ExpectedEnd);
    expect(Tok::With, err::ExpectedWith);
    return s;
}

// bounds of ReDim = "(" [ expression { "," expression } ] ")" ;
ExprList Parser::parseBounds()
{
    ExprList bounds;
    next();  // (
    if (!peek().is(Tok::RParen)) {
        do {
            bounds.push_back(parseExpr());
        } while (accept(Tok::Comma));
    }
    expect(Tok::RParen, err::ExpectedCloseParen);
    return bounds;
}

// redim = "ReDim" [ "Preserve" ] name bounds { "," name bounds } ;
StmtPtr Parser::parseReDim()
{
    auto s = node<ReDimStmt>(next());
    s->preserve = accept(Tok::Preserve);
    do {
        const Token &t = peek();
        expectName();
        ReDimStmt::Item item;
        item.target = makeName(t);
        if (!peek().is(Tok::LParen))
            fail(err::ExpectedOpenParen);
        item.bounds = parseBounds();
        s->items.push_back(std::move(item));
    } while (accept(Tok::Comma));
    return s;
}

} // namespace vbscript
