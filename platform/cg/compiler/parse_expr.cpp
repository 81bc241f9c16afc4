// Expressions of the Cg parser, by precedence from assignment down to primary expressions. Each
// finished node is typed at once by check.cpp. Bitwise operators, pointers and the comma
// operator are outside the subset and are reported as such.
#include "platform/cg/compiler/nodes.h"

static int ParseUnary(CgCompiler* c);

// expression := assignment   (no comma operator)
int CgParseExpression(CgCompiler* c) {
    if (!CgEnter(c)) {
        return 0;
    }
    const int node = CgParseAssignment(c);
    CgLeave(c);
    if (node && c->tok.kind == ',') {
        CgErrorAt(c, c->tok.line, "the comma operator is not supported");
        return 0;
    }
    return node;
}

static int ParseTernary(CgCompiler* c);

// assignment := ternary [ ( '=' | '+=' | '-=' | '*=' | '/=' | '%=' ) assignment ]
int CgParseAssignment(CgCompiler* c) {
    if (!CgEnter(c)) {
        return 0;
    }
    int node = ParseTernary(c);
    if (node && CgOperatorIs(c->tok.kind, OpAssign)) {
        const int op = c->tok.kind;
        const int line = c->tok.line;
        CgLexNext(c);
        const int value = CgParseAssignment(c);
        const int assign = value ? CgNodeAssign(c, op, node, value, line) : 0;
        node = assign ? CgCheckAssign(c, assign) : 0;
    }
    CgLeave(c);
    return node;
}

// One rule per precedence level (CgOperatorPrecedence), loosest first:
// logical_or     := logical_and { '||' logical_and }
// logical_and    := equality { '&&' equality }
// equality       := relational { ( '==' | '!=' ) relational }
// relational     := additive { ( '<' | '>' | '<=' | '>=' ) additive }
// additive       := multiplicative { ( '+' | '-' ) multiplicative }
// multiplicative := unary { ( '*' | '/' | '%' ) unary }
static int ParseBinary(CgCompiler* c, const int level) {
    enum { Tightest = 6 };
    int left = level == Tightest ? ParseUnary(c) : ParseBinary(c, level + 1);
    while (left && CgOperatorPrecedence(c->tok.kind) == level) {
        const int op = c->tok.kind;
        const int line = c->tok.line;
        CgLexNext(c);
        const int right = level == Tightest ? ParseUnary(c) : ParseBinary(c, level + 1);
        const int node = right ? CgNodeBinary(c, op, left, right, line) : 0;
        if (!node) {
            return 0;
        }
        left = CgCheckBinary(c, node);
    }
    if (left && CgOperatorIs(c->tok.kind, OpRefusedBinary)) {
        CgErrorAt(c, c->tok.line, "operator '%s' is not supported", CgOperatorCg(c->tok.kind));
        return 0;
    }
    return left;
}

// ternary := logical_or [ '?' expression ':' assignment ]
static int ParseTernary(CgCompiler* c) {
    const int cond = ParseBinary(c, 1);
    if (!cond || c->tok.kind != '?') {
        return cond;
    }
    const int line = c->tok.line;
    CgLexNext(c);
    const int yes = CgParseExpression(c);
    if (!yes || !CgExpect(c, ':', "':'")) {
        return 0;
    }
    const int no = CgParseAssignment(c);
    const int node = no ? CgNodeTernary(c, cond, yes, no, line) : 0;
    return node ? CgCheckTernary(c, node) : 0;
}

// args := [ assignment { ',' assignment } ] ')'   (after the '(')
static int ParseArguments(CgCompiler* c, const int parent) {
    int tail = 0;
    if (CgAccept(c, ')')) {
        return 1;
    }
    do {
        const int arg = CgParseAssignment(c);
        if (!arg) {
            return 0;
        }
        CgNodeAppend(c, parent, &tail, arg);
    } while (CgAccept(c, ','));
    return CgExpect(c, ')', "')' or ','");
}

// name := ID [ '(' args ]   (a call, or a variable in scope)
static int ParseName(CgCompiler* c) {
    const int line = c->tok.line;
    if (CgIsReserved(c)) {
        CgErrorNear(c, "expression");
        return 0;
    }
    const int name = CgNameIntern(c, c->lexer.text + c->tok.start, c->tok.length);
    if (name < 0) {
        return 0;
    }
    CgLexNext(c);
    if (CgAccept(c, '(')) {
        // As in C, a variable hides a function of the same name.
        if (CgScopeFind(c, name) >= 0) {
            CgErrorAt(c, line, "'%s' is a variable, not a function", CgNameText(c, name));
            return 0;
        }
        const int call = CgNodeNew(c, NodeCall, line);
        if (!call || !ParseArguments(c, call)) {
            return 0;
        }
        return CgCheckCall(c, call, name);
    }
    const int var = CgScopeFind(c, name);
    if (var < 0) {
        CgErrorAt(c, line, "undefined variable '%s'", CgNameText(c, name));
        return 0;
    }
    return CgNodeVar(c, var, line);
}

// primary := NUMBER | 'true' | 'false' | '(' expression ')' | type '(' args | ID '(' args | ID
static int ParsePrimary(CgCompiler* c) {
    const int line = c->tok.line;
    if (c->tok.kind == TokInt || c->tok.kind == TokFloat) {
        const int base = c->tok.kind == TokInt ? BaseInt : BaseFloat;
        const int node = CgNodeNumber(c, c->tok.number, base, line);
        CgLexNext(c);
        return node;
    }
    if (CgTokenIs(c, "true") || CgTokenIs(c, "false")) {
        const int node = CgNodeBool(c, CgTokenIs(c, "true"), line);
        CgLexNext(c);
        return node;
    }
    if (CgAccept(c, '(')) {
        const int inner = CgParseExpression(c);
        return inner && CgExpect(c, ')', "')'") ? inner : 0;
    }
    if (c->tok.kind != TokIdent) {
        CgErrorNear(c, "expression");
        return 0;
    }
    if (CgIsTypeStart(c)) {
        CgType type;
        if (!CgParseTypeName(c, &type)) {
            return 0;
        }
        if (!CgExpect(c, '(', "'(' after type name")) {
            return 0;
        }
        const int node = CgNodeConstruct(c, type, line);
        return node && ParseArguments(c, node) ? CgCheckConstruct(c, node) : 0;
    }
    return ParseName(c);
}

// postfix := primary { '.' ID | '[' expression ']' | '++' | '--' }
static int ParsePostfix(CgCompiler* c) {
    int node = ParsePrimary(c);
    while (node) {
        const int line = c->tok.line;
        if (CgAccept(c, '.')) {
            if (c->tok.kind != TokIdent) {
                CgErrorNear(c, "member name");
                return 0;
            }
            const int name = CgNameIntern(c, c->lexer.text + c->tok.start, c->tok.length);
            CgLexNext(c);
            node = name < 0 ? 0 : CgCheckMember(c, node, name);
        } else if (CgAccept(c, '[')) {
            const int index = CgParseExpression(c);
            const int n = index && CgExpect(c, ']', "']'") ? CgNodeIndex(c, node, index, line) : 0;
            if (!n) {
                return 0;
            }
            node = CgCheckIndex(c, n);
        } else if (CgOperatorIs(c->tok.kind, OpStep)) {
            const int n = CgNodeIncDec(c, c->tok.kind, node, 0, line);
            if (!n) {
                return 0;
            }
            CgLexNext(c);
            node = CgCheckIncDec(c, n);
        } else if (c->tok.kind == TokArrow) {
            CgErrorAt(c, line, "pointers are not supported");
            return 0;
        } else {
            break;
        }
    }
    return node;
}

// Looks past '(' for "type )", which makes a cast.
static int AtCast(CgCompiler* c) {
    const CgLexer savedLexer = c->lexer;
    const CgToken savedTok = c->tok;
    CgLexNext(c);
    int isCast = 0;
    if (CgIsTypeStart(c)) {
        CgLexNext(c);
        isCast = c->tok.kind == ')';
    }
    c->lexer = savedLexer;
    c->tok = savedTok;
    return isCast;
}

// unary := ( '-' | '+' | '!' | '++' | '--' ) unary | '(' type ')' unary | postfix
static int ParseUnaryInner(CgCompiler* c) {
    const int line = c->tok.line;
    const int kind = c->tok.kind;
    if (kind == '*' || kind == '&') {
        CgErrorAt(c, line, "pointers are not supported");
        return 0;
    }
    if (CgOperatorIs(kind, OpRefusedPrefix)) {
        CgErrorAt(c, line, "operator '%s' is not supported", CgOperatorCg(kind));
        return 0;
    }
    if (CgOperatorIs(kind, OpPrefix | OpStep)) {
        CgLexNext(c);
        const int operand = ParseUnary(c);
        if (!operand) {
            return 0;
        }
        if (CgOperatorIs(kind, OpStep)) {
            const int node = CgNodeIncDec(c, kind, operand, 1, line);
            return node ? CgCheckIncDec(c, node) : 0;
        }
        const int node = CgNodeUnary(c, kind, operand, line);
        return node ? CgCheckUnary(c, node) : 0;
    }
    if (kind == '(' && AtCast(c)) {
        CgLexNext(c);
        CgType type;
        if (!CgParseTypeName(c, &type) || !CgExpect(c, ')', "')'")) {
            return 0;
        }
        const int operand = ParseUnary(c);
        const int node = operand ? CgNodeConvert(c, type, operand, line) : 0;
        return node ? CgCheckCast(c, node) : 0;
    }
    return ParsePostfix(c);
}

// unary (as above), counted against the nesting cap
static int ParseUnary(CgCompiler* c) {
    if (!CgEnter(c)) {
        return 0;
    }
    const int node = ParseUnaryInner(c);
    CgLeave(c);
    return node;
}
