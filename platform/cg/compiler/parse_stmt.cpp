// Statements of the Cg parser: blocks, declarations, if/else, for, while, do-while, return,
// break and continue. Conditions must be scalar bool and return values must convert to the
// function's type; the rules live in check.cpp.
#include "platform/cg/compiler/nodes.h"

static int ParseStatement(CgCompiler* c);

// block_body := { statement } '}'
int CgParseBlockBody(CgCompiler* c, const int line) {
    const int block = CgNodeNew(c, NodeBlock, line);
    int tail = 0;
    while (block && !c->failed && !CgAccept(c, '}')) {
        if (c->tok.kind == TokEnd) {
            CgErrorNear(c, "'}'");
            return 0;
        }
        const int s = ParseStatement(c);
        if (!s) {
            return 0;
        }
        CgNodeAppend(c, block, &tail, s);
    }
    return c->failed ? 0 : block;
}

// Tells a declaration from an expression statement: a type followed by anything but '('.
static int AtDeclaration(CgCompiler* c) {
    if (CgTokenIs(c, "const") || CgTokenIs(c, "static") || CgTokenIs(c, "uniform")) {
        return 1;
    }
    if (!CgIsTypeStart(c)) {
        return 0;
    }
    const CgLexer savedLexer = c->lexer;
    const CgToken savedTok = c->tok;
    CgLexNext(c);
    const int isConstructor = c->tok.kind == '(';
    c->lexer = savedLexer;
    c->tok = savedTok;
    return !isConstructor;
}

// decl_stmt := [ 'const' ] type declarator { ',' declarator } ';'
static int ParseDeclaration(CgCompiler* c, const int needSemicolon) {
    const int line = c->tok.line;
    if (CgTokenIs(c, "static") || CgTokenIs(c, "uniform")) {
        CgErrorAt(c, line, "'%.*s' is not allowed on a local variable", c->tok.length,
                  c->lexer.text + c->tok.start);
        return 0;
    }
    const int isConst = CgAcceptWord(c, "const");
    CgType type;
    if (!CgParseType(c, &type, "type")) {
        return 0;
    }
    return CgParseDeclarators(c, isConst ? SymConst : SymLocal, type, line, needSemicolon);
}

// expr_stmt := expression ';'
static int ParseExpressionStatement(CgCompiler* c, const int needSemicolon) {
    const int line = c->tok.line;
    const int e = CgParseExpression(c);
    if (!e) {
        return 0;
    }
    if (needSemicolon && !CgExpect(c, ';', "';'")) {
        return 0;
    }
    return CgNodeExprStmt(c, e, line);
}

// condition := '(' expression ')'   (scalar bool)
static int ParseCondition(CgCompiler* c) {
    if (!CgExpect(c, '(', "'('")) {
        return 0;
    }
    int e = CgParseExpression(c);
    e = e ? CgCheckCondition(c, e) : 0;
    if (!e || !CgExpect(c, ')', "')'")) {
        return 0;
    }
    return e;
}

// if_stmt := 'if' condition statement [ 'else' statement ]
static int ParseIf(CgCompiler* c, const int line) {
    const int cond = ParseCondition(c);
    const int then = cond ? ParseStatement(c) : 0;
    if (!then) {
        return 0;
    }
    int otherwise = 0;
    if (CgAcceptWord(c, "else")) {
        otherwise = ParseStatement(c);
        if (!otherwise) {
            return 0;
        }
    }
    return CgNodeIf(c, cond, then, otherwise, line);
}

// loop_body := statement   (with break and continue allowed)
static int ParseLoopBody(CgCompiler* c) {
    ++c->loopDepth;
    const int body = ParseStatement(c);
    --c->loopDepth;
    return body;
}

// for_stmt := 'for' '(' [ decl_stmt | expression ] ';' [ expression ] ';' [ expression ] ')'
//              statement
static int ParseFor(CgCompiler* c, const int line) {
    if (!CgExpect(c, '(', "'('")) {
        return 0;
    }
    CgScopePush(c);  // a variable declared in the header lives for the loop only
    int init = 0, cond = 0, step = 0;
    if (c->tok.kind != ';') {
        init = AtDeclaration(c) ? ParseDeclaration(c, 0) : ParseExpressionStatement(c, 0);
        if (!init) {
            return 0;
        }
    }
    if (!CgExpect(c, ';', "';'")) {
        return 0;
    }
    if (c->tok.kind != ';') {
        cond = CgParseExpression(c);
        cond = cond ? CgCheckCondition(c, cond) : 0;
        if (!cond) {
            return 0;
        }
    }
    if (!CgExpect(c, ';', "';'")) {
        return 0;
    }
    if (c->tok.kind != ')') {
        step = CgParseExpression(c);
        if (!step) {
            return 0;
        }
    }
    if (!CgExpect(c, ')', "')'")) {
        return 0;
    }
    const int body = ParseLoopBody(c);
    CgScopePop(c);
    if (!body) {
        return 0;
    }
    return CgNodeFor(c, init, cond, step, body, line);
}

// while_stmt := 'while' condition statement
static int ParseWhile(CgCompiler* c, const int line) {
    const int cond = ParseCondition(c);
    const int body = cond ? ParseLoopBody(c) : 0;
    return body ? CgNodeWhile(c, cond, body, line) : 0;
}

// do_stmt := 'do' statement 'while' condition ';'
static int ParseDo(CgCompiler* c, const int line) {
    const int body = ParseLoopBody(c);
    if (!body) {
        return 0;
    }
    if (!CgAcceptWord(c, "while")) {
        CgErrorNear(c, "'while'");
        return 0;
    }
    const int cond = ParseCondition(c);
    if (!cond || !CgExpect(c, ';', "';'")) {
        return 0;
    }
    return CgNodeDo(c, body, cond, line);
}

// return_stmt := 'return' [ expression ] ';'
static int ParseReturn(CgCompiler* c, const int line) {
    const CgType want = c->functions[c->currentFunction].returnType;
    int value = 0;
    if (c->tok.kind != ';') {
        if (want.base == BaseVoid) {
            CgErrorAt(c, line, "a void function cannot return a value");
            return 0;
        }
        value = CgParseExpression(c);
        value = value ? CgCheckConvert(c, value, want, "return value") : 0;
        if (!value) {
            return 0;
        }
    } else if (want.base != BaseVoid) {
        CgErrorAt(c, line, "return needs a value");
        return 0;
    }
    if (!CgExpect(c, ';', "';'")) {
        return 0;
    }
    c->returnSeen = 1;
    return CgNodeReturn(c, value, line);
}

// statement := '{' block_body | if_stmt | for_stmt | while_stmt | do_stmt | return_stmt
//            | 'break' ';' | 'continue' ';' | decl_stmt | expr_stmt | ';'
static int ParseStatementInner(CgCompiler* c) {
    const int line = c->tok.line;
    if (CgAccept(c, '{')) {
        CgScopePush(c);
        const int block = CgParseBlockBody(c, line);
        CgScopePop(c);
        return block;
    }
    if (CgAccept(c, ';')) {
        return CgNodeNew(c, NodeEmpty, line);
    }
    if (CgAcceptWord(c, "if")) {
        return ParseIf(c, line);
    }
    if (CgAcceptWord(c, "for")) {
        return ParseFor(c, line);
    }
    if (CgAcceptWord(c, "while")) {
        return ParseWhile(c, line);
    }
    if (CgAcceptWord(c, "do")) {
        return ParseDo(c, line);
    }
    if (CgAcceptWord(c, "return")) {
        return ParseReturn(c, line);
    }
    if (CgTokenIs(c, "break") || CgTokenIs(c, "continue")) {
        const int kind = CgTokenIs(c, "break") ? NodeBreak : NodeContinue;
        if (c->loopDepth == 0) {
            CgErrorAt(c, line, "'%s' outside a loop", kind == NodeBreak ? "break" : "continue");
            return 0;
        }
        CgLexNext(c);
        return CgExpect(c, ';', "';'") ? CgNodeNew(c, kind, line) : 0;
    }
    if (CgTokenIs(c, "discard")) {
        CgErrorAt(c, line, "'discard' is not allowed in a vertex program");
        return 0;
    }
    if (CgTokenIs(c, "switch") || CgTokenIs(c, "goto") || CgTokenIs(c, "case")) {
        CgErrorAt(c, line, "'%.*s' is not supported", c->tok.length, c->lexer.text + c->tok.start);
        return 0;
    }
    if (CgTokenIs(c, "struct")) {
        CgErrorAt(c, line, "structs must be defined at file scope");
        return 0;
    }
    if (AtDeclaration(c)) {
        return ParseDeclaration(c, 1);
    }
    return ParseExpressionStatement(c, 1);
}

// statement (as above), counted against the nesting cap
static int ParseStatement(CgCompiler* c) {
    if (!CgEnter(c)) {
        return 0;
    }
    const int node = ParseStatementInner(c);
    CgLeave(c);
    return node;
}
