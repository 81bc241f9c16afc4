// GLSL 1.20 emitter of the Cg compiler: walks the typed tree and writes the vertex shader text.
// User names are escaped (CgGlslName) so they cannot meet a GLSL keyword, built-in, reserved word
// or each other, whatever Cg's scopes allowed. A Cg matrix
// (row-major in the language) is held as the GLSL matrix of its transpose: GLSL column i is Cg
// row i, so M[i] and constructors carry over unchanged and mul(a, b) becomes (b * a).
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/cg/compiler/tree.h"

void CgEmitText(CgCompiler* c, const char* text) {
    const int n = (int)strlen(text);
    CgCompileResult* r = c->result;
    if (c->failed) {
        return;
    }
    if (c->outLength + n + 1 > CgMaxGlslBytes) {
        CgErrorAt(c, 0, "program too large: generated code exceeds %d bytes", CgMaxGlslBytes);
        return;
    }
    memcpy(r->glsl + c->outLength, text, (size_t)n + 1);
    c->outLength += n;
}

void CgEmitFormat(CgCompiler* c, const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    CgEmitText(c, buffer);
}

static void Escape(const char* prefix, const char* text, char* out, const int size) {
    int n = snprintf(out, (size_t)size, "%s", prefix);
    for (; *text && n < size - 3; ++text) {
        if (*text == '_') {
            out[n++] = '0';
        }
        out[n++] = *text;
    }
    out[n] = 0;
}

void CgGlslName(const CgCompiler* c, const int kind, const int name, char* out, const int size) {
    static const char* const Prefixes[] = {"s_", "m_", "f_"};
    Escape(Prefixes[kind], CgNameText(c, name), out, size);
}

void CgGlslVarName(const CgCompiler* c, const int var, char* out, const int size) {
    char prefix[16];
    snprintf(prefix, sizeof prefix, "v%d_", var);
    Escape(prefix, CgNameText(c, c->vars[var].name), out, size);
}

void CgEmitName(CgCompiler* c, const int kind, const int name) {
    char text[CgMaxParamGlslName];
    CgGlslName(c, kind, name, text, sizeof text);
    CgEmitText(c, text);
}

void CgEmitVar(CgCompiler* c, const int var) {
    char text[CgMaxParamGlslName];
    CgGlslVarName(c, var, text, sizeof text);
    CgEmitText(c, text);
}

// Cg floatRxC is held transposed, so its GLSL type has R columns and C rows: matRxC.
void CgEmitTypeName(CgCompiler* c, const CgType t) {
    static const char* const Scalars[] = {"void", "bool", "int", "float"};
    static const char* const VectorPrefix[] = {"", "bvec", "ivec", "vec"};
    if (t.base == BaseStruct) {
        CgEmitName(c, CgNameStruct, c->structs[t.structIndex].name);
    } else if (t.matrix) {
        if (t.rows == t.cols) {
            CgEmitFormat(c, "mat%d", t.rows);
        } else {
            CgEmitFormat(c, "mat%dx%d", t.rows, t.cols);
        }
    } else if (t.cols > 1) {
        CgEmitFormat(c, "%s%d", VectorPrefix[t.base], t.cols);
    } else {
        CgEmitText(c, Scalars[t.base]);
    }
}

static void EmitNumber(CgCompiler* c, const CgNode* n) {
    char text[48];
    if (n->type.base == BaseFloat) {
        snprintf(text, sizeof text, "%.9g", n->number);
        if (!strpbrk(text, ".e")) {
            strcat(text, ".0");
        }
    } else {
        snprintf(text, sizeof text, "%d", (int)n->number);
    }
    CgEmitText(c, text);
}

static void EmitList(CgCompiler* c, int node) {
    for (int first = 1; node; node = c->nodes[node].next, first = 0) {
        if (!first) {
            CgEmitText(c, ", ");
        }
        CgEmitExpression(c, node);
    }
}

static const char* OperatorGlsl(const int op) {
    switch (op) {
        case TokEq:
            return "==";
        case TokNe:
            return "!=";
        case TokLe:
            return "<=";
        case TokGe:
            return ">=";
        case TokAndAnd:
            return "&&";
        case TokOrOr:
            return "||";
        case TokPlusAssign:
            return "+=";
        case TokMinusAssign:
            return "-=";
        case TokStarAssign:
            return "*=";
        case TokSlashAssign:
            return "/=";
        case '<':
            return "<";
        case '>':
            return ">";
        case '+':
            return "+";
        case '-':
            return "-";
        case '*':
            return "*";
        case '/':
            return "/";
        case '!':
            return "!";
        default:
            return "=";
    }
}

static void EmitSwizzle(CgCompiler* c, const CgNode* n) {
    const CgType base = c->nodes[n->a].type;
    if (base.cols == 1) {
        // GLSL 1.20 cannot swizzle a scalar: f.xxx is a constructor.
        if (n->op > 1) {
            CgEmitTypeName(c, n->type);
            CgEmitText(c, "(");
        }
        CgEmitExpression(c, n->a);
        CgEmitText(c, n->op > 1 ? ")" : "");
        return;
    }
    char letters[6] = ".";
    for (int i = 0; i < n->op; ++i) {
        letters[i + 1] = "xyzw"[n->swizzle[i]];
    }
    letters[n->op + 1] = 0;
    CgEmitExpression(c, n->a);
    CgEmitText(c, letters);
}

static void EmitBinary(CgCompiler* c, const CgNode* n) {
    const CgType x = c->nodes[n->a].type;
    const CgType y = c->nodes[n->b].type;
    const char* call = 0;
    const int intDivision = n->op == '/' && n->type.base == BaseInt;
    if (n->op == '%' && c->emitConstant) {
        CgEmitInlineRemainder(c, n->a, n->b, n->type.base == BaseFloat);
        return;
    }
    if (intDivision && c->emitConstant) {
        CgEmitInlineQuotient(c, n->a, n->b);
        return;
    }
    if (intDivision) {
        call = "cg_idiv(";
    } else if (n->op == '%') {
        call = n->type.base == BaseFloat ? "cg_fmod(" : "cg_imod(";
    } else if (n->op == '*' && x.matrix && y.matrix) {
        call = "matrixCompMult(";  // Cg's * is per component; GLSL's would be a product
    }
    CgEmitText(c, call ? call : "(");
    CgEmitExpression(c, n->a);
    if (call) {
        CgEmitText(c, ", ");
    } else {
        CgEmitFormat(c, " %s ", OperatorGlsl(n->op));
    }
    CgEmitExpression(c, n->b);
    CgEmitText(c, ")");
}

static void EmitAssign(CgCompiler* c, const CgNode* n) {
    if (n->symbol) {
        // The helper takes the target as inout, so an index in it is evaluated once.
        CgEmitFormat(c, "cg_set%d(", n->symbol - 1);
        CgEmitExpression(c, n->a);
        CgEmitText(c, ", ");
        CgEmitExpression(c, n->b);
        CgEmitText(c, ")");
        return;
    }
    CgEmitText(c, "(");
    CgEmitExpression(c, n->a);
    CgEmitFormat(c, " %s ", OperatorGlsl(n->op));
    CgEmitExpression(c, n->b);
    CgEmitText(c, ")");
}

static void EmitIntrinsic(CgCompiler* c, const CgNode* n) {
    if (CgIntrinsicIsMul(n->op)) {
        const int a = n->a;
        const int b = c->nodes[a].next;
        CgEmitText(c, "(");
        CgEmitExpression(c, b);
        CgEmitText(c, " * ");
        CgEmitExpression(c, a);
        CgEmitText(c, ")");
        return;
    }
    if (c->emitConstant && n->op == CgIntrinsicFind("fmod")) {
        CgEmitInlineRemainder(c, n->a, c->nodes[n->a].next, 1);
        return;
    }
    CgEmitText(c, CgIntrinsicGlslName(n->op));
    CgEmitText(c, "(");
    EmitList(c, n->a);
    CgEmitText(c, CgIntrinsicIsSaturate(n->op) ? ", 0.0, 1.0)" : ")");
}

void CgEmitExpression(CgCompiler* c, const int node) {
    const CgNode* n = &c->nodes[node];
    switch (n->kind) {
        case NodeNumber:
            EmitNumber(c, n);
            break;
        case NodeBool:
            CgEmitText(c, n->number != 0.0 ? "true" : "false");
            break;
        case NodeVar:
            CgEmitVar(c, n->symbol);
            break;
        case NodeField:
            CgEmitExpression(c, n->a);
            CgEmitText(c, ".");
            CgEmitName(c, CgNameMember,
                       c->structs[c->nodes[n->a].type.structIndex].members[n->op].name);
            break;
        case NodeSwizzle:
            EmitSwizzle(c, n);
            break;
        case NodeIndex:
            CgEmitExpression(c, n->a);
            CgEmitText(c, "[");
            CgEmitExpression(c, n->b);
            CgEmitText(c, "]");
            break;
        case NodeCall:
            CgEmitName(c, CgNameFunction, c->functions[n->op].name);
            CgEmitText(c, "(");
            EmitList(c, n->a);
            CgEmitText(c, ")");
            break;
        case NodeIntrinsic:
            EmitIntrinsic(c, n);
            break;
        case NodeConstruct:
            CgEmitTypeName(c, n->type);
            CgEmitText(c, "(");
            EmitList(c, n->a);
            CgEmitText(c, ")");
            break;
        case NodeConvert:
            CgEmitTypeName(c, n->type);
            CgEmitText(c, "(");
            CgEmitExpression(c, n->a);
            CgEmitText(c, ")");
            break;
        case NodeUnary:
            CgEmitFormat(c, "(%s", OperatorGlsl(n->op));
            CgEmitExpression(c, n->a);
            CgEmitText(c, ")");
            break;
        case NodeBinary:
            EmitBinary(c, n);
            break;
        case NodeAssign:
            EmitAssign(c, n);
            break;
        case NodeTernary:
            CgEmitText(c, "(");
            CgEmitExpression(c, n->a);
            CgEmitText(c, " ? ");
            CgEmitExpression(c, n->b);
            CgEmitText(c, " : ");
            CgEmitExpression(c, n->c);
            CgEmitText(c, ")");
            break;
        case NodeIncDec: {
            const char* op = n->op == TokInc ? "++" : "--";
            CgEmitText(c, "(");
            CgEmitText(c, (n->flags & NodePrefix) ? op : "");
            CgEmitExpression(c, n->a);
            CgEmitText(c, (n->flags & NodePrefix) ? "" : op);
            CgEmitText(c, ")");
            break;
        }
        default:
            CgErrorAt(c, n->line, "internal error: cannot emit node kind %d", n->kind);
            break;
    }
}

static void Indent(CgCompiler* c, const int level) {
    for (int i = 0; i < level; ++i) {
        CgEmitText(c, "    ");
    }
}

// type name [= value] {, name [= value]} without the ';', as a declaration and a for-init need.
static void EmitDeclarators(CgCompiler* c, const CgNode* decl) {
    CgEmitTypeName(c, decl->type);
    CgEmitText(c, " ");
    for (int d = decl->a; d; d = c->nodes[d].next) {
        CgEmitVar(c, c->nodes[d].symbol);
        if (c->nodes[d].b) {
            CgEmitText(c, " = ");
            CgEmitExpression(c, c->nodes[d].b);
        }
        CgEmitText(c, c->nodes[d].next ? ", " : "");
    }
}

static void EmitStatement(CgCompiler* c, int node, int level);

// A sub-statement always gets braces, so a dangling else cannot change meaning.
static void EmitBody(CgCompiler* c, const int node, const int level) {
    if (c->nodes[node].kind == NodeBlock) {
        EmitStatement(c, node, level);
        return;
    }
    CgEmitText(c, "{\n");
    Indent(c, level + 1);
    EmitStatement(c, node, level + 1);
    Indent(c, level);
    CgEmitText(c, "}\n");
}

static void EmitStatement(CgCompiler* c, const int node, const int level) {
    const CgNode* n = &c->nodes[node];
    switch (n->kind) {
        case NodeBlock:
            CgEmitText(c, "{\n");
            for (int s = n->a; s; s = c->nodes[s].next) {
                Indent(c, level + 1);
                EmitStatement(c, s, level + 1);
            }
            Indent(c, level);
            CgEmitText(c, "}\n");
            break;
        case NodeDecl:
            EmitDeclarators(c, n);
            CgEmitText(c, ";\n");
            break;
        case NodeExprStmt:
            CgEmitExpression(c, n->a);
            CgEmitText(c, ";\n");
            break;
        case NodeIf:
            CgEmitText(c, "if (");
            CgEmitExpression(c, n->a);
            CgEmitText(c, ") ");
            EmitBody(c, n->b, level);
            if (n->c) {
                Indent(c, level);
                CgEmitText(c, "else ");
                EmitBody(c, n->c, level);
            }
            break;
        case NodeFor:
            CgEmitText(c, "for (");
            if (n->a && c->nodes[n->a].kind == NodeDecl) {
                EmitDeclarators(c, &c->nodes[n->a]);
            } else if (n->a) {
                CgEmitExpression(c, c->nodes[n->a].a);
            }
            CgEmitText(c, "; ");
            if (n->b) {
                CgEmitExpression(c, n->b);
            }
            CgEmitText(c, "; ");
            if (n->c) {
                CgEmitExpression(c, n->c);
            }
            CgEmitText(c, ") ");
            EmitBody(c, n->d, level);
            break;
        case NodeWhile:
            CgEmitText(c, "while (");
            CgEmitExpression(c, n->a);
            CgEmitText(c, ") ");
            EmitBody(c, n->b, level);
            break;
        case NodeDo:
            CgEmitText(c, "do ");
            EmitBody(c, n->a, level);
            Indent(c, level);
            CgEmitText(c, "while (");
            CgEmitExpression(c, n->b);
            CgEmitText(c, ");\n");
            break;
        case NodeReturn:
            CgEmitText(c, n->a ? "return " : "return");
            if (n->a) {
                CgEmitExpression(c, n->a);
            }
            CgEmitText(c, ";\n");
            break;
        case NodeBreak:
            CgEmitText(c, "break;\n");
            break;
        case NodeContinue:
            CgEmitText(c, "continue;\n");
            break;
        default:
            CgEmitText(c, ";\n");
            break;
    }
}

static void EmitStruct(CgCompiler* c, const CgStruct* s) {
    CgEmitText(c, "struct ");
    CgEmitName(c, CgNameStruct, s->name);
    CgEmitText(c, " {\n");
    for (int i = 0; i < s->memberCount; ++i) {
        CgEmitText(c, "    ");
        CgEmitTypeName(c, s->members[i].type);
        CgEmitText(c, " ");
        CgEmitName(c, CgNameMember, s->members[i].name);
        CgEmitText(c, ";\n");
    }
    CgEmitText(c, "};\n");
}

// Uniforms and constants keep their initializers; a static global's initializer runs at the
// start of main (GLSL 1.20 wants constant initializers at file scope).
static void EmitGlobal(CgCompiler* c, const CgNode* n) {
    if (n->op == SymUniform) {
        CgEmitText(c, "uniform ");
    } else if (n->op == SymConst) {
        CgEmitText(c, "const ");
    }
    if (n->op != SymStatic) {
        c->emitConstant = 1;
        EmitDeclarators(c, n);
        c->emitConstant = 0;
        CgEmitText(c, ";\n");
        return;
    }
    for (int d = n->a; d; d = c->nodes[d].next) {
        CgEmitTypeName(c, n->type);
        CgEmitText(c, " ");
        CgEmitVar(c, c->nodes[d].symbol);
        CgEmitText(c, ";\n");
    }
}

static void EmitFunction(CgCompiler* c, const CgNode* n) {
    const CgFunction* f = &c->functions[n->op];
    for (int i = 0; i < f->paramCount; ++i) {
        const CgSymbol* p = &f->params[i];
        if (p->qual == QualUniform) {
            CgEmitText(c, "uniform ");
            CgEmitTypeName(c, p->type);
            CgEmitText(c, " ");
            CgEmitVar(c, f->paramVar[i]);
            CgEmitText(c, ";\n");
        }
    }
    CgEmitTypeName(c, f->returnType);
    CgEmitText(c, " ");
    CgEmitName(c, CgNameFunction, f->name);
    CgEmitText(c, "(");
    int first = 1;
    for (int i = 0; i < f->paramCount; ++i) {
        const CgSymbol* p = &f->params[i];
        if (p->qual == QualUniform) {
            continue;  // an entry's uniform parameter is a GLSL uniform
        }
        CgEmitText(c, first ? "" : ", ");
        CgEmitText(c, p->qual == QualOut ? "out " : (p->qual == QualInOut ? "inout " : ""));
        CgEmitTypeName(c, p->type);
        CgEmitText(c, " ");
        CgEmitVar(c, f->paramVar[i]);
        first = 0;
    }
    CgEmitText(c, ") ");
    EmitStatement(c, n->a, 0);
}

int CgEmitProgram(CgCompiler* c) {
    CgEmitText(c, "#version 120\n");
    CgEmitHelpers(c);
    for (int item = c->nodes[1].next; item && !c->failed; item = c->nodes[item].next) {
        const CgNode* n = &c->nodes[item];
        if (n->kind == NodeStructDef) {
            EmitStruct(c, &c->structs[n->op]);
        } else if (n->kind == NodeGlobal) {
            EmitGlobal(c, n);
        } else if (n->kind == NodeFunction) {
            EmitFunction(c, n);
        }
    }
    return CgEmitMain(c) && !c->failed;
}
