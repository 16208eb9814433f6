#pragma once

#include "vbscript/Ast.h"
#include "vbscript/Lexer.h"

#include <QSet>

#include <functional>

namespace vbscript {

// Reads source into a CodeUnit. Throws ScriptError compile errors (1001 to
// 1058) with line, column and line text. Nesting too deep for the parser ends
// in 28 "Out of stack space" instead of overflowing the stack.
class Parser
{
public:
    // `scope`, when given, is the procedure whose local variables the code
    // sees (Eval and Execute inside a procedure).
    explicit Parser(const QString &source, const Procedure *scope = nullptr);

    std::unique_ptr<CodeUnit> parseProgram();
    std::unique_ptr<CodeUnit> parseExpression();
    // One expression whose free names are the variables of a host's rule.
    // `isEngineName` is asked about each name that is not a local of `rule`;
    // it answers true for a name of the engine's own (a built-in function or
    // constant, Err), and may fill the name's caches while it is at it. Every
    // other name becomes a parameter and local of `rule`, in order of first
    // occurrence, spelled as first written; the tree reads it from that slot.
    std::unique_ptr<CodeUnit> parseRule(Procedure &rule, const std::function<bool(NameRef &)> &isEngineName);

    static constexpr int kMaxNesting = 400;
    static constexpr int kMaxChain = 4000;

private:
    struct Context
    {
        Procedure *proc = nullptr;
        ClassDef *cls = nullptr;
        std::vector<NameRef *> refs;
        QSet<QString> numericConsts;  // Consts of the procedure holding a number literal
        int doDepth = 0, forDepth = 0;
    };

    // tokens
    const Token &peek(int ahead = 0) const;
    const Token &next();
    bool atEndOfStatement() const;
    bool accept(const char *word);
    bool acceptOp(const char *op);
    void expect(const char *word, int error);
    void expectKind(Tok kind, int error);
    QString expectIdentifier();
    [[noreturn]] void fail(int number) const;
    [[noreturn]] void failAt(int number, const Token &t) const;
    void endOfStatement();
    void skipSeparators();
    bool isReserved(const Token &t) const;

    void readExpressionUnit();

    // statements
    Block parseBlock(std::initializer_list<const char *> terminators);
    bool atTerminator(std::initializer_list<const char *> terminators) const;
    StmtPtr parseStatement(bool singleLine = false);
    StmtPtr parseSimpleStatement();
    StmtPtr parseIf();
    StmtPtr parseSelect();
    StmtPtr parseFor();
    StmtPtr parseDo();
    StmtPtr parseWhile();
    StmtPtr parseDim(bool classLevel, bool isPublic);
    StmtPtr parseReDim();
    StmtPtr parseConst();
    StmtPtr parseWith();
    StmtPtr parseExit();
    StmtPtr parseOnError();
    void parseProcedure(Procedure::Kind kind, bool isPublic, bool isDefault);
    void parseClass();
    void parseDeclarationOrProcedure(bool isPublic);
    ExprList parseBounds();

    // expressions
    ExprPtr parseExpr();
    ExprPtr parseBinaryLevel(int level);
    ExprPtr parseNot();
    ExprPtr parseUnary();
    ExprPtr parsePostfix(ExprPtr base, bool stopAtSpacedParen);
    ExprPtr parsePrimary(bool stopAtSpacedParen);
    ExprList parseArgs();  // after '(' up to and including ')'
    ExprList parseBareArgs();
    ExprPtr makeName(const Token &t);
    ExprPtr makeCall(ExprPtr target, ExprList args);
    template<typename T> std::unique_ptr<T> node(const Token &at);

    void declareLocal(const QString &name, const Token &at);
    void resolve(Context &ctx);
    void enterNesting();

    Lexer m_lexer;
    std::vector<Token> m_tokens;
    size_t m_pos = 0;
    int m_nesting = 0;
    std::unique_ptr<CodeUnit> m_unit;
    Context m_ctx;
    const Procedure *m_scope;
    bool m_singleLineIf = false;
    std::vector<std::pair<Procedure *, std::vector<NameRef *>>> m_pendingClassProcs;
};

} // namespace vbscript
