// Recursive-descent parser of the Cg compiler: the top level (structs, globals, functions and their
// parameters); statements are in parse_stmt.cpp, expressions in parse_expr.cpp. It builds the
// tree and types it as it goes (the rules are in check.cpp), so declarations must come before
// their use, as in C. Each parse function carries its grammar rule; the recursion is capped at
// CgMaxNesting so deep nesting is an error, not a stack overflow.
#include <cstdio>
#include <cstring>

#include "platform/cg/compiler/nodes.h"

// ---- Names and semantics ------------------------------------------------------------------------
// Reads an identifier that names something new; -1 after an error.
static int ParseNewName(CgCompiler* c, const char* what) {
    if (c->tok.kind == '*' || c->tok.kind == '&') {
        CgErrorAt(c, c->tok.line, "pointers are not supported");
        return -1;
    }
    if (c->tok.kind != TokIdent || CgIsReserved(c)) {
        CgErrorNear(c, what);
        return -1;
    }
    const int name = CgNameIntern(c, c->lexer.text + c->tok.start, c->tok.length);
    CgLexNext(c);
    if (c->tok.kind == '[') {
        CgErrorAt(c, c->tok.line, "arrays are not supported");
        return -1;
    }
    return name;
}

static int FindStruct(const CgCompiler* c, const int name) {
    for (int i = 0; i < c->structCount; ++i) {
        if (c->structs[i].name == name) {
            return i;
        }
    }
    return -1;
}

// semantic := ':' ID  (after the ':' has been seen)
static int ParseSemantic(CgCompiler* c, CgSemantic* semantic) {
    if (c->tok.kind != TokIdent) {
        CgErrorNear(c, "semantic");
        return 0;
    }
    if (!CgSemanticParse(c->lexer.text + c->tok.start, c->tok.length, semantic)) {
        CgErrorAt(c, c->tok.line, "semantic '%.*s' is not supported", c->tok.length,
                  c->lexer.text + c->tok.start);
        return 0;
    }
    CgLexNext(c);
    return 1;
}

// ---- Declarations -------------------------------------------------------------------------------

// struct_def := 'struct' ID '{' { type ID [ ':' SEMANTIC ] ';' } '}' ';'
static int ParseStruct(CgCompiler* c) {
    const int line = c->tok.line;
    const int name = ParseNewName(c, "struct name");
    if (name < 0 || !CgExpect(c, '{', "'{'")) {
        return 0;
    }
    if (FindStruct(c, name) >= 0 || CgScopeFind(c, name) >= 0 || CgFunctionFind(c, name) >= 0) {
        CgErrorAt(c, line, "redefinition of '%s'", CgNameText(c, name));
        return 0;
    }
    if (c->structCount >= CgMaxStructs) {
        CgErrorAt(c, line, "program too large: too many structs");
        return 0;
    }
    CgStruct* s = &c->structs[c->structCount];
    s->name = name;
    s->memberCount = 0;
    while (!c->failed && !CgAccept(c, '}')) {
        CgMember m;
        memset(&m, 0, sizeof m);
        const int memberLine = c->tok.line;
        if (!CgParseType(c, &m.type, "member type or '}'")) {
            return 0;
        }
        if (m.type.base == BaseVoid) {
            CgErrorAt(c, memberLine, "member cannot be void");
            return 0;
        }
        m.name = ParseNewName(c, "member name");
        if (m.name < 0) {
            return 0;
        }
        for (int i = 0; i < s->memberCount; ++i) {
            if (s->members[i].name == m.name) {
                CgErrorAt(c, memberLine, "redefinition of member '%s'", CgNameText(c, m.name));
                return 0;
            }
        }
        if (CgAccept(c, ':') && !ParseSemantic(c, &m.semantic)) {
            return 0;
        }
        if (!CgExpect(c, ';', "';'")) {
            return 0;
        }
        if (s->memberCount >= CgMaxMembers) {
            CgErrorAt(c, memberLine, "struct '%s' has too many members", CgNameText(c, name));
            return 0;
        }
        s->members[s->memberCount++] = m;
    }
    if (!CgExpect(c, ';', "';' after struct")) {
        return 0;
    }
    ++c->structCount;
    return CgNodeStructDef(c, c->structCount - 1, line);
}

// declarator := ID [ '=' assignment ]   (the kind and type come from the declaration)
static int ParseDeclarator(CgCompiler* c, const CgType type, const int kind, const int line) {
    CgSymbol symbol;
    memset(&symbol, 0, sizeof symbol);
    symbol.name = ParseNewName(c, "variable name");
    if (symbol.name < 0) {
        return 0;
    }
    symbol.type = type;
    symbol.kind = (unsigned char)kind;
    if (c->tok.kind == ':') {
        CgErrorAt(c, c->tok.line, "semantics are only allowed on parameters and struct members");
        return 0;
    }
    const int node = CgNodeNew(c, NodeDeclarator, line);
    if (!node) {
        return 0;
    }
    if (CgAccept(c, '=')) {
        if (c->tok.kind == '{') {
            CgErrorAt(c, c->tok.line, "initializer lists are not supported");
            return 0;
        }
        int init = CgParseAssignment(c);
        init = init ? CgCheckConvert(c, init, type, "initializer") : 0;
        if (!init) {
            return 0;
        }
        if ((kind == SymUniform || (kind == SymConst && c->scope == 0)) &&
            !CgCheckIsConstant(c, init)) {
            CgErrorAt(c, line, "initializer of '%s' must be constant", CgNameText(c, symbol.name));
            return 0;
        }
        CgNodeAttachValue(c, node, init);
    } else if (kind == SymConst) {
        CgErrorAt(c, line, "constant '%s' needs an initializer", CgNameText(c, symbol.name));
        return 0;
    }
    // A variable may not take a struct's name (it would hide the type) nor, at file scope, a
    // function's.
    if (FindStruct(c, symbol.name) >= 0 || (c->scope == 0 && CgFunctionFind(c, symbol.name) >= 0)) {
        CgErrorAt(c, line, "redefinition of '%s'", CgNameText(c, symbol.name));
        return 0;
    }
    // Declared after its initializer, so "float x = x;" finds an outer x, as in C.
    const int var = CgScopeDeclare(c, &symbol, line);
    if (var < 0) {
        return 0;
    }
    c->nodes[node].symbol = var;
    c->nodes[node].type = type;
    if (kind == SymUniform && c->scope == 0) {
        char glsl[CgMaxParamGlslName];
        CgGlslVarName(c, var, glsl, sizeof glsl);
        if (!CgParamAddUniform(c, CgNameText(c, symbol.name), glsl, type, line)) {
            return 0;
        }
    }
    return node;
}

// declarators := declarator { ',' declarator } ';'
int CgParseDeclarators(CgCompiler* c, const int kind, const CgType type, const int line,
                       const int needSemicolon) {
    const int node = CgNodeDecl(c, kind, type, line);
    if (!node) {
        return 0;
    }
    if (type.base == BaseVoid) {
        CgErrorAt(c, line, "variable cannot be void");
        return 0;
    }
    int tail = 0;
    do {
        const int d = ParseDeclarator(c, type, kind, c->tok.line);
        if (!d) {
            return 0;
        }
        CgNodeAppend(c, node, &tail, d);
    } while (CgAccept(c, ','));
    if (needSemicolon && !CgExpect(c, ';', "';'")) {
        return 0;
    }
    return node;
}

// param := { 'in' | 'out' | 'inout' | 'uniform' | 'const' } type ID [ ':' SEMANTIC ]
static int ParseParam(CgCompiler* c, CgFunction* f, const int isEntry) {
    CgSymbol p;
    memset(&p, 0, sizeof p);
    p.kind = SymParam;
    p.qual = QualIn;
    const int line = c->tok.line;
    for (;;) {
        if (CgAcceptWord(c, "in")) {
            p.qual = QualIn;
        } else if (CgAcceptWord(c, "out")) {
            p.qual = QualOut;
        } else if (CgAcceptWord(c, "inout")) {
            p.qual = QualInOut;
        } else if (CgAcceptWord(c, "uniform")) {
            p.qual = QualUniform;
            p.kind = SymUniform;
        } else if (CgAcceptWord(c, "const")) {
            p.kind = SymConst;
        } else {
            break;
        }
    }
    if (!CgParseType(c, &p.type, "parameter type")) {
        return 0;
    }
    if (p.type.base == BaseVoid) {
        CgErrorAt(c, line, "parameter cannot be void");
        return 0;
    }
    p.name = ParseNewName(c, "parameter name");
    if (p.name < 0) {
        return 0;
    }
    if (FindStruct(c, p.name) >= 0) {
        CgErrorAt(c, line, "redefinition of '%s'", CgNameText(c, p.name));
        return 0;
    }
    if (CgAccept(c, ':') && !ParseSemantic(c, &p.semantic)) {
        return 0;
    }
    if (c->tok.kind == '=') {
        CgErrorAt(c, c->tok.line, "default parameter values are not supported");
        return 0;
    }
    if (p.qual == QualUniform && !isEntry) {
        CgErrorAt(c, line, "uniform parameter '%s' is only allowed on the entry function",
                  CgNameText(c, p.name));
        return 0;
    }
    if (f->paramCount >= CgMaxFunctionParams) {
        CgErrorAt(c, line, "too many parameters");
        return 0;
    }
    const int var = CgScopeDeclare(c, &p, line);
    if (var < 0) {
        return 0;
    }
    f->paramVar[f->paramCount] = var;
    f->params[f->paramCount++] = p;
    return 1;
}

// function_rest := '(' [ 'void' | param { ',' param } ] ')' [ ':' SEMANTIC ] block
static int ParseFunction(CgCompiler* c, const CgType returnType, const int name, const int line) {
    if (CgScopeFind(c, name) >= 0 || FindStruct(c, name) >= 0) {
        CgErrorAt(c, line, "redefinition of '%s'", CgNameText(c, name));
        return 0;
    }
    if (CgFunctionFind(c, name) >= 0) {
        CgErrorAt(c, line, "function '%s' is already defined", CgNameText(c, name));
        return 0;
    }
    if (c->functionCount >= CgMaxFunctions) {
        CgErrorAt(c, line, "program too large: too many functions");
        return 0;
    }
    const int index = c->functionCount;
    CgFunction* f = &c->functions[index];
    memset(f, 0, sizeof *f);
    f->name = name;
    f->returnType = returnType;
    f->line = line;
    const int isEntry = strcmp(CgNameText(c, name), c->entry) == 0;
    CgScopePush(c);
    if (CgTokenIs(c, "void")) {
        CgLexNext(c);
    } else if (c->tok.kind != ')') {
        do {
            if (!ParseParam(c, f, isEntry)) {
                return 0;
            }
        } while (CgAccept(c, ','));
    }
    if (!CgExpect(c, ')', "')'")) {
        return 0;
    }
    if (CgAccept(c, ':') && !ParseSemantic(c, &f->returnSemantic)) {
        return 0;
    }
    if (c->tok.kind == ';') {
        CgErrorAt(c, line, "function prototypes are not supported");
        return 0;
    }
    const int node = CgNodeFunction(c, index, line);
    if (!node || !CgExpect(c, '{', "'{'")) {
        return 0;
    }
    c->currentFunction = index;
    c->returnSeen = 0;
    const int body = CgParseBlockBody(c, line);
    c->currentFunction = -1;
    CgScopePop(c);
    if (!body) {
        return 0;
    }
    // GLSL refuses a value function without any return statement.
    if (returnType.base != BaseVoid && !c->returnSeen) {
        CgErrorAt(c, line, "function '%s' must return a value", CgNameText(c, name));
        return 0;
    }
    CgNodeAttachBody(c, node, body);
    ++c->functionCount;
    if (isEntry) {
        c->entryFunction = index;
        if (!CgEntryCheck(c, index)) {
            return 0;
        }
    }
    return node;
}

// top_level := struct_def | { 'uniform' | 'static' | 'const' | 'inline' } type ID
//              ( function_rest | declarators )
static int ParseTopLevel(CgCompiler* c) {
    const int line = c->tok.line;
    if (c->tok.kind == '#') {
        CgErrorAt(c, line, "preprocessor directives are not supported");
        return 0;
    }
    if (CgAcceptWord(c, "struct")) {
        return ParseStruct(c);
    }
    if (CgTokenIs(c, "typedef")) {
        CgErrorAt(c, line, "typedef is not supported");
        return 0;
    }
    int isUniform = 0, isStatic = 0, isConst = 0;
    for (;;) {
        if (CgAcceptWord(c, "uniform")) {
            isUniform = 1;
        } else if (CgAcceptWord(c, "static")) {
            isStatic = 1;
        } else if (CgAcceptWord(c, "const")) {
            isConst = 1;
        } else if (!CgAcceptWord(c, "inline")) {
            break;
        }
    }
    CgType type;
    if (!CgParseType(c, &type, "declaration")) {
        return 0;
    }
    const int nameLine = c->tok.line;
    if (c->tok.kind == TokIdent && !CgIsReserved(c)) {
        // Look one token past the name: '(' makes it a function.
        const CgLexer savedLexer = c->lexer;
        const CgToken savedTok = c->tok;
        CgLexNext(c);
        const int isFunction = c->tok.kind == '(';
        c->lexer = savedLexer;
        c->tok = savedTok;
        if (isFunction) {
            const int name = CgNameIntern(c, c->lexer.text + c->tok.start, c->tok.length);
            CgLexNext(c);
            CgLexNext(c);
            if (isUniform || isConst) {
                CgErrorAt(c, line, "a function cannot be uniform or const");
                return 0;
            }
            return name < 0 ? 0 : ParseFunction(c, type, name, nameLine);
        }
    }
    const int kind = isConst ? SymConst : (isStatic ? SymStatic : SymUniform);
    if (isUniform && (isStatic || isConst)) {
        CgErrorAt(c, line, "a uniform cannot be static or const");
        return 0;
    }
    return CgParseDeclarators(c, kind, type, line, 1);
}

// program := { top_level }
int CgParseProgram(CgCompiler* c) {
    const int root = CgNodeNew(c, NodeBlock, 1);
    int tail = root;
    while (!c->failed && c->tok.kind != TokEnd) {
        const int item = ParseTopLevel(c);
        if (!item) {
            break;
        }
        c->nodes[tail].next = item;
        tail = item;
    }
    if (c->failed) {
        return 0;
    }
    if (c->entryFunction < 0) {
        CgErrorAt(c, 0, "entry function '%s' is not defined", c->entry);
        return 0;
    }
    return 1;
}
