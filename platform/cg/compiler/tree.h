// The Cg compiler's working records: tokens, types, the typed syntax tree, symbols and the one
// compile workspace shared by the lexer, parser, checker and emitter. Internal to the compiler.
// Everything has a fixed size: running out of room is a compile error, never a crash or a heap
// allocation. Node index 0 is the null node, so 0 means "none" for every child link.
#pragma once

#include "platform/cg/compiler/compile.h"

enum {
    CgMaxNodes = 16384,        // tree nodes per compile
    CgMaxNames = 4096,         // distinct identifiers
    CgNamePoolSize = 65536,    // bytes of identifier text
    CgNameHashSize = 8192,     // open-addressing slots, twice CgMaxNames
    CgMaxNameLength = 127,     // longest identifier
    CgMaxStructs = 32,         // struct definitions
    CgMaxMembers = 16,         // members per struct
    CgMaxSymbols = 1024,       // variables, parameters and globals in scope at once
    CgMaxFunctions = 64,       // function definitions
    CgMaxFunctionParams = 16,  // parameters per function
    CgMaxNesting = 256,        // recursion depth of the parser
    CgMaxTreeDepth = 512,      // depth of the finished tree, which bounds the emitter's recursion
    CgMaxErrorText = 200,      // one error message
    CgMaxAssignHelpers = 64    // distinct compound assignments that need a helper
};

// ---- Tokens ------------------------------------------------------------------------------------
// Single-character tokens use their character code; longer ones count up from 256.
enum CgTokenKind {
    TokEnd = 0,
    TokIdent = 256,
    TokInt,
    TokFloat,
    TokPlusAssign,
    TokMinusAssign,
    TokStarAssign,
    TokSlashAssign,
    TokPercentAssign,
    TokInc,
    TokDec,
    TokEq,
    TokNe,
    TokLe,
    TokGe,
    TokAndAnd,
    TokOrOr,
    TokShiftLeft,
    TokShiftRight,
    TokArrow
};

struct CgToken {
    int kind;       // CgTokenKind or a character code
    int start;      // byte offset in the source
    int length;     // bytes
    int line;       // 1-based
    double number;  // value of TokInt and TokFloat
};

// Reads the source one token at a time; copying the record gives any lookahead needed.
struct CgLexer {
    const char* text;  // the source, not owned
    int length;        // bytes
    int pos;           // next byte to read
    int line;          // line of pos
};

// ---- Types -------------------------------------------------------------------------------------
enum CgBase { BaseVoid, BaseBool, BaseInt, BaseFloat, BaseStruct };

// scalar: rows 1, cols 1; vector n: rows 1, cols n; matrix RxC: matrix 1, rows R, cols C.
struct CgType {
    unsigned char base;    // CgBase
    unsigned char rows;    // matrix rows, else 1
    unsigned char cols;    // vector size or matrix columns, else 1
    unsigned char matrix;  // 1 for floatRxC
    short structIndex;     // into CgCompiler::structs for BaseStruct
};

// ---- Semantics ---------------------------------------------------------------------------------
struct CgSemantic {
    unsigned char kind;   // CgBinding, CgBindNone when absent
    unsigned char index;  // texture unit for CgBindTexCoord
};

struct CgMember {
    int name;             // interned name
    CgType type;          // member type
    CgSemantic semantic;  // binding, if any
};

struct CgStruct {
    int name;                        // interned name
    int memberCount;                 // used entries of members
    CgMember members[CgMaxMembers];  // in declaration order
};

// ---- Symbols -----------------------------------------------------------------------------------
enum CgSymbolKind { SymLocal, SymParam, SymUniform, SymStatic, SymConst };
enum CgQualifier { QualIn, QualOut, QualInOut, QualUniform };

struct CgSymbol {
    int name;             // interned name
    CgType type;          // declared type
    unsigned char kind;   // CgSymbolKind
    unsigned char qual;   // CgQualifier, for parameters
    CgSemantic semantic;  // for entry parameters
    int scope;            // nesting level that declared it
};

struct CgFunction {
    int name;                              // interned name
    CgType returnType;                     // BaseVoid for void
    CgSemantic returnSemantic;             // for an entry returning a bare vector
    int paramCount;                        // used entries of params
    CgSymbol params[CgMaxFunctionParams];  // copies of the parameter symbols
    int paramVar[CgMaxFunctionParams];     // their slots in CgCompiler::vars (GLSL names)
    int line;                              // of its name
};

// ---- Tree --------------------------------------------------------------------------------------
enum CgNodeKind {
    NodeNone,
    // expressions; every one has a type after the checker has seen it
    NodeNumber,     // number: value; type int or float
    NodeBool,       // number: 0 or 1
    NodeVar,        // symbol: the CgSymbol copy index in CgCompiler::vars
    NodeField,      // CgOperand: struct; op: member index
    NodeSwizzle,    // CgOperand; op: component count; swizzle: components
    NodeIndex,      // CgOperand: vector or matrix; CgSubscript: int index
    NodeCall,       // op: function index; CgArguments: list
    NodeIntrinsic,  // op: intrinsic index; CgArguments: list
    NodeConstruct,  // type: what is built; CgArguments: list
    NodeConvert,    // CgOperand converted to type (implicit or cast)
    NodeUnary,      // op: '-', '+', '!'; CgOperand
    NodeBinary,     // op: operator token; CgLeft, CgRight
    NodeAssign,     // op: '=' or a compound token; CgTarget, CgValue; symbol: helper + 1
    NodeTernary,    // CgCondition; CgThen, CgElse: the choices
    NodeIncDec,     // op: TokInc/TokDec; flags NodePrefix; CgOperand: target
    // statements
    NodeBlock,       // CgStatements: list
    NodeDecl,        // type: declared type; CgDeclarators: NodeDeclarator list
    NodeDeclarator,  // symbol: variable; CgValue: initial value or 0
    NodeExprStmt,    // CgValue: the expression
    NodeIf,          // CgCondition; CgThen; CgElse or 0
    NodeFor,         // CgForInit, CgCondition, CgForStep: each 0 when absent; CgBody
    NodeWhile,       // CgCondition; CgBody
    NodeDo,          // CgBody; CgCondition
    NodeReturn,      // CgValue or 0
    NodeBreak,
    NodeContinue,
    NodeEmpty,
    // top level
    NodeStructDef,  // op: struct index
    NodeGlobal,     // like NodeDecl; op: CgSymbolKind of its variables
    NodeFunction    // op: function index; CgBody: block
};

enum CgNodeFlags {
    NodeLvalue = 1,    // may be assigned to
    NodeConstant = 2,  // built from literals only
    NodePrefix = 4     // NodeIncDec written before its operand
};

struct CgNode {
    unsigned char kind;        // CgNodeKind
    unsigned char flags;       // CgNodeFlags
    unsigned char swizzle[4];  // component indices of NodeSwizzle
    short op;                  // operator, member, intrinsic or function index (per kind)
    int line;                  // source line it came from
    int depth;                 // height of the subtree below it, for the emitter's recursion cap
    int a, b, c, d;            // children (0 = none), read by meaning through nodes.h
    int next;                  // next node in a list
    int symbol;                // index into CgCompiler::vars for NodeVar and NodeDeclarator
    CgType type;               // expression or declaration type
    double number;             // literal value
};

struct CgAssignHelper {
    int op;         // compound-assignment token
    CgType target;  // the assigned variable's type
    CgType value;   // the right side's type (after int-to-float where the result is float)
};

// ---- The workspace -----------------------------------------------------------------------------
struct CgCompiler {
    const char* entry;  // entry function name
    CgLexer lexer;      // position after tok
    CgToken tok;        // current token

    CgNode nodes[CgMaxNodes];  // tree; index 0 unused
    int nodeCount;

    int nameOffset[CgMaxNames];     // into namePool
    int nameLength[CgMaxNames];     // bytes
    int nameHash[CgNameHashSize];   // name index + 1, 0 = empty slot
    char namePool[CgNamePoolSize];  // identifier text, NUL-terminated
    int nameCount;
    int namePoolUsed;

    CgStruct structs[CgMaxStructs];
    int structCount;

    // Every variable ever declared keeps its slot in vars (nodes refer to it); scopeStack lists
    // the ones visible now, innermost last.
    CgSymbol vars[CgMaxNodes / 4];
    int varCount;
    int scopeStack[CgMaxSymbols];
    int scopeTop;
    int scope;  // current nesting level, 0 = file scope

    CgFunction functions[CgMaxFunctions];
    int functionCount;
    int currentFunction;  // being parsed, -1 outside
    int entryFunction;    // -1 until the entry is parsed

    int nesting;     // parser recursion depth
    int loopDepth;   // loops around the statement being parsed, for break and continue
    int returnSeen;  // the function being parsed has a return statement
    int failed;      // 1 after the first error
    int errorLine;
    char error[CgMaxErrorText];

    unsigned helpersUsed;  // CgHelper bits: library functions the emitter must define
    // Compound assignments GLSL cannot write as "a op= b" (a conversion of the result, %=, a
    // matrix *= matrix): each distinct (op, target type, value type) gets one helper function
    // cg_set<k>(inout target, value), so the target is evaluated once.
    CgAssignHelper assignHelpers[CgMaxAssignHelpers];
    int assignHelperCount;
    int emitConstant;   // emitting a file-scope initializer: no helper functions allowed
    int checkingEntry;  // adding the entry's parameters to the table
    int glslEs;         // writing GLSL ES 3.00 (CgGlslEs300)

    CgCompileResult* result;  // where GLSL, parameters and listing go
    int outLength;            // bytes of result->glsl used
};

// Library functions the emitter adds to the GLSL only when the program uses them.
enum CgHelper {
    HelperFmod = 1,   // fmod that truncates like C, 4 sizes
    HelperImod = 16,  // int remainder, 4 sizes
    HelperIdiv = 32   // int quotient that never divides by -1, 4 sizes
};

// ---- Stage interfaces --------------------------------------------------------------------------
// Building nodes and reading their children: nodes.h.
// lexer.cpp
void CgLexStart(CgCompiler* c, const char* text, int length);
void CgLexNext(CgCompiler* c);  // advances c->tok
int CgTokenIs(const CgCompiler* c, const char* word);
int CgNameIntern(CgCompiler* c, const char* text, int length);  // -1 when full (error set)
const char* CgNameText(const CgCompiler* c, int name);
void CgErrorAt(CgCompiler* c, int line, const char* format, ...);
void CgErrorNear(CgCompiler* c, const char* expected);  // "expected X near Y" at the current token

// parser.cpp, parse_stmt.cpp, parse_expr.cpp, parse_util.cpp
int CgParseProgram(CgCompiler* c);  // 1 on success; the top-level list starts at node 1's next
int CgParseBlockBody(CgCompiler* c, int line);  // after '{', through '}'
int CgParseDeclarators(CgCompiler* c, int kind, CgType type, int line, int needSemicolon);
int CgParseExpression(CgCompiler* c);
int CgParseAssignment(CgCompiler* c);
int CgParseTypeName(CgCompiler* c, CgType* type);  // 1 when the current token names a type
int CgParseType(CgCompiler* c, CgType* type, const char* what);  // also rejects pointers
int CgIsTypeStart(CgCompiler* c);
int CgIsReserved(const CgCompiler* c);
int CgAccept(CgCompiler* c, int kind);
int CgExpect(CgCompiler* c, int kind, const char* what);
int CgAcceptWord(CgCompiler* c, const char* word);
int CgEnter(CgCompiler* c);  // recursion guard: 0 when too deep
void CgLeave(CgCompiler* c);

// operators.cpp: the one table of operator spellings and roles
enum CgOperatorUse {
    OpBinary = 1,          // a op b, at its precedence
    OpPrefix = 2,          // op a: '-', '+', '!'
    OpStep = 4,            // ++ and --, before or after the operand
    OpAssign = 8,          // '=' and the compound assignments
    OpRefusedBinary = 16,  // bitwise and shift operators: outside the subset
    OpRefusedPrefix = 32   // '~': outside the subset
};
int CgOperatorToken(char first, char second);  // the two-character operator, else 0
const char* CgOperatorCg(int token);
const char* CgOperatorGlsl(int token);
int CgOperatorPrecedence(int token);   // 1 (loosest) to 6 for a binary operator, else 0
int CgOperatorIs(int token, int use);  // use: CgOperatorUse bits
int CgOperatorCompoundOf(int token);   // '+' for "+=", ...; 0 for others

// types.cpp
CgType CgTypeMake(int base, int rows, int cols, int matrix);
int CgTypeEqual(CgType x, CgType y);
int CgTypeIsNumeric(CgType t);
int CgTypeIsScalar(CgType t);
int CgTypeIsVector(CgType t);
int CgTypeComponents(CgType t);
void CgTypeName(const CgCompiler* c, CgType t, char* out, int size);
int CgTypeFromWord(const char* text, int length, CgType* out);
int CgTypeWordUnsupported(const char* text, int length);
int CgSemanticParse(const char* text, int length, CgSemantic* out);

// check.cpp, check_call.cpp: type rules; each returns the node it finished (possibly
// wrapped in a conversion) or 0 after an error.
int CgCheckConvert(CgCompiler* c, int node, CgType to, const char* what);
int CgCheckCondition(CgCompiler* c, int node);
int CgCheckUnary(CgCompiler* c, int node);
int CgCheckBinary(CgCompiler* c, int node);
int CgCheckAssign(CgCompiler* c, int node);
int CgCheckTernary(CgCompiler* c, int node);
int CgCheckIncDec(CgCompiler* c, int node);
int CgCheckMember(CgCompiler* c, int node, int name);
int CgCheckIndex(CgCompiler* c, int node);
int CgCheckCast(CgCompiler* c, int node);
int CgCheckConstruct(CgCompiler* c, int node);
int CgCheckCall(CgCompiler* c, int node, int name);  // user function or intrinsic
int CgCheckIsConstant(const CgCompiler* c, int node);

// scope.cpp
void CgScopePush(CgCompiler* c);
void CgScopePop(CgCompiler* c);
int CgScopeDeclare(CgCompiler* c, const CgSymbol* symbol, int line);  // vars index, -1 on error
int CgScopeFind(const CgCompiler* c, int name);                       // vars index, -1 if none
int CgFunctionFind(const CgCompiler* c, int name);

// intrinsics.cpp
int CgIntrinsicFind(const char* name);  // -1 if not an intrinsic
const char* CgIntrinsicGlslName(int intrinsic);
int CgCheckIntrinsic(CgCompiler* c, int node, int intrinsic);
int CgIntrinsicIsSaturate(int intrinsic);
int CgIntrinsicIsMul(int intrinsic);

// emit.cpp: the program; emit_expr.cpp: text, names, types, expressions
int CgEmitProgram(CgCompiler* c);
void CgEmitText(CgCompiler* c, const char* text);
void CgEmitFormat(CgCompiler* c, const char* format, ...);
void CgEmitTypeName(CgCompiler* c, CgType t);
void CgEmitExpression(CgCompiler* c, int node);
// GLSL names of user symbols. Each kind has its own prefix (s_ structs, m_ members, f_
// functions, v<slot>_ variables, which also makes every variable unique), and '_' in the Cg
// name is written "0_", so no result starts with "gl_" or contains "__" (reserved in GLSL).
enum CgNameKind { CgNameStruct, CgNameMember, CgNameFunction };
void CgGlslName(const CgCompiler* c, int kind, int name, char* out, int size);
void CgGlslVarName(const CgCompiler* c, int var, char* out, int size);
void CgEmitName(CgCompiler* c, int kind, int name);
void CgEmitVar(CgCompiler* c, int var);

// emit_helpers.cpp
int CgAssignHelperFind(CgCompiler* c, int op, CgType target, CgType value, int line);
void CgEmitHelpers(CgCompiler* c);
void CgEmitInlineRemainder(CgCompiler* c, int x, int y, int isFloat);
void CgEmitInlineQuotient(CgCompiler* c, int x, int y);

// emit_entry.cpp
int CgEmitMain(CgCompiler* c);
// The version line and, for GLSL ES, the declarations of the stand-in's attributes and varyings.
void CgEmitInterface(CgCompiler* c);
int CgEntryCheck(CgCompiler* c, int function);  // also fills the entry's parameter table rows
int CgParamAddUniform(CgCompiler* c, const char* cgName, const char* glslName, CgType t, int line);
