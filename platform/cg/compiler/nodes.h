// The tree's nodes: one builder call per node, and the children read and written by what they
// are for each kind (which kind has which child is listed at CgNodeKind in tree.h). Builders
// return the new node, or 0 once the compile has failed (an error is set).
#pragma once

#include "platform/cg/compiler/tree.h"

// ---- Building ----------------------------------------------------------------------------------
// A bare node of `kind`, typed void; the rest is filled by the caller or a builder below.
int CgNodeNew(CgCompiler* c, int kind, int line);
// Counts child's height into parent's depth; too deep is an error.
void CgNodeAdopt(CgCompiler* c, int parent, int child);
// Appends child to parent's list (arguments, statements or declarators); *tail is its last item.
void CgNodeAppend(CgCompiler* c, int parent, int* tail, int child);

int CgNodeNumber(CgCompiler* c, double value, int base, int line);  // BaseInt or BaseFloat
int CgNodeBool(CgCompiler* c, int value, int line);
int CgNodeVar(CgCompiler* c, int var, int line);  // lvalue when the variable may be assigned
int CgNodeField(CgCompiler* c, int operand, int member, CgType type, int flags, int line);
int CgNodeSwizzle(CgCompiler* c, int operand, int count, const unsigned char* components,
                  CgType type, int flags, int line);
int CgNodeIndex(CgCompiler* c, int operand, int subscript, int line);
int CgNodeConstruct(CgCompiler* c, CgType type, int line);  // arguments appended after
int CgNodeConvert(CgCompiler* c, CgType to, int operand, int line);
int CgNodeUnary(CgCompiler* c, int op, int operand, int line);
int CgNodeIncDec(CgCompiler* c, int op, int operand, int prefix, int line);
int CgNodeBinary(CgCompiler* c, int op, int left, int right, int line);
int CgNodeAssign(CgCompiler* c, int op, int target, int value, int line);
int CgNodeTernary(CgCompiler* c, int condition, int then, int otherwise, int line);

int CgNodeExprStmt(CgCompiler* c, int expression, int line);
int CgNodeDecl(CgCompiler* c, int kind, CgType type, int line);  // a NodeGlobal at file scope
int CgNodeIf(CgCompiler* c, int condition, int then, int otherwise, int line);
int CgNodeFor(CgCompiler* c, int init, int condition, int step, int body, int line);
int CgNodeWhile(CgCompiler* c, int condition, int body, int line);
int CgNodeDo(CgCompiler* c, int body, int condition, int line);
int CgNodeReturn(CgCompiler* c, int value, int line);
int CgNodeStructDef(CgCompiler* c, int structIndex, int line);
int CgNodeFunction(CgCompiler* c, int function, int line);  // body attached after
// Attach what is parsed after its node was made: a declarator's initial value, a function's body.
void CgNodeAttachValue(CgCompiler* c, int declarator, int value);
void CgNodeAttachBody(CgCompiler* c, int function, int body);

// ---- Children ----------------------------------------------------------------------------------
// Lists name their first item and go on by next; a missing child is 0.

// The one operand of NodeField, NodeSwizzle, NodeIndex, NodeConvert, NodeUnary, NodeIncDec.
inline int CgOperand(const CgNode* n) {
    return n->a;
}
inline int CgLeft(const CgNode* n) {  // NodeBinary
    return n->a;
}
inline int CgRight(const CgNode* n) {  // NodeBinary
    return n->b;
}
inline int CgTarget(const CgNode* n) {  // NodeAssign
    return n->a;
}
// NodeAssign's right side, NodeDeclarator's initial value, NodeExprStmt's expression,
// NodeReturn's value.
inline int CgValue(const CgNode* n) {
    return n->b;
}
inline int CgSubscript(const CgNode* n) {  // NodeIndex
    return n->b;
}
inline int CgArguments(const CgNode* n) {  // NodeCall, NodeIntrinsic, NodeConstruct
    return n->a;
}
inline int CgCondition(const CgNode* n) {  // NodeTernary, NodeIf, NodeFor, NodeWhile, NodeDo
    return n->a;
}
inline int CgThen(const CgNode* n) {  // NodeTernary, NodeIf
    return n->b;
}
inline int CgElse(const CgNode* n) {  // NodeTernary, NodeIf
    return n->c;
}
inline int CgForInit(const CgNode* n) {  // NodeFor: a NodeDecl or NodeExprStmt
    return n->b;
}
inline int CgForStep(const CgNode* n) {  // NodeFor
    return n->c;
}
inline int CgBody(const CgNode* n) {  // NodeFor, NodeWhile, NodeDo, NodeFunction
    return n->d;
}
inline int CgStatements(const CgNode* n) {  // NodeBlock
    return n->a;
}
inline int CgDeclarators(const CgNode* n) {  // NodeDecl, NodeGlobal
    return n->a;
}

// The checker replaces a child by its conversion.
inline void CgSetLeft(CgNode* n, const int child) {
    n->a = child;
}
inline void CgSetRight(CgNode* n, const int child) {
    n->b = child;
}
inline void CgSetValue(CgNode* n, const int child) {
    n->b = child;
}
inline void CgSetSubscript(CgNode* n, const int child) {
    n->b = child;
}
inline void CgSetArguments(CgNode* n, const int first) {
    n->a = first;
}
inline void CgSetThen(CgNode* n, const int child) {
    n->b = child;
}
inline void CgSetElse(CgNode* n, const int child) {
    n->c = child;
}
