#pragma once

#include "vbscript/Ast.h"
#include "vbscript/Lexer.h"

#include <QSet>

#include <functional>
#include <initializer_list>

namespace vbscript {

// Reads source into a CodeUnit by recursive descent, one function per rule of
// the grammar; each carries its rule in EBNF above it. The work is split by
// what is read:
//   Parser.cpp              tokens, names and their resolution, whole units
//   ParseDeclarations.cpp   Dim, Const, procedures and classes
//   ParseStatements.cpp     statements
//   ParseExpressions.cpp    expressions, by a table of operator precedence
//
// Throws ScriptError compile errors (1001 to 1058) with line, column and line
// text. Nesting too deep for the parser ends in 28 "Out of stack space"
// instead of overflowing the stack.
class Parser
{
public:
    // `scope`, when given, is the procedure whose local variables the code
    // sees (Eval and Execute inside a procedure). `meter`, when given, counts
    // the work of reading, so that a time limit stops it (see Lexer).
    explicit Parser(const QString &source, const Procedure *scope = nullptr, WorkMeter *meter = nullptr);

    std::unique_ptr<CodeUnit> parseProgram();
    std::unique_ptr<CodeUnit> parseExpression();
    // One expression whose free names are the variables of a host's rule.
    // `isEngineName` is asked about each name that is not a local of `rule`;
    // it answers true for a name of the engine's own (a built-in function or
    // constant, Err), and may fill the name's caches while it is at it. Every
    // other name becomes a parameter and local of `rule`, in order of first
    // occurrence, spelled as first written; the tree reads it from that slot.
    // Its string literals are views of characters the unit keeps
    // (literalTexts), so that copies of them count no references: threads
    // running one tree at once would take turns at the counter with every
    // literal they read. A value a run gives out is valid while the unit is,
    // unless copied.
    std::unique_ptr<CodeUnit> parseRule(Procedure &rule, const std::function<bool(NameRef &)> &isEngineName);

    // The deepest tree a piece of source may make, counting every level of
    // nesting together (see NestingGuard). A rule of that depth compiles,
    // runs and is released within 128 KB of stack.
    static constexpr int kMaxNesting = 400;
    // The longest chain of binary operators (1 + 1 + ...).
    static constexpr int kMaxChain = 4000;

private:
    // What names resolve against while a procedure, class or the top level is read.
    struct Context
    {
        Procedure *proc = nullptr;
        ClassDef *cls = nullptr;
        std::vector<NameRef *> refs;  // the names read so far, resolved at the end of the scope
        std::vector<LiteralExpr *> texts;  // a rule's string literals read so far
        QSet<QString> consts;         // Consts of the procedure
        int doDepth = 0, forDepth = 0;
    };

    // ---- tokens (Parser.cpp)
    const Token &peek(int ahead = 0) const;
    const Token &next();
    bool atEndOfStatement() const;
    bool accept(Tok kind);
    void expect(Tok kind, err::Code error);
    QString expectName();
    [[noreturn]] void fail(err::Code code) const;
    [[noreturn]] void failAt(err::Code code, const Token &t) const;
    void endOfStatement();
    void skipSeparators();
    // Counts levels of nesting for as long as it lives, and ends in 28 when
    // the nesting is too deep for the parser or the thread's stack. Every
    // construct that makes the tree one level deeper counts: a bracket, a
    // block, a prefix operator, a call's arguments, an operator chain, and
    // each link of a postfix chain (a(0)(0) is a tree as deep as it is
    // long), so that the total depth of the tree, which its evaluation and
    // its release recurse through, is bounded, not each construct alone.
    class NestingGuard
    {
    public:
        explicit NestingGuard(Parser &p, int levels = 1);
        ~NestingGuard() { m_parser.m_nesting -= m_levels; }
        NestingGuard(const NestingGuard &) = delete;
        NestingGuard &operator=(const NestingGuard &) = delete;
        void deepen();

    private:
        Parser &m_parser;
        int m_levels = 0;
    };
    template<typename T> std::unique_ptr<T> node(const Token &at)
    {
        auto n = std::make_unique<T>();
        n->line = at.line;
        n->column = at.column;
        return n;
    }

    // ---- names (Parser.cpp)
    ExprPtr makeName(const Token &t);
    void declareLocal(const QString &name, const Token &at);
    bool isGlobalNameTaken(const QString &key) const;
    void resolve(Context &ctx);
    void readExpressionUnit();

    // ---- declarations (ParseDeclarations.cpp)
    void parseDeclarationOrProcedure(bool isPublic);
    void parseProcedure(Procedure::Kind kind, bool isPublic, bool isDefault);
    void parseParameters(Procedure &proc);
    void addClassMember(ClassDef &cls, Procedure &proc, const Token &nameTok);
    void parseClass();
    StmtPtr parseDim(bool classLevel, bool isPublic);
    ExprList parseDimBounds();
    StmtPtr parseConst();

    // ---- statements (ParseStatements.cpp)
    Block parseBlock(std::initializer_list<Tok> terminators);
    bool atTerminator(std::initializer_list<Tok> terminators) const;
    StmtPtr parseStatement(bool singleLine = false);
    StmtPtr parseSimpleStatement();
    StmtPtr parseCallStatement();
    StmtPtr parseSetStatement();
    StmtPtr parseErase();
    StmtPtr parseIf();
    StmtPtr parseSingleLineIf(std::unique_ptr<IfStmt> s);
    StmtPtr parseSelect();
    StmtPtr parseFor();
    StmtPtr parseForEach(const Token &forTok);
    Block parseForBody();
    StmtPtr parseDo();
    StmtPtr parseWhile();
    StmtPtr parseReDim();
    StmtPtr parseExit();
    StmtPtr parseOnError();
    StmtPtr parseWith();
    ExprList parseBounds();
    ExprList parseBareArgs();

    // ---- expressions (ParseExpressions.cpp)
    ExprPtr parseExpr();
    ExprPtr parseBinary(int minLevel);
    ExprPtr parseOperand();
    ExprPtr parseNot();
    ExprPtr parsePrimary(bool stopAtSpacedParen);
    ExprPtr parsePostfix(ExprPtr base, bool stopAtSpacedParen);
    std::unique_ptr<MemberExpr> parseMember(ExprPtr object);  // at the "."
    ExprList parseArgs();  // after '(' up to and including ')'
    ExprPtr makeCall(ExprPtr target, ExprList args);

    Lexer m_lexer;
    std::vector<Token> m_tokens;
    size_t m_pos = 0;
    int m_nesting = 0;
    std::unique_ptr<CodeUnit> m_unit;
    Context m_ctx;
    const Procedure *m_scope;
    bool m_singleLineIf = false;
    bool m_readingRule = false;
    WorkMeter *m_meter;
    std::vector<std::pair<Procedure *, std::vector<NameRef *>>> m_pendingClassProcs;
};

} // namespace vbscript
