// The entry function's interface: checks its parameters and results against the bindings of the
// GLSL vertex profile, fills the parameter table the runtime looks names up in ("IN.wind",
// "ModelViewProj"), and writes GLSL main(), which reads the built-in inputs, calls the entry and
// stores its results in gl_Position, gl_FrontColor, gl_TexCoord[n], ...
#include <cstdio>
#include <cstring>

#include "platform/cg/compiler/nodes.h"

static const char* const BindingNames[CgBindKinds] = {"",       "POSITION", "NORMAL", "COLOR0",
                                                      "COLOR1", "TEXCOORD", "FOG",    "PSIZE"};

// GLSL built-in (GLSL ES: the GL 1.1 stand-in's attribute) read for an input binding, and its
// component count.
static void InputSource(const CgCompiler* c, const CgSemantic s, char* name, int* size) {
    static const char* const Names[CgBindKinds] = {
        "", "Vertex", "Normal", "Color", "SecondaryColor", "MultiTexCoord", "FogCoord", ""};
    static const int Sizes[CgBindKinds] = {0, 4, 3, 4, 4, 4, 1, 1};
    snprintf(name, 32, "%s%s", c->glslEs ? "limnora_" : "gl_", Names[s.kind]);
    if (s.kind == CgBindTexCoord) {
        snprintf(name, 32, "%sMultiTexCoord%d", c->glslEs ? "limnora_" : "gl_", s.index);
    }
    *size = Sizes[s.kind];
}

// GLSL built-in written for an output binding (GLSL ES: the stand-in's varying, or a plain
// variable for what its fixed fragment stage never reads), and its component count.
static void OutputTarget(const CgCompiler* c, const CgSemantic s, char* name, int* size) {
    static const char* const Names[CgBindKinds] = {
        "", "Position", "", "FrontColor", "FrontSecondaryColor", "", "FogFragCoord", "PointSize"};
    static const int Sizes[CgBindKinds] = {0, 4, 0, 4, 4, 4, 1, 1};
    const int builtIn = !c->glslEs || s.kind == CgBindPosition || s.kind == CgBindPointSize;
    snprintf(name, 32, "%s%s", builtIn ? "gl_" : "limnora_", Names[s.kind]);
    if (s.kind == CgBindTexCoord) {
        snprintf(name, 32, "%s[%d]", c->glslEs ? "limnora_TexCoord" : "gl_TexCoord", s.index);
    }
    *size = Sizes[s.kind];
}

void CgEmitInterface(CgCompiler* c) {
    if (!c->glslEs) {
        CgEmitText(c, "#version 120\n");
        return;
    }
    CgEmitText(c,
               "#version 300 es\n"
               "precision highp float;\n"
               "precision highp int;\n"
               "in vec4 limnora_Vertex;\n"
               "in vec3 limnora_Normal;\n"
               "in vec4 limnora_Color;\n"
               "in vec4 limnora_SecondaryColor;\n"
               "in float limnora_FogCoord;\n");
    for (int unit = 0; unit < 8; ++unit) {
        CgEmitFormat(c, "in vec4 limnora_MultiTexCoord%d;\n", unit);
    }
    CgEmitText(c,
               "out vec4 limnora_FrontColor;\n"
               "vec4 limnora_FrontSecondaryColor;\n"
               "float limnora_FogFragCoord;\n"
               "vec4 limnora_TexCoord[8];\n");
}

static int AddParam(CgCompiler* c, const char* name, const char* glslName, const int uniform,
                    const CgType t, const CgSemantic s, const int line) {
    CgCompileResult* r = c->result;
    if (r->paramCount >= CgMaxParams) {
        CgErrorAt(c, line, "too many parameters (at most %d)", CgMaxParams);
        return 0;
    }
    if (strlen(name) >= CgMaxParamName - 1 || strlen(glslName) >= CgMaxParamGlslName - 1) {
        CgErrorAt(c, line, "parameter name '%.40s...' is too long", name);
        return 0;
    }
    CgParamInfo* p = &r->params[r->paramCount++];
    memset(p, 0, sizeof *p);
    // An entry parameter hides a global of the same name inside the entry; the name then finds
    // the entry's parameter, whichever was declared first.
    p->entry = c->checkingEntry;
    for (int i = 0; i < r->paramCount - 1; ++i) {
        if (strcmp(r->params[i].name, name) == 0) {
            r->params[i].hidden |= p->entry && !r->params[i].entry;
            p->hidden |= !p->entry && r->params[i].entry;
        }
    }
    snprintf(p->name, sizeof p->name, "%s", name);
    snprintf(p->glslName, sizeof p->glslName, "%s", glslName);
    p->uniform = uniform;
    p->base = t.base;
    p->rows = t.rows;
    p->cols = t.cols;
    p->matrix = t.matrix;
    p->binding = s.kind;
    p->bindingIndex = s.index;
    return 1;
}

// A uniform struct gives one entry per member, "light.color" for "v3_light.m_color".
int CgParamAddUniform(CgCompiler* c, const char* cgName, const char* glslName, const CgType t,
                      const int line) {
    const CgSemantic none = {CgBindNone, 0};
    if (t.base != BaseStruct) {
        return AddParam(c, cgName, glslName, 1, t, none, line);
    }
    const CgStruct* s = &c->structs[t.structIndex];
    for (int i = 0; i < s->memberCount; ++i) {
        char name[2 * CgMaxParamName], glsl[2 * CgMaxParamGlslName], member[CgMaxParamGlslName];
        snprintf(name, sizeof name, "%s.%s", cgName, CgNameText(c, s->members[i].name));
        CgGlslName(c, CgNameMember, s->members[i].name, member, sizeof member);
        snprintf(glsl, sizeof glsl, "%s.%s", glslName, member);
        if (!CgParamAddUniform(c, name, glsl, s->members[i].type, line)) {
            return 0;
        }
    }
    return 1;
}

static int IsFloatValue(const CgType t) {
    return t.base == BaseFloat && !t.matrix;
}

static int CheckInput(CgCompiler* c, const char* name, const CgType t, const CgSemantic s,
                      const int line) {
    if (s.kind == CgBindNone) {
        CgErrorAt(c, line, "varying input '%s' has no semantic", name);
        return 0;
    }
    if (s.kind == CgBindPointSize) {
        CgErrorAt(c, line, "varying input '%s' cannot be bound to PSIZE", name);
        return 0;
    }
    if (!IsFloatValue(t)) {
        CgErrorAt(c, line, "varying input '%s' must be a float scalar or vector", name);
        return 0;
    }
    return AddParam(c, name, "", 0, t, s, line);
}

static int CheckOutput(CgCompiler* c, const char* name, const CgType t, const CgSemantic s,
                       const int line, unsigned char seen[CgBindKinds][8]) {
    if (s.kind == CgBindNone) {
        CgErrorAt(c, line, "output '%s' has no semantic", name);
        return 0;
    }
    if (s.kind == CgBindNormal) {
        CgErrorAt(c, line, "output '%s' cannot be bound to NORMAL", name);
        return 0;
    }
    char target[32];
    int size = 0;
    OutputTarget(c, s, target, &size);
    if (!IsFloatValue(t) || t.cols > size) {
        CgErrorAt(c, line, "output '%s' must be a float%s", name,
                  size == 1 ? "" : " scalar or vector");
        return 0;
    }
    if (seen[s.kind][s.index]) {
        char unit[4] = "";
        if (s.kind == CgBindTexCoord) {
            snprintf(unit, sizeof unit, "%d", s.index);
        }
        CgErrorAt(c, line, "output semantic %s%s is used twice", BindingNames[s.kind], unit);
        return 0;
    }
    seen[s.kind][s.index] = 1;
    return 1;
}

// Checks one result of the entry: a struct of bound members or one bound value.
static int CheckResult(CgCompiler* c, const char* name, const CgType t, const CgSemantic s,
                       const int line, unsigned char seen[CgBindKinds][8]) {
    if (t.base != BaseStruct) {
        return CheckOutput(c, name, t, s, line, seen);
    }
    const CgStruct* st = &c->structs[t.structIndex];
    for (int i = 0; i < st->memberCount; ++i) {
        char member[2 * CgMaxParamName];
        snprintf(member, sizeof member, "%s.%s", name, CgNameText(c, st->members[i].name));
        if (!CheckOutput(c, member, st->members[i].type, st->members[i].semantic, line, seen)) {
            return 0;
        }
    }
    return 1;
}

static int CheckEntry(CgCompiler* c, int function);

int CgEntryCheck(CgCompiler* c, const int function) {
    c->checkingEntry = 1;
    const int ok = CheckEntry(c, function);
    c->checkingEntry = 0;
    return ok;
}

static int CheckEntry(CgCompiler* c, const int function) {
    const CgFunction* f = &c->functions[function];
    unsigned char seen[CgBindKinds][8];
    memset(seen, 0, sizeof seen);
    for (int i = 0; i < f->paramCount; ++i) {
        const CgSymbol* p = &f->params[i];
        const char* name = CgNameText(c, p->name);
        if (p->qual == QualUniform) {
            char glsl[CgMaxParamGlslName];
            CgGlslVarName(c, f->paramVar[i], glsl, sizeof glsl);
            if (!CgParamAddUniform(c, name, glsl, p->type, f->line)) {
                return 0;
            }
        } else if (p->qual == QualInOut) {
            CgErrorAt(c, f->line, "inout parameter '%s' of the entry function is not supported",
                      name);
            return 0;
        } else if (p->qual == QualOut) {
            if (!CheckResult(c, name, p->type, p->semantic, f->line, seen)) {
                return 0;
            }
        } else if (p->type.base == BaseStruct) {
            const CgStruct* s = &c->structs[p->type.structIndex];
            for (int m = 0; m < s->memberCount; ++m) {
                char member[2 * CgMaxParamName];
                snprintf(member, sizeof member, "%s.%s", name, CgNameText(c, s->members[m].name));
                if (!CheckInput(c, member, s->members[m].type, s->members[m].semantic, f->line)) {
                    return 0;
                }
            }
        } else if (!CheckInput(c, name, p->type, p->semantic, f->line)) {
            return 0;
        }
    }
    if (f->returnType.base != BaseVoid &&
        !CheckResult(c, "return value", f->returnType, f->returnSemantic, f->line, seen)) {
        return 0;
    }
    if (!seen[CgBindPosition][0]) {
        CgErrorAt(c, f->line, "entry function '%s' has no POSITION output", CgNameText(c, f->name));
        return 0;
    }
    return 1;
}

// target = value, widened to the target's size with zeros and a final 1 (w of a point).
static void EmitStore(CgCompiler* c, const CgSemantic s, const char* value, const int cols) {
    char target[32];
    int size = 0;
    OutputTarget(c, s, target, &size);
    CgEmitFormat(c, "    %s = ", target);
    if (cols == size) {
        CgEmitFormat(c, "%s;\n", value);
        return;
    }
    CgEmitFormat(c, "vec%d(%s", size, value);
    for (int i = cols; i < size; ++i) {
        CgEmitText(c, i == size - 1 ? ", 1.0" : ", 0.0");
    }
    CgEmitText(c, ");\n");
}

static void EmitStores(CgCompiler* c, const CgType t, const CgSemantic s, const char* value) {
    if (t.base != BaseStruct) {
        EmitStore(c, s, value, t.cols);
        return;
    }
    const CgStruct* st = &c->structs[t.structIndex];
    for (int i = 0; i < st->memberCount; ++i) {
        char member[2 * CgMaxParamGlslName];
        char glsl[CgMaxParamGlslName];
        CgGlslName(c, CgNameMember, st->members[i].name, glsl, sizeof glsl);
        snprintf(member, sizeof member, "%s.%s", value, glsl);
        EmitStore(c, st->members[i].semantic, member, st->members[i].type.cols);
    }
}

// variable = built-in, cut down (swizzle) or padded with zeros to the variable's size.
static void EmitLoad(CgCompiler* c, const char* variable, const CgType t, const CgSemantic s) {
    char source[32];
    int size = 0;
    InputSource(c, s, source, &size);
    CgEmitFormat(c, "    %s = ", variable);
    if (t.cols < size) {
        CgEmitFormat(c, "%s.%.*s;\n", source, t.cols, "xyzw");
    } else if (t.cols == size) {
        CgEmitFormat(c, "%s;\n", source);
    } else {
        CgEmitFormat(c, "vec%d(%s", t.cols, source);
        for (int i = size; i < t.cols; ++i) {
            CgEmitText(c, ", 0.0");
        }
        CgEmitText(c, ");\n");
    }
}

int CgEmitMain(CgCompiler* c) {
    const CgFunction* f = &c->functions[c->entryFunction];
    CgEmitText(c, "void main() {\n");
    for (int item = c->nodes[1].next; item; item = c->nodes[item].next) {
        const CgNode* n = &c->nodes[item];
        if (n->kind != NodeGlobal || n->op != SymStatic) {
            continue;
        }
        for (int d = CgDeclarators(n); d; d = c->nodes[d].next) {
            const int value = CgValue(&c->nodes[d]);
            if (value) {
                CgEmitText(c, "    ");
                CgEmitVar(c, c->nodes[d].symbol);
                CgEmitText(c, " = ");
                CgEmitExpression(c, value);
                CgEmitText(c, ";\n");
            }
        }
    }
    for (int i = 0; i < f->paramCount; ++i) {
        const CgSymbol* p = &f->params[i];
        if (p->qual == QualUniform) {
            continue;
        }
        char variable[16];
        snprintf(variable, sizeof variable, "a%d", i);
        CgEmitText(c, "    ");
        CgEmitTypeName(c, p->type);
        CgEmitFormat(c, " %s;\n", variable);
        if (p->qual != QualIn) {
            continue;
        }
        if (p->type.base != BaseStruct) {
            EmitLoad(c, variable, p->type, p->semantic);
            continue;
        }
        const CgStruct* s = &c->structs[p->type.structIndex];
        for (int m = 0; m < s->memberCount; ++m) {
            char member[2 * CgMaxParamGlslName];
            char glsl[CgMaxParamGlslName];
            CgGlslName(c, CgNameMember, s->members[m].name, glsl, sizeof glsl);
            snprintf(member, sizeof member, "%s.%s", variable, glsl);
            EmitLoad(c, member, s->members[m].type, s->members[m].semantic);
        }
    }
    CgEmitText(c, "    ");
    if (f->returnType.base != BaseVoid) {
        CgEmitTypeName(c, f->returnType);
        CgEmitText(c, " result = ");
    }
    CgEmitName(c, CgNameFunction, f->name);
    CgEmitText(c, "(");
    for (int i = 0, first = 1; i < f->paramCount; ++i) {
        if (f->params[i].qual != QualUniform) {
            CgEmitFormat(c, "%sa%d", first ? "" : ", ", i);
            first = 0;
        }
    }
    CgEmitText(c, ");\n");
    for (int i = 0; i < f->paramCount; ++i) {
        if (f->params[i].qual == QualOut) {
            char variable[16];
            snprintf(variable, sizeof variable, "a%d", i);
            EmitStores(c, f->params[i].type, f->params[i].semantic, variable);
        }
    }
    if (f->returnType.base != BaseVoid) {
        EmitStores(c, f->returnType, f->returnSemantic, "result");
    }
    CgEmitText(c, "}\n");
    return !c->failed;
}
