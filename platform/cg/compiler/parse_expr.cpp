// Expressions of the Cg parser, by precedence from assignment down to primary expressions. Each
// finished node is typed at once by check.cpp. Bitwise operators, pointers and the comma
// operator are outside the subset and are reported as such.
#include "platform/cg/compiler/tree.h"

static int ParseUnary(CgCompiler* c);

static const char* TokenText(const int kind) {
    switch (kind) {
        case TokShiftLeft:
            return "<<";
        case TokShiftRight:
            return ">>";
        case '&':
            return "&";
        case '|':
            return "|";
        default:
            return "^";
    }
}

static int IsUnsupportedBinary(const int kind) {
    return kind == '&' || kind == '|' || kind == '^' || kind == TokShiftLeft ||
           kind == TokShiftRight;
}

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

static int IsAssignOperator(const int kind) {
    return kind == '=' || kind == TokPlusAssign || kind == TokMinusAssign ||
           kind == TokStarAssign || kind == TokSlashAssign || kind == TokPercentAssign;
}

static int ParseTernary(CgCompiler* c);

// assignment := ternary [ ( '=' | '+=' | '-=' | '*=' | '/=' | '%=' ) assignment ]
int CgParseAssignment(CgCompiler* c) {
    if (!CgEnter(c)) {
        return 0;
    }
    int node = ParseTernary(c);
    if (node && IsAssignOperator(c->tok.kind)) {
        const int op = c->tok.kind;
        const int line = c->tok.line;
        CgLexNext(c);
        const int value = CgParseAssignment(c);
        const int assign = value ? CgNodeNew(c, NodeAssign, line) : 0;
        if (assign) {
            c->nodes[assign].op = (short)op;
            c->nodes[assign].a = node;
            c->nodes[assign].b = value;
            CgNodeAdopt(c, assign, node);
            CgNodeAdopt(c, assign, value);
        }
        node = assign ? CgCheckAssign(c, assign) : 0;
    }
    CgLeave(c);
    return node;
}

// One rule per precedence level, loosest first:
// logical_or     := logical_and { '||' logical_and }
// logical_and    := equality { '&&' equality }
// equality       := relational { ( '==' | '!=' ) relational }
// relational     := additive { ( '<' | '>' | '<=' | '>=' ) additive }
// additive       := multiplicative { ( '+' | '-' ) multiplicative }
// multiplicative := unary { ( '*' | '/' | '%' ) unary }
static int ParseBinary(CgCompiler* c, const int level) {
    static const int Operators[6][4] = {{TokOrOr},      {TokAndAnd},
                                        {TokEq, TokNe}, {'<', '>', TokLe, TokGe},
                                        {'+', '-'},     {'*', '/', '%'}};
    int left = level == 5 ? ParseUnary(c) : ParseBinary(c, level + 1);
    while (left) {
        int op = 0;
        for (const int candidate : Operators[level]) {
            if (candidate != 0 && c->tok.kind == candidate) {
                op = candidate;
            }
        }
        if (!op) {
            break;
        }
        const int line = c->tok.line;
        CgLexNext(c);
        const int right = level == 5 ? ParseUnary(c) : ParseBinary(c, level + 1);
        const int node = right ? CgNodeNew(c, NodeBinary, line) : 0;
        if (!node) {
            return 0;
        }
        c->nodes[node].op = (short)op;
        c->nodes[node].a = left;
        c->nodes[node].b = right;
        CgNodeAdopt(c, node, left);
        CgNodeAdopt(c, node, right);
        left = CgCheckBinary(c, node);
    }
    if (left && IsUnsupportedBinary(c->tok.kind)) {
        CgErrorAt(c, c->tok.line, "operator '%s' is not supported", TokenText(c->tok.kind));
        return 0;
    }
    return left;
}

// ternary := logical_or [ '?' expression ':' assignment ]
static int ParseTernary(CgCompiler* c) {
    const int cond = ParseBinary(c, 0);
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
    const int node = no ? CgNodeNew(c, NodeTernary, line) : 0;
    if (!node) {
        return 0;
    }
    c->nodes[node].a = cond;
    c->nodes[node].b = yes;
    c->nodes[node].c = no;
    CgNodeAdopt(c, node, cond);
    CgNodeAdopt(c, node, yes);
    CgNodeAdopt(c, node, no);
    return CgCheckTernary(c, node);
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
        if (tail) {
            c->nodes[tail].next = arg;
        } else {
            c->nodes[parent].a = arg;
        }
        tail = arg;
        CgNodeAdopt(c, parent, arg);
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
    const int node = CgNodeNew(c, NodeVar, line);
    if (node) {
        const CgSymbol* s = &c->vars[var];
        c->nodes[node].symbol = var;
        c->nodes[node].type = s->type;
        if (s->kind == SymLocal || s->kind == SymParam || s->kind == SymStatic) {
            c->nodes[node].flags = NodeLvalue;
        }
    }
    return node;
}

// primary := NUMBER | 'true' | 'false' | '(' expression ')' | type '(' args | ID '(' args | ID
static int ParsePrimary(CgCompiler* c) {
    const int line = c->tok.line;
    if (c->tok.kind == TokInt || c->tok.kind == TokFloat) {
        const int node = CgNodeNew(c, NodeNumber, line);
        if (node) {
            c->nodes[node].number = c->tok.number;
            c->nodes[node].type = CgTypeMake(c->tok.kind == TokInt ? BaseInt : BaseFloat, 1, 1, 0);
            c->nodes[node].flags = NodeConstant;
        }
        CgLexNext(c);
        return node;
    }
    if (CgTokenIs(c, "true") || CgTokenIs(c, "false")) {
        const int node = CgNodeNew(c, NodeBool, line);
        if (node) {
            c->nodes[node].number = CgTokenIs(c, "true") ? 1.0 : 0.0;
            c->nodes[node].type = CgTypeMake(BaseBool, 1, 1, 0);
            c->nodes[node].flags = NodeConstant;
        }
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
        const int node = CgNodeNew(c, NodeConstruct, line);
        if (!node) {
            return 0;
        }
        c->nodes[node].type = type;
        return ParseArguments(c, node) ? CgCheckConstruct(c, node) : 0;
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
            const int n = index && CgExpect(c, ']', "']'") ? CgNodeNew(c, NodeIndex, line) : 0;
            if (!n) {
                return 0;
            }
            c->nodes[n].a = node;
            c->nodes[n].b = index;
            CgNodeAdopt(c, n, node);
            CgNodeAdopt(c, n, index);
            node = CgCheckIndex(c, n);
        } else if (c->tok.kind == TokInc || c->tok.kind == TokDec) {
            const int n = CgNodeNew(c, NodeIncDec, line);
            if (!n) {
                return 0;
            }
            c->nodes[n].op = (short)c->tok.kind;
            c->nodes[n].a = node;
            CgNodeAdopt(c, n, node);
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
    if (kind == '~') {
        CgErrorAt(c, line, "operator '~' is not supported");
        return 0;
    }
    if (kind == '-' || kind == '+' || kind == '!' || kind == TokInc || kind == TokDec) {
        CgLexNext(c);
        const int operand = ParseUnary(c);
        const int isStep = kind == TokInc || kind == TokDec;
        const int node = operand ? CgNodeNew(c, isStep ? NodeIncDec : NodeUnary, line) : 0;
        if (!node) {
            return 0;
        }
        c->nodes[node].op = (short)kind;
        c->nodes[node].a = operand;
        c->nodes[node].flags = isStep ? NodePrefix : 0;
        CgNodeAdopt(c, node, operand);
        return isStep ? CgCheckIncDec(c, node) : CgCheckUnary(c, node);
    }
    if (kind == '(' && AtCast(c)) {
        CgLexNext(c);
        CgType type;
        if (!CgParseTypeName(c, &type) || !CgExpect(c, ')', "')'")) {
            return 0;
        }
        const int operand = ParseUnary(c);
        const int node = operand ? CgNodeNew(c, NodeConvert, line) : 0;
        if (!node) {
            return 0;
        }
        c->nodes[node].type = type;
        c->nodes[node].a = operand;
        CgNodeAdopt(c, node, operand);
        return CgCheckCast(c, node);
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
