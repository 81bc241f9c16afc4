// GLSL 1.20 emitter of the Cg compiler, the program: structs, globals, functions and their
// statements, in source order after the library helpers it needs; main() comes from
// emit_entry.cpp, expressions from emit_expr.cpp.
#include "platform/cg/compiler/nodes.h"

static void Indent(CgCompiler* c, const int level) {
    for (int i = 0; i < level; ++i) {
        CgEmitText(c, "    ");
    }
}

// type name [= value] {, name [= value]} without the ';', as a declaration and a for-init need.
static void EmitDeclarators(CgCompiler* c, const CgNode* decl) {
    CgEmitTypeName(c, decl->type);
    CgEmitText(c, " ");
    for (int d = CgDeclarators(decl); d; d = c->nodes[d].next) {
        CgEmitVar(c, c->nodes[d].symbol);
        if (CgValue(&c->nodes[d])) {
            CgEmitText(c, " = ");
            CgEmitExpression(c, CgValue(&c->nodes[d]));
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
            for (int s = CgStatements(n); s; s = c->nodes[s].next) {
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
            CgEmitExpression(c, CgValue(n));
            CgEmitText(c, ";\n");
            break;
        case NodeIf:
            CgEmitText(c, "if (");
            CgEmitExpression(c, CgCondition(n));
            CgEmitText(c, ") ");
            EmitBody(c, CgThen(n), level);
            if (CgElse(n)) {
                Indent(c, level);
                CgEmitText(c, "else ");
                EmitBody(c, CgElse(n), level);
            }
            break;
        case NodeFor: {
            const int init = CgForInit(n);
            CgEmitText(c, "for (");
            if (init && c->nodes[init].kind == NodeDecl) {
                EmitDeclarators(c, &c->nodes[init]);
            } else if (init) {
                CgEmitExpression(c, CgValue(&c->nodes[init]));
            }
            CgEmitText(c, "; ");
            if (CgCondition(n)) {
                CgEmitExpression(c, CgCondition(n));
            }
            CgEmitText(c, "; ");
            if (CgForStep(n)) {
                CgEmitExpression(c, CgForStep(n));
            }
            CgEmitText(c, ") ");
            EmitBody(c, CgBody(n), level);
            break;
        }
        case NodeWhile:
            CgEmitText(c, "while (");
            CgEmitExpression(c, CgCondition(n));
            CgEmitText(c, ") ");
            EmitBody(c, CgBody(n), level);
            break;
        case NodeDo:
            CgEmitText(c, "do ");
            EmitBody(c, CgBody(n), level);
            Indent(c, level);
            CgEmitText(c, "while (");
            CgEmitExpression(c, CgCondition(n));
            CgEmitText(c, ");\n");
            break;
        case NodeReturn:
            CgEmitText(c, CgValue(n) ? "return " : "return");
            if (CgValue(n)) {
                CgEmitExpression(c, CgValue(n));
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
    for (int d = CgDeclarators(n); c->glslEs && n->op == SymUniform && d; d = c->nodes[d].next) {
        if (CgValue(&c->nodes[d])) {
            // GLSL ES uniforms have no initializers, and nothing tells the shader whether the
            // program has set the value since.
            CgErrorAt(
                c, c->nodes[d].line,
                "a uniform initializer is not supported on OpenGL ES (set the value instead)");
            return;
        }
    }
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
    for (int d = CgDeclarators(n); d; d = c->nodes[d].next) {
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
    EmitStatement(c, CgBody(n), 0);
}

int CgEmitProgram(CgCompiler* c) {
    CgEmitInterface(c);
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
