// Statements and whole programs of the program generator (see cg_gen.h): declarations that
// shadow outer names, assignments and compound assignments that mix ints and floats, branches,
// counted loops, helper functions (some returning structs), file-scope constants, a uniform
// with a default value and statics, and the entry with its inputs, uniforms and results.
#include <cmath>

#include "tests/platform/cg/cg_gen_builder.h"

namespace {

const char* const StructNames[] = {"S", "_Pair", "Data__"};
const char* const MemberNames[] = {"a", "_b", "gl_c", "x__", "pos", "mix"};
const char* const GlobalNames[] = {"scale", "_k", "w__", "gl_v", "offset", "vec3", "input"};
const char* const FunctionNames[] = {"shade", "_h", "f__", "mix2", "twice", "output"};
const char* const LocalNames[] = {"x", "y", "scale", "_t", "q__", "gl_a", "offset", "v", "shade"};
const char* const LoopNames[] = {"i", "_j", "k__"};
const char* const ParamNames[] = {"scale", "_k", "shade", "a", "b__", "gl_in", "twice", "t"};
const char* const ResultNames[] = {"_r0", "r__1", "gl_r2", "r3"};

}  // namespace

void Gen::CloseBlock(int block) {
    std::string text = "{\n";
    for (const int s : a.nodes[block].kids) {
        text += a.nodes[s].text;
    }
    a.nodes[block].text = text + "}\n";
}

// The assignable part of a variable: all of it, a member, a swizzle without repeats, a
// component or a matrix row.
int Gen::Target(int var, GenType* type) {
    int node = VarNode(var);
    GenType t = a.vars[var].t;
    if (t.base == GenStruct) {
        const int m = R((int)a.structs[t.st].types.size());
        node = Member(node, m);
        t = a.nodes[node].t;
    }
    if (t.matrix && P(30)) {
        node = Index(node, R(t.rows));
    } else if (!t.matrix && t.cols > 1 && P(50)) {
        if (P(30)) {
            node = Index(node, R(t.cols));
        } else {
            const int count = 1 + R(t.cols);
            int used[4] = {0, 1, 2, 3};
            for (int i = t.cols - 1; i > 0; --i) {
                const int j = R(i + 1), swap = used[i];
                used[i] = used[j];
                used[j] = swap;
            }
            const int n = Node(KSwiz, Ty(t.base, count), "");
            std::string letters;
            for (int i = 0; i < count; ++i) {
                a.nodes[n].comps[i] = used[i];
                letters += "xyzw"[used[i]];
            }
            a.nodes[n].n = count;
            a.nodes[n].text = Text(node) + "." + letters;
            node = Kid(n, node);
        }
    }
    *type = a.nodes[node].t;
    return node;
}

// target op= value with every operator, the value of the target's shape or a scalar, of either
// base type: int c; c *= 0.5 is the case where Cg converts the result back.
void Gen::Assignment(int block, int depth) {
    std::vector<int> vars = Visible(nullptr, true);
    if (vars.empty()) {
        return;
    }
    GenType t;
    const int target = Target(vars[R((int)vars.size())], &t);
    static const char Ops[] = "=+-*/%";
    const int op = P(35) ? '=' : Ops[1 + R(t.matrix ? 4 : 5)];
    GenType vt = t;
    if (op != '=' && !t.matrix && t.cols > 1 && P(30)) {
        vt = Ty(t.base);
    }
    if (!t.matrix && P(30)) {
        vt.base = t.base == GenInt ? GenFloat : GenInt;
    }
    if (t.matrix) {
        vt = op != '=' && P(30) ? Ty(P(50) ? GenFloat : GenInt) : t;
    }
    const int isIntDivision = t.base == GenInt && vt.base == GenInt && (op == '/' || op == '%');
    const int value = isIntDivision ? NonZeroInt() : Expr(vt, depth);
    const char ops[3] = {(char)op, op == '=' ? (char)0 : '=', 0};
    const int n = Node(SAssign, t, Text(target) + " " + ops + " " + Text(value) + ";\n");
    a.nodes[n].op = op;
    Kid(n, target);
    Kid(n, value);
    Kid(block, n);
}

// A new variable, possibly hiding an outer one of the same name (declared after its initializer,
// as in C); an int may start from a float (truncated). A struct gets each member assigned.
void Gen::Declaration(int block, int depth, const GenType* forced) {
    const GenType t = forced ? *forced : RandomType(true);
    std::string name;
    for (int tries = 0; tries < 8 && name.empty(); ++tries) {
        name = Pick(LocalNames);
        name = FreeInScope(name) ? name : "";
    }
    if (name.empty()) {
        name = "n" + std::to_string(a.vars.size());
    }
    int init = -1;
    if (t.base != GenStruct) {
        GenType it = t;
        if (t.base == GenInt && P(20)) {
            it.base = GenFloat;
        }
        init = Expr(it, depth);
    }
    const int v = Declare(name, t, 1, t.base != GenStruct);
    const int n =
        Node(SDecl, t, TypeText(t) + " " + name + (init >= 0 ? " = " + Text(init) : "") + ";\n");
    a.nodes[n].var = v;
    if (init >= 0) {
        Kid(n, init);
    }
    Kid(block, n);
    if (t.base == GenStruct) {
        const GenStructDef& s = a.structs[t.st];
        for (size_t m = 0; m < s.types.size(); ++m) {
            const int target = Member(VarNode(v), (int)m);
            const int value = Expr(a.structs[t.st].types[m], depth);
            const int set =
                Node(SAssign, a.nodes[target].t, Text(target) + " = " + Text(value) + ";\n");
            a.nodes[set].op = '=';
            Kid(set, target);
            Kid(set, value);
            Kid(block, set);
        }
        ready[v] = 1;
    }
}

void Gen::Statement(int block, int depth) {
    const int k = R(100);
    if (k < 35 || depth <= 0) {
        (k % 2 ? Declaration(block, depth, nullptr) : Assignment(block, depth));
        return;
    }
    if (k < 70) {
        Assignment(block, depth);
        return;
    }
    if (k < 85) {
        const int cond = Cond(depth);
        const int then = Block(depth - 1, false);
        const int n = Node(SIf, Ty(GenBool), "if " + Text(cond) + " " + Text(then));
        Kid(n, cond);
        Kid(n, then);
        if (P(50)) {
            const int otherwise = Block(depth - 1, false);
            a.nodes[n].text += "else " + Text(otherwise);
            Kid(n, otherwise);
        }
        Kid(block, n);
        return;
    }
    scopes.push_back({});  // the loop's own scope, for its counter
    const std::string name = Pick(LoopNames);
    const int count = 1 + R(3);
    const int v = Declare(name, Ty(GenInt), 0);
    const int body = Block(depth - 1, false);
    scopes.pop_back();
    const int n = Node(SFor, Ty(GenInt),
                       "for (int " + name + " = 0; " + name + " < " + std::to_string(count) + "; " +
                           name + "++) " + Text(body));
    a.nodes[n].var = v;
    a.nodes[n].value = count;
    Kid(n, body);
    Kid(block, n);
}

int Gen::Block(int depth, bool functionBody) {
    if (!functionBody) {
        scopes.push_back({});
    }
    const int block = Node(SBlock, Ty(GenInt), "");
    const int count = 1 + R(functionBody ? 5 : 3);
    for (int i = 0; i < count; ++i) {
        Statement(block, depth);
    }
    if (!functionBody) {
        scopes.pop_back();
    }
    CloseBlock(block);
    return block;
}

void Gen::Function() {
    std::string name;
    for (int tries = 0; tries < 8 && name.empty(); ++tries) {
        name = Pick(FunctionNames);
        for (const GenFn& f : a.fns) {
            name = f.name == name ? "" : name;
        }
        name = !name.empty() && FreeInScope(name) ? name : "";
    }
    if (name.empty()) {
        return;
    }
    GenFn f;
    f.name = name;
    f.ret = RandomType(true);
    scopes.push_back({});
    inHelper = 1;
    std::string head = TypeText(f.ret) + " " + name + "(";
    const int params = R(4);
    for (int i = 0; i < params; ++i) {
        const std::string p = Pick(ParamNames);
        if (FreeInScope(p)) {
            const GenType t = RandomType(true);
            head += (f.params.empty() ? "" : ", ") + TypeText(t) + " " + p;
            f.params.push_back(Declare(p, t, 1));
        }
    }
    f.body = Block(2, true);
    if (f.ret.base == GenStruct) {
        Declaration(f.body, 1, &f.ret);
    }
    const int value = f.ret.base == GenStruct ? StructValue(f.ret, 2) : Expr(f.ret, 2);
    const int ret = Node(SReturn, f.ret, "return " + Text(value) + ";\n");
    Kid(ret, value);
    Kid(f.body, ret);
    CloseBlock(f.body);
    inHelper = 0;
    scopes.pop_back();
    a.fns.push_back(f);
    fnLimit = (int)a.fns.size();
    source += head + ") " + Text(f.body);
}

void Gen::Globals() {
    for (int s = R(3); s > 0; --s) {
        GenStructDef def;
        def.name = Pick(StructNames);
        if (!FreeInScope(def.name)) {
            continue;
        }
        source += "struct " + def.name + " {\n";
        for (int m = 1 + R(3); m > 0; --m) {
            const std::string member = Pick(MemberNames);
            bool taken = false;
            for (const std::string& other : def.members) {
                taken |= other == member;
            }
            if (!taken) {
                def.members.push_back(member);
                def.types.push_back(Ty(P(70) ? GenFloat : GenInt, 1 + R(4)));
                source += "    " + TypeText(def.types.back()) + " " + member + ";\n";
            }
        }
        source += "};\n";
        a.structs.push_back(def);
    }
    // Constants and a uniform's default value from literals; then statics from anything above.
    const int constants = 1 + R(3), uniforms = R(2), statics = R(3);
    for (int g = 0; g < constants + uniforms + statics; ++g) {
        const std::string name = Pick(GlobalNames);
        if (!FreeInScope(name)) {
            continue;
        }
        const GenType t = RandomType(false);
        const int isStatic = g >= constants + uniforms;
        constOnly = !isStatic;
        const int init = Expr(t, 2);
        constOnly = 0;
        const char* kind = isStatic         ? "static "
                           : g >= constants ? "uniform "
                           : P(50)          ? "static const "
                                            : "const ";
        const int v = Declare(name, t, isStatic ? 2 : 0);
        const int n = Node(SDecl, t, kind + TypeText(t) + " " + name + " = " + Text(init) + ";\n");
        a.nodes[n].var = v;
        Kid(n, init);
        a.globalDecls.push_back(n);
        source += Text(n);
    }
}

void Gen::Main(CgGenProgram* out) {
    scopes.push_back({});
    std::vector<std::string> names;
    while (names.size() < 4) {
        const std::string p = Pick(ParamNames);
        bool taken = false;
        for (const std::string& other : names) {
            taken |= other == p;
        }
        if (!taken) {
            names.push_back(p);
        }
    }
    const int position = Declare("pos", Ty(GenFloat, 4), 0, 0);
    a.inputVar[0] = Declare(names[0], Ty(GenFloat, 4), 1);
    a.inputVar[1] = Declare(names[1], Ty(GenFloat, 4), 1);
    a.vectorVar = Declare(names[2], Ty(GenFloat, 4), 0);
    a.matrixVar = Declare(names[3], Ty(GenFloat, 3, 3, 1), 0);
    const int outPosition = Declare("oPos", Ty(GenFloat, 4), 0, 0);
    std::string head = "void main(float4 pos : POSITION, float4 " + names[0] + " : TEXCOORD0, " +
                       TypeText(Ty(GenFloat, 4)) + " " + names[1] +
                       " : TEXCOORD1, uniform float4 " + names[2] + ", uniform float3x3 " +
                       names[3] + ", out float4 oPos : POSITION";
    for (int r = 0; r < 4; ++r) {
        a.resultVar[r] = Declare(ResultNames[r], Ty(GenFloat, 4), 0, 0);
        head += ", out float4 " + std::string(ResultNames[r]) + " : TEXCOORD" + std::to_string(r);
    }
    a.mainBody = Block(3, true);
    const int setPosition = Node(SAssign, Ty(GenFloat, 4), "oPos = pos;\n");
    a.nodes[setPosition].op = '=';
    Kid(setPosition, VarNode(outPosition));
    Kid(setPosition, VarNode(position));
    Kid(a.mainBody, setPosition);
    for (int r = 0; r < 4; ++r) {
        const int value = Expr(Ty(GenFloat, 4), 3);
        const int n = Node(SAssign, Ty(GenFloat, 4),
                           std::string(ResultNames[r]) + " = " + Text(value) + ";\n");
        a.nodes[n].op = '=';
        Kid(n, VarNode(a.resultVar[r]));
        Kid(n, value);
        Kid(a.mainBody, n);
    }
    CloseBlock(a.mainBody);
    scopes.pop_back();
    source += head + ") " + Text(a.mainBody);
    out->vectorName = names[2];
    out->matrixName = names[3];
}

void CgGenerate(unsigned seed, CgGenProgram* out) {
    Gen g;
    g.state = seed * 2654435761u + 0x9e3779b9u;
    g.state = g.state ? g.state : 1;
    for (int i = 0; i < 4; ++i) {
        g.Next();
    }
    for (int k = 0; k < 4; ++k) {
        out->inputs[0][k] = (float)(g.R(49) - 24) / 8.0f;
        out->inputs[1][k] = (float)(g.R(49) - 24) / 8.0f;
        out->vectorValue[k] = (float)(g.R(49) - 24) / 8.0f;
    }
    for (int k = 0; k < 9; ++k) {
        out->matrixValue[k] = (float)(g.R(33) - 16) / 8.0f;
    }
    g.scopes.push_back({});
    g.Globals();
    for (int f = 1 + g.R(3); f > 0; --f) {
        g.Function();
    }
    g.Main(out);
    out->source = g.source;
    // The exact run and two nudged the opposite ways (so a value sitting on a discontinuity moves
    // off it in one of them): a value is compared only where both nudges keep it.
    int weird[3];
    double nudged[2][CgGenResults][4];
    GenEvaluate(g.a, out->inputs, out->vectorValue, out->matrixValue, 0.0, 1, out->expected,
                &weird[0]);
    GenEvaluate(g.a, out->inputs, out->vectorValue, out->matrixValue, 1e-5, seed | 1, nudged[0],
                &weird[1]);
    GenEvaluate(g.a, out->inputs, out->vectorValue, out->matrixValue, -1e-5, seed | 1, nudged[1],
                &weird[2]);
    for (int r = 0; r < CgGenResults; ++r) {
        for (int k = 0; k < 4; ++k) {
            const double v = out->expected[r][k];
            const double tolerance = 1e-4 * std::fmax(1.0, std::fabs(v));
            out->checked[r][k] = !weird[0] && !weird[1] && !weird[2] && std::isfinite(v) &&
                                 std::fabs(nudged[0][r][k] - v) <= tolerance &&
                                 std::fabs(nudged[1][r][k] - v) <= tolerance;
        }
    }
}
