// Builders of the tree's nodes: each makes one node from its parts and counts its children into
// its depth, which bounds the emitter's recursion. The only code that writes child links
// directly; everything else goes through the accessors of nodes.h.
#include <cstring>

#include "platform/cg/compiler/nodes.h"

int CgNodeNew(CgCompiler* c, const int kind, const int line) {
    if (c->failed) {
        return 0;
    }
    if (c->nodeCount >= CgMaxNodes) {
        CgErrorAt(c, line, "program too large: too many expressions");
        return 0;
    }
    const int n = c->nodeCount++;
    CgNode* node = &c->nodes[n];
    memset(node, 0, sizeof *node);
    node->kind = (unsigned char)kind;
    node->line = line;
    node->type = CgTypeMake(BaseVoid, 1, 1, 0);
    return n;
}

void CgNodeAdopt(CgCompiler* c, const int parent, const int child) {
    if (parent == 0 || child == 0) {
        return;
    }
    const int depth = c->nodes[child].depth + 1;
    if (depth > c->nodes[parent].depth) {
        c->nodes[parent].depth = depth;
    }
    if (depth > CgMaxTreeDepth) {
        CgErrorAt(c, c->nodes[parent].line, "expression too complex");
    }
}

void CgNodeAppend(CgCompiler* c, const int parent, int* tail, const int child) {
    if (*tail) {
        c->nodes[*tail].next = child;
    } else {
        c->nodes[parent].a = child;
    }
    *tail = child;
    CgNodeAdopt(c, parent, child);
}

// A node of `kind` with up to four children, adopted in order; 0 once the compile has failed.
static int Make(CgCompiler* c, const int kind, const int line, const int a, const int b,
                const int cc, const int d) {
    const int node = CgNodeNew(c, kind, line);
    if (!node) {
        return 0;
    }
    CgNode* n = &c->nodes[node];
    n->a = a;
    n->b = b;
    n->c = cc;
    n->d = d;
    CgNodeAdopt(c, node, a);
    CgNodeAdopt(c, node, b);
    CgNodeAdopt(c, node, cc);
    CgNodeAdopt(c, node, d);
    return c->failed ? 0 : node;
}

// A node with a constant value and its type, built from literals.
static int Literal(CgCompiler* c, const int kind, const double value, const CgType type,
                   const int line) {
    const int node = CgNodeNew(c, kind, line);
    if (node) {
        c->nodes[node].number = value;
        c->nodes[node].type = type;
        c->nodes[node].flags = NodeConstant;
    }
    return node;
}

int CgNodeNumber(CgCompiler* c, const double value, const int base, const int line) {
    return Literal(c, NodeNumber, value, CgTypeMake(base, 1, 1, 0), line);
}

int CgNodeBool(CgCompiler* c, const int value, const int line) {
    return Literal(c, NodeBool, value ? 1.0 : 0.0, CgTypeMake(BaseBool, 1, 1, 0), line);
}

int CgNodeVar(CgCompiler* c, const int var, const int line) {
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

// Sets the operator-or-index field, the type and the flags of a node Make has built.
static int Finish(CgCompiler* c, const int node, const int op, const CgType type, const int flags) {
    if (node) {
        c->nodes[node].op = (short)op;
        c->nodes[node].type = type;
        c->nodes[node].flags = (unsigned char)flags;
    }
    return node;
}

int CgNodeField(CgCompiler* c, const int operand, const int member, const CgType type,
                const int flags, const int line) {
    return Finish(c, Make(c, NodeField, line, operand, 0, 0, 0), member, type, flags);
}

int CgNodeSwizzle(CgCompiler* c, const int operand, const int count,
                  const unsigned char* components, const CgType type, const int flags,
                  const int line) {
    const int node = Finish(c, Make(c, NodeSwizzle, line, operand, 0, 0, 0), count, type, flags);
    if (node) {
        memcpy(c->nodes[node].swizzle, components, (size_t)count);
    }
    return node;
}

int CgNodeIndex(CgCompiler* c, const int operand, const int subscript, const int line) {
    return Make(c, NodeIndex, line, operand, subscript, 0, 0);
}

int CgNodeConstruct(CgCompiler* c, const CgType type, const int line) {
    const int node = CgNodeNew(c, NodeConstruct, line);
    if (node) {
        c->nodes[node].type = type;
    }
    return node;
}

int CgNodeConvert(CgCompiler* c, const CgType to, const int operand, const int line) {
    const int node = Make(c, NodeConvert, line, operand, 0, 0, 0);
    if (node) {
        c->nodes[node].type = to;
    }
    return node;
}

int CgNodeUnary(CgCompiler* c, const int op, const int operand, const int line) {
    const int node = Make(c, NodeUnary, line, operand, 0, 0, 0);
    if (node) {
        c->nodes[node].op = (short)op;
    }
    return node;
}

int CgNodeIncDec(CgCompiler* c, const int op, const int operand, const int prefix, const int line) {
    const int node = Make(c, NodeIncDec, line, operand, 0, 0, 0);
    if (node) {
        c->nodes[node].op = (short)op;
        c->nodes[node].flags = prefix ? NodePrefix : 0;
    }
    return node;
}

int CgNodeBinary(CgCompiler* c, const int op, const int left, const int right, const int line) {
    const int node = Make(c, NodeBinary, line, left, right, 0, 0);
    if (node) {
        c->nodes[node].op = (short)op;
    }
    return node;
}

int CgNodeAssign(CgCompiler* c, const int op, const int target, const int value, const int line) {
    const int node = Make(c, NodeAssign, line, target, value, 0, 0);
    if (node) {
        c->nodes[node].op = (short)op;
    }
    return node;
}

int CgNodeTernary(CgCompiler* c, const int condition, const int then, const int otherwise,
                  const int line) {
    return Make(c, NodeTernary, line, condition, then, otherwise, 0);
}

int CgNodeExprStmt(CgCompiler* c, const int expression, const int line) {
    return Make(c, NodeExprStmt, line, 0, expression, 0, 0);
}

int CgNodeDecl(CgCompiler* c, const int kind, const CgType type, const int line) {
    const int node = CgNodeNew(c, kind == SymLocal || c->scope > 0 ? NodeDecl : NodeGlobal, line);
    if (node) {
        c->nodes[node].type = type;
        c->nodes[node].op = (short)kind;
    }
    return node;
}

int CgNodeIf(CgCompiler* c, const int condition, const int then, const int otherwise,
             const int line) {
    return Make(c, NodeIf, line, condition, then, otherwise, 0);
}

int CgNodeFor(CgCompiler* c, const int init, const int condition, const int step, const int body,
              const int line) {
    return Make(c, NodeFor, line, condition, init, step, body);
}

int CgNodeWhile(CgCompiler* c, const int condition, const int body, const int line) {
    return Make(c, NodeWhile, line, condition, 0, 0, body);
}

int CgNodeDo(CgCompiler* c, const int body, const int condition, const int line) {
    return Make(c, NodeDo, line, condition, 0, 0, body);
}

int CgNodeReturn(CgCompiler* c, const int value, const int line) {
    return Make(c, NodeReturn, line, 0, value, 0, 0);
}

int CgNodeStructDef(CgCompiler* c, const int structIndex, const int line) {
    const int node = CgNodeNew(c, NodeStructDef, line);
    if (node) {
        c->nodes[node].op = (short)structIndex;
    }
    return node;
}

int CgNodeFunction(CgCompiler* c, const int function, const int line) {
    const int node = CgNodeNew(c, NodeFunction, line);
    if (node) {
        c->nodes[node].op = (short)function;
    }
    return node;
}

void CgNodeAttachValue(CgCompiler* c, const int declarator, const int value) {
    c->nodes[declarator].b = value;
    CgNodeAdopt(c, declarator, value);
}

void CgNodeAttachBody(CgCompiler* c, const int function, const int body) {
    c->nodes[function].d = body;
    CgNodeAdopt(c, function, body);
}
