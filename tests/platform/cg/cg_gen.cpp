// Expressions of the program generator (see cg_gen_builder.h): each is built with the Cg text
// and tree node together, of exactly the type asked for. Ints are divided only by non-zero
// literals, and the arguments of intrinsics are kept inside their domains (sqrt(abs(e) + 0.5),
// acos(sin(e)), clamp and smoothstep with ordered literal edges).
#include <cstdio>

#include "tests/platform/cg/cg_gen_builder.h"

GenType Ty(int base, int cols, int rows, int matrix) {
    GenType t = {base, rows, cols, matrix, -1};
    return t;
}

bool Same(const GenType& x, const GenType& y) {
    return x.base == y.base && x.rows == y.rows && x.cols == y.cols && x.matrix == y.matrix &&
           (x.base != GenStruct || x.st == y.st);
}

unsigned Gen::Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

int Gen::R(int n) {
    return (int)(Next() % (unsigned)n);
}

bool Gen::P(int percent) {
    return R(100) < percent;
}

int Gen::Node(int kind, const GenType& t, const std::string& text) {
    GenNode n{};
    n.kind = kind;
    n.t = t;
    n.text = text;
    a.nodes.push_back(n);
    return (int)a.nodes.size() - 1;
}

int Gen::Kid(int node, int kid) {
    a.nodes[node].kids.push_back(kid);
    return node;
}

const std::string& Gen::Text(int node) {
    return a.nodes[node].text;
}

std::string Gen::TypeText(const GenType& t) {
    if (t.base == GenStruct) {
        return a.structs[t.st].name;
    }
    static const char* const Floats[] = {"float", "half", "fixed", "float"};
    std::string s = t.base == GenBool ? "bool" : t.base == GenInt ? "int" : Floats[R(4)];
    if (t.matrix) {
        return s + std::to_string(t.rows) + "x" + std::to_string(t.cols);
    }
    return t.cols > 1 ? s + std::to_string(t.cols) : s;
}

GenType Gen::RandomType(bool structs) {
    const int k = R(100);
    if (structs && !a.structs.empty() && k < 8) {
        GenType t = Ty(GenStruct);
        t.st = R((int)a.structs.size());
        return t;
    }
    if (k < 20) {
        static const int Shapes[][2] = {{2, 2}, {3, 3}, {4, 4}, {2, 3}, {3, 2}, {4, 3}};
        const int s = R(6);
        return Ty(GenFloat, Shapes[s][1], Shapes[s][0], 1);
    }
    return Ty(k < 70 ? GenFloat : GenInt, 1 + R(4));
}

// ---- Names and scopes
int Gen::Lookup(const std::string& name) {
    for (int s = (int)scopes.size() - 1; s >= 0; --s) {
        for (const int v : scopes[s]) {
            if (a.vars[v].name == name) {
                return v;
            }
        }
    }
    return -1;
}

bool Gen::FreeInScope(const std::string& name) {
    for (const int v : scopes.back()) {
        if (a.vars[v].name == name) {
            return false;
        }
    }
    for (const GenStructDef& s : a.structs) {
        if (s.name == name) {
            return false;
        }
    }
    return true;
}

int Gen::Declare(const std::string& name, const GenType& t, int canWrite, int isReady) {
    a.vars.push_back(GenVar{name, t});
    writable.push_back(canWrite);
    ready.push_back(isReady);
    scopes.back().push_back((int)a.vars.size() - 1);
    return (int)a.vars.size() - 1;
}

// Visible variables of a type (or any type when t is null) that may be read or written.
std::vector<int> Gen::Visible(const GenType* t, bool write) {
    std::vector<int> found;
    for (const std::vector<int>& scope : scopes) {
        for (const int v : scope) {
            const int canWrite = writable[v] == 1 || (writable[v] == 2 && !inHelper);
            if (Lookup(a.vars[v].name) == v && (!t || Same(a.vars[v].t, *t)) && ready[v] &&
                (!write || canWrite)) {
                found.push_back(v);
            }
        }
    }
    return found;
}

int Gen::VarNode(int v) {
    const int n = Node(KVar, a.vars[v].t, a.vars[v].name);
    a.nodes[n].var = v;
    return n;
}

// ---- Expressions
int Gen::Literal(int base) {
    const double value = base == GenInt ? R(19) - 9 : (R(41) - 20) / 4.0;
    char text[32];
    snprintf(text, sizeof text, base == GenInt ? "%.0f" : "%.2f", value);
    const std::string s = value < 0 ? "(" + std::string(text) + ")" : text;
    const int n = Node(KLit, Ty(base), s);
    a.nodes[n].value = value;
    return n;
}

int Gen::NonZeroInt() {
    const int n = Literal(GenInt);
    if (a.nodes[n].value == 0) {
        a.nodes[n].value = 3;
        a.nodes[n].text = "3";
    }
    return n;
}

// type(args), the arguments' components adding up to the type's (ints and floats mixed).
int Gen::Construct(const GenType& t, int depth) {
    const int n = Node(KCons, t, "");
    std::string text = TypeText(t) + "(";
    const int total = t.rows * t.cols;
    for (int done = 0; done < total;) {
        const int size = t.matrix ? 1 : 1 + R(total - done);
        const GenType piece = Ty(t.base == GenInt || P(20) ? GenInt : GenFloat, size);
        const int kid = depth > 0 ? Expr(piece, t.matrix ? 0 : depth - 1) : Leaf(piece, 0);
        text += (done ? ", " : "") + Text(kid);
        Kid(n, kid);
        done += size;
    }
    a.nodes[n].text = text + ")";
    return n;
}

int Gen::Swizzle(int source, int count) {
    const GenType from = a.nodes[source].t;
    const char* set = P(50) ? "xyzw" : "rgba";
    const int n = Node(KSwiz, Ty(from.base, count), "");
    std::string letters;
    for (int i = 0; i < count; ++i) {
        a.nodes[n].comps[i] = R(from.cols);
        letters += set[a.nodes[n].comps[i]];
    }
    a.nodes[n].n = count;
    a.nodes[n].text = "(" + Text(source) + ")." + letters;
    return Kid(n, source);
}

int Gen::Index(int source, int index) {
    const GenType from = a.nodes[source].t;
    const GenType t = from.matrix ? Ty(GenFloat, from.cols) : Ty(from.base);
    const int n = Node(KIndex, t, "(" + Text(source) + ")[" + std::to_string(index) + "]");
    a.nodes[n].value = index;
    return Kid(n, source);
}

int Gen::Member(int source, int member) {
    const GenStructDef& s = a.structs[a.nodes[source].t.st];
    const int n = Node(KMember, s.types[member], Text(source) + "." + s.members[member]);
    a.nodes[n].op = member;
    return Kid(n, source);
}

int Gen::Leaf(const GenType& t, int depth) {
    if (!constOnly) {
        std::vector<int> same = Visible(&t, false);
        if (!same.empty() && P(60)) {
            return VarNode(same[R((int)same.size())]);
        }
        if (!t.matrix && t.base != GenStruct && P(40)) {
            std::vector<int> vectors;
            for (const int v : Visible(nullptr, false)) {
                const GenType vt = a.vars[v].t;
                if (!vt.matrix && vt.base == t.base && vt.cols > 1) {
                    vectors.push_back(v);
                } else if (vt.base == GenStruct) {
                    const GenStructDef& s = a.structs[vt.st];
                    for (size_t m = 0; m < s.types.size(); ++m) {
                        if (Same(s.types[m], t)) {
                            return Member(VarNode(v), (int)m);
                        }
                    }
                }
            }
            if (!vectors.empty()) {
                const int v = VarNode(vectors[R((int)vectors.size())]);
                return t.cols == 1 && P(50) ? Index(v, R(a.vars[a.nodes[v].var].t.cols))
                                            : Swizzle(v, t.cols);
            }
        }
    }
    return t.cols == 1 && !t.matrix ? Literal(t.base) : Construct(t, depth > 1 ? 1 : 0);
}

int Gen::Intrinsic(int op, const GenType& t, std::vector<int> args) {
    static const char* const Names[IntrinsicCount] = {
        "abs",        "acos",    "asin",     "atan",    "atan2", "ceil",     "clamp", "cos",
        "cross",      "degrees", "distance", "dot",     "exp",   "exp2",     "floor", "fmod",
        "frac",       "length",  "lerp",     "log",     "log2",  "max",      "min",   "mul",
        "normalize",  "pow",     "radians",  "reflect", "rsqrt", "saturate", "sign",  "sin",
        "smoothstep", "sqrt",    "step",     "tan"};
    std::string text = std::string(Names[op]) + "(";
    const int n = Node(KIntr, t, "");
    a.nodes[n].op = op;
    for (size_t i = 0; i < args.size(); ++i) {
        text += (i ? ", " : "") + Text(args[i]);
        Kid(n, args[i]);
    }
    a.nodes[n].text = text + ")";
    return n;
}

int Gen::Binary(int op, const GenType& t, int x, int y) {
    const char ops[2] = {(char)op, 0};
    const int n = Node(KBin, t, "(" + Text(x) + " " + ops + " " + Text(y) + ")");
    a.nodes[n].op = op;
    Kid(n, x);
    return Kid(n, y);
}

// An operand of a float operation of shape t: t itself, its int form, or a scalar.
int Gen::Operand(const GenType& t, int depth, bool full) {
    GenType o = t;
    if (!full && !t.matrix && t.cols > 1 && P(25)) {
        o = Ty(t.base);
    }
    if (t.base == GenFloat && !t.matrix && P(25)) {
        o.base = GenInt;
    }
    return Expr(o, depth);
}

// A float argument kept inside a domain: sin(e) for [-1, 1], abs(e) + 0.5 for > 0.
int Gen::Bounded(const GenType& t, int depth) {
    return Intrinsic(ISin, t, {Expr(t, depth)});
}

int Gen::Positive(const GenType& t, int depth) {
    const int abs = Intrinsic(IAbs, t, {Expr(t, depth)});
    const int half = Node(KLit, Ty(GenFloat), "0.5");
    a.nodes[half].value = 0.5;
    return Binary('+', t, abs, half);
}

int Gen::LiteralPair(const GenType& t, int* hi) {
    const int lo = Literal(GenFloat);
    *hi = Node(KLit, Ty(GenFloat), "");
    a.nodes[*hi].value = a.nodes[lo].value + 0.25 * (1 + R(12));
    char text[32];
    snprintf(text, sizeof text, "%.2f", a.nodes[*hi].value);
    a.nodes[*hi].text = a.nodes[*hi].value < 0 ? "(" + std::string(text) + ")" : text;
    (void)t;
    return lo;
}

int Gen::FloatFunction(const GenType& t, int depth) {
    const int d = depth - 1;
    const GenType scalar = Ty(GenFloat);
    if (t.cols == 1 && P(25)) {
        const GenType v = Ty(GenFloat, 2 + R(3));
        const int which = R(3);
        if (which == 0) {
            return Intrinsic(IDot, t, {Operand(v, d, true), Operand(v, d, true)});
        }
        if (which == 1) {
            return Intrinsic(ILength, t, {Operand(v, d, true)});
        }
        return Intrinsic(IDistance, t, {Operand(v, d, true), Operand(v, d, true)});
    }
    if (t.cols == 3 && P(15)) {
        return Intrinsic(ICross, t, {Operand(t, d, true), Operand(t, d, true)});
    }
    if (t.cols > 1 && P(25)) {  // mul(M, v) or mul(v, M)
        const int k = 2 + R(3);
        if (P(50)) {
            return Intrinsic(
                IMul, t, {Expr(Ty(GenFloat, k, t.cols, 1), d), Operand(Ty(GenFloat, k), d, true)});
        }
        return Intrinsic(IMul, t,
                         {Operand(Ty(GenFloat, k), d, true), Expr(Ty(GenFloat, t.cols, k, 1), d)});
    }
    const int op = R(IntrinsicCount);
    switch (op) {
        case IAcos:
        case IAsin:
        case ITan:
            return Intrinsic(op, t, {Bounded(t, d)});
        case ILog:
        case ILog2:
        case ISqrt:
        case IRsqrt:
            return Intrinsic(op, t, {Positive(t, d)});
        case IExp:
        case IExp2: {
            const int two = Node(KLit, Ty(GenInt), "2");
            a.nodes[two].value = 2;
            return Intrinsic(op, t, {Binary('*', t, Bounded(t, d), two)});
        }
        case IPow:
            return Intrinsic(op, t, {Positive(t, d), Bounded(P(50) ? t : scalar, d)});
        case IAtan2:
        case IFmod:
        case IMax:
        case IMin:
        case IStep:
        case IReflect: {
            const int x = Operand(t, d, true);
            return Intrinsic(op, t,
                             P(50) ? std::vector<int>{x, Operand(t, d, false)}
                                   : std::vector<int>{Operand(t, d, false), x});
        }
        case IClamp:
        case ISmoothstep: {
            int hi = 0;
            const int lo = LiteralPair(t, &hi);
            const int x = Operand(t, d, true);
            return op == IClamp ? Intrinsic(op, t, {x, lo, hi}) : Intrinsic(op, t, {lo, hi, x});
        }
        case ILerp:
            return Intrinsic(op, t,
                             {Operand(t, d, true), Operand(t, d, false), Operand(t, d, false)});
        case IDot:
        case ILength:
        case IDistance:
        case ICross:
        case IMul:
            return Intrinsic(IFrac, t, {Operand(t, d, true)});
        default:
            return Intrinsic(op, t, {Operand(t, d, true)});
    }
}

int Gen::Cond(int depth) {
    const int k = R(10);
    if (depth > 0 && k < 2) {
        const int x = Cond(depth - 1), y = Cond(depth - 1);
        const int op = P(50) ? '&' : '|';
        const int n = Node(KLogic, Ty(GenBool),
                           "(" + Text(x) + (op == '&' ? " && " : " || ") + Text(y) + ")");
        a.nodes[n].op = op;
        Kid(n, x);
        return Kid(n, y);
    }
    if (depth > 0 && k == 2) {
        const int x = Cond(depth - 1);
        return Kid(Node(KNot, Ty(GenBool), "(!" + Text(x) + ")"), x);
    }
    static const char* const Ops[] = {"<", ">", "<=", ">=", "==", "!="};
    static const char Codes[] = "<>lgen";
    const int which = R(6);
    const int x = Expr(Ty(P(60) ? GenFloat : GenInt), depth - 1);
    const int y = Expr(Ty(P(60) ? GenFloat : GenInt), depth - 1);
    const int n = Node(KCmp, Ty(GenBool), "(" + Text(x) + " " + Ops[which] + " " + Text(y) + ")");
    a.nodes[n].op = Codes[which];
    Kid(n, x);
    return Kid(n, y);
}

std::vector<int> Gen::Callable(const GenType& t) {
    std::vector<int> found;
    for (int f = 0; f < fnLimit && !constOnly; ++f) {
        // A struct argument is passed as a variable, so one must be at hand.
        bool arguments = true;
        for (const int p : a.fns[f].params) {
            arguments &= a.vars[p].t.base != GenStruct || !Visible(&a.vars[p].t, false).empty();
        }
        if (Same(a.fns[f].ret, t) && Lookup(a.fns[f].name) < 0 && arguments) {
            found.push_back(f);
        }
    }
    return found;
}

int Gen::Call(int f, int depth) {
    const GenFn& fn = a.fns[f];
    const int n = Node(KCall, fn.ret, "");
    a.nodes[n].fn = f;
    std::string text = fn.name + "(";
    for (size_t i = 0; i < fn.params.size(); ++i) {
        const GenType pt = a.vars[a.fns[f].params[i]].t;
        std::vector<int> vars = Visible(&pt, false);
        const int arg = pt.base == GenStruct ? VarNode(vars[R((int)vars.size())])
                                             : Operand(pt, depth - 1, true);
        text += (i ? ", " : "") + Text(arg);
        Kid(n, arg);
    }
    a.nodes[n].text = text + ")";
    return n;
}

int Gen::StructValue(const GenType& t, int depth) {
    std::vector<int> fns = Callable(t);
    std::vector<int> vars = Visible(&t, false);
    if (!fns.empty() && (vars.empty() || P(40))) {
        return Call(fns[R((int)fns.size())], depth);
    }
    return vars.empty() ? -1 : VarNode(vars[R((int)vars.size())]);
}

int Gen::Expr(const GenType& t, int depth) {
    if (t.base == GenBool) {
        return Cond(depth);
    }
    if (t.base == GenStruct) {
        return StructValue(t, depth);
    }
    if (depth <= 0 || P(20)) {
        return Leaf(t, depth);
    }
    const int d = depth - 1;
    switch (R(12)) {
        case 0:
        case 1:
        case 2: {  // arithmetic, ints and floats mixed
            static const char Ops[] = "+-*/%";
            const int op = Ops[R(t.matrix ? 4 : 5)];
            if (t.base == GenInt && (op == '/' || op == '%')) {
                // Mostly a literal divisor; an expression may be 0, which only has to load.
                return Binary(op, t, Expr(t, d), P(80) ? NonZeroInt() : Expr(Ty(GenInt), d));
            }
            const int x = Operand(t, d, true);
            int y = Operand(t, d, false);
            GenType result = t;
            if (a.nodes[x].t.base == GenInt && a.nodes[y].t.base == GenInt) {
                result.base = GenInt;  // ints stay ints (and divide as ints); the user converts
                y = op == '/' || op == '%' ? NonZeroInt() : y;
            }
            return P(50) || a.nodes[y].kind == KLit ? Binary(op, result, x, y)
                                                    : Binary(op, result, y, x);
        }
        case 3: {
            const int x = Expr(t, d);
            // Typed as its operand: an int expression stays int where a float was asked for.
            return Kid(Node(KNeg, a.nodes[x].t, "(-" + Text(x) + ")"), x);
        }
        case 4:
        case 5:
            if (t.base == GenFloat && !t.matrix) {
                return FloatFunction(t, depth);
            }
            if (t.matrix) {
                const int k = 2 + R(3);
                return Intrinsic(
                    IMul, t,
                    {Expr(Ty(GenFloat, k, t.rows, 1), d), Expr(Ty(GenFloat, t.cols, k, 1), d)});
            }
            return Construct(t, d);
        case 6: {
            const int cond = Cond(d);
            const int x = Expr(t, d), y = Operand(t, d, true);
            GenType choices = t;  // as the checker types it: int only when both choices are
            choices.base =
                a.nodes[x].t.base == GenInt && a.nodes[y].t.base == GenInt ? GenInt : t.base;
            const int n =
                Node(KTern, choices, "(" + Text(cond) + " ? " + Text(x) + " : " + Text(y) + ")");
            Kid(n, cond);
            Kid(n, x);
            return Kid(n, y);
        }
        case 7: {
            if (t.matrix) {
                return Construct(t, d);
            }
            GenType from = t;
            from.base = t.base == GenInt ? GenFloat : GenInt;
            if (t.cols > 1 && t.cols < 4 && P(40)) {
                from = Ty(from.base, t.cols + 1 + R(4 - t.cols));
            }
            const int x = Expr(from, d);
            return Kid(Node(KCast, t, "((" + TypeText(t) + ")" + Text(x) + ")"), x);
        }
        case 8: {
            std::vector<int> fns = Callable(t);
            if (!fns.empty()) {
                return Call(fns[R((int)fns.size())], depth);
            }
            return Construct(t, d);
        }
        case 9:
            if (!t.matrix && t.cols < 4) {
                const int source = Expr(Ty(t.base, t.cols + 1 + R(4 - t.cols)), d);
                return t.cols == 1 && P(50) && !constOnly ? Index(source, R(a.nodes[source].t.cols))
                                                          : Swizzle(source, t.cols);
            }
            return Construct(t, d);
        case 10:
            for (size_t s = 0; s < a.structs.size() && !constOnly; ++s) {
                for (size_t m = 0; m < a.structs[s].types.size(); ++m) {
                    GenType st = Ty(GenStruct);
                    st.st = (int)s;
                    if (Same(a.structs[s].types[m], t)) {
                        const int v = StructValue(st, d);
                        if (v >= 0) {
                            return Member(v, (int)m);
                        }
                    }
                }
            }
            return Leaf(t, depth);
        default:
            return Construct(t, d);
    }
}
