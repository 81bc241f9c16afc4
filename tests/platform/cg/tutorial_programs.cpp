// The tutorial-style vertex programs: see tutorial_programs.h. The GL test holds the CPU math
// that each one must reproduce.
#include "tests/platform/cg/tutorial_programs.h"

#include <cstring>

const TutorialProgram TutorialPrograms[] = {
    {"transform", R"(
// Transform a vertex and pass its colour.
struct appin {
    float4 position : POSITION;
    float4 color : COLOR0;
};
struct vertout {
    float4 position : POSITION;
    float4 color : COLOR0;
};
vertout main(appin IN, uniform float4x4 ModelViewProj)
{
    vertout OUT;
    OUT.position = mul(ModelViewProj, IN.position);
    OUT.color = IN.color;
    return OUT;
}
)",
     "IN.position IN.color ModelViewProj"},

    {"diffuse", R"(
// Per-vertex diffuse lighting from a point light in object space.
struct vin {
    float4 position : POSITION;
    float3 normal : NORMAL;
};
struct vout {
    float4 hpos : POSITION;
    float4 color : COLOR;
};
vout main(vin IN,
          uniform float4x4 modelViewProj,
          uniform float3 globalAmbient,
          uniform float3 lightColor,
          uniform float3 lightPosition,
          uniform float3 Kd)
{
    vout OUT;
    OUT.hpos = mul(modelViewProj, IN.position);
    float3 P = IN.position.xyz;
    float3 N = normalize(IN.normal);
    float3 L = normalize(lightPosition - P);
    float diffuseLight = max(dot(N, L), 0);
    OUT.color.xyz = globalAmbient + Kd * lightColor * diffuseLight;
    OUT.color.w = 1;
    return OUT;
}
)",
     "IN.position IN.normal modelViewProj globalAmbient lightColor lightPosition Kd"},

    {"specular", R"(
// Blinn-Phong highlights, written with out parameters instead of an output struct.
void main(float4 position : POSITION,
          float3 normal : NORMAL,
          out float4 oPosition : POSITION,
          out float4 color : COLOR,
          uniform float4x4 modelViewProj,
          uniform float3 lightPosition,
          uniform float3 eyePosition,
          uniform float shininess)
{
    oPosition = mul(modelViewProj, position);
    float3 P = position.xyz;
    float3 N = normalize(normal);
    float3 L = normalize(lightPosition - P);
    float diffuseLight = max(dot(L, N), 0);
    float3 V = normalize(eyePosition - P);
    float3 H = normalize(L + V);
    float specularLight = pow(max(dot(N, H), 0), shininess);
    if (diffuseLight <= 0)
        specularLight = 0;
    color.xyz = 0.5 * diffuseLight + 0.5 * specularLight;
    color.w = 1;
}
)",
     "position normal modelViewProj lightPosition eyePosition shininess"},

    {"texcoords", R"(
// Texture coordinates passed on, scaled, and a second set reordered.
struct vout {
    float4 position : POSITION;
    float2 uv : TEXCOORD0;
    float3 tangent : TEXCOORD3;
};
vout main(float4 position : POSITION,
          float2 uv : TEXCOORD0,
          float4 extra : TEXCOORD3,
          uniform float4x4 mvp,
          uniform float2 uvScale)
{
    vout OUT;
    OUT.position = mul(mvp, position);
    OUT.uv = uv * uvScale + 0.25;
    OUT.tangent = extra.zyx;
    return OUT;
}
)",
     "position uv extra mvp uvScale"},

    {"twist", R"(
// Twists the xy plane by an angle that grows with the distance from the centre.
float2 rotate(float2 v, float angle)
{
    float s = sin(angle);
    float c = cos(angle);
    return float2(c * v.x - s * v.y, s * v.x + c * v.y);
}

void main(float2 position : POSITION,
          float4 color : COLOR,
          out float4 oPosition : POSITION,
          out float4 oColor : COLOR,
          uniform float twisting,
          uniform float4x4 modelViewProj)
{
    float angle = twisting * length(position);
    oPosition = mul(modelViewProj, float4(rotate(position, angle), 0, 1));
    oColor = color;
}
)",
     "position color twisting modelViewProj"},

    {"wave", R"(
// A travelling wave on a grid, with file-scope uniforms and constants.
uniform float4x4 modelViewProj;
uniform float time;
static const float Amplitude = 0.3;
static const float2 Frequency = float2(2.0, 1.5);

float height(float2 p)
{
    return Amplitude * sin(Frequency.x * p.x + time) * cos(Frequency.y * p.y - 0.5 * time);
}

struct vout {
    float4 position : POSITION;
    float4 color : COLOR0;
};

vout main(float4 position : POSITION)
{
    vout OUT;
    float4 p = position;
    p.z += height(p.xy);
    OUT.position = mul(modelViewProj, p);
    OUT.color = float4(0.5 + p.z, 0.5, 0.5 - p.z, 1);
    return OUT;
}
)",
     "modelViewProj time position"},

    {"outstruct", R"(
// The outputs as an out parameter of struct type; colour swizzles.
struct vout {
    float4 position : POSITION;
    float4 color : COLOR0;
    float4 secondary : COLOR1;
};
void main(in float4 position : POSITION,
          in float4 color : COLOR0,
          out vout OUT,
          uniform float4x4 modelViewProj)
{
    OUT.position = mul(modelViewProj, position);
    OUT.color = color.bgra;
    OUT.secondary = float4(color.rgb * 0.5, 1);
}
)",
     "position color modelViewProj"},

    {"control", R"(
// Loops, branches and parameters passed out and in-out.
float3 accumulate(float3 p, int steps, out float total)
{
    total = 0;
    for (int i = 0; i < steps; i++) {
        total += 0.5 * i;
        if (i == 2)
            continue;
        p.x += 0.1;
    }
    int k = 3;
    while (k > 0) {
        p.y -= 0.05;
        k--;
    }
    do {
        p.z *= 0.5;
    } while (abs(p.z) > 0.2);
    return p;
}

void limit(inout float3 v, float bound)
{
    v = clamp(v, -bound, bound);
}

void main(float4 position : POSITION,
          out float4 oPosition : POSITION,
          out float4 info : TEXCOORD0,
          uniform float4x4 modelViewProj)
{
    float total;
    float3 q = accumulate(position.xyz, 4, total);
    limit(q, 2.0);
    oPosition = mul(modelViewProj, float4(q, 1));
    info = float4(total, q.x > 0 ? 1 : -1, (q.y < 0 && q.z >= 0) || q.x == 0 ? 2 : 3, 0);
}
)",
     "position modelViewProj"},

    {"matrices", R"(
// Row-major matrices: constructors, rows, mul on either side, a product, a non-square one.
uniform float3x3 rotation;
uniform float3x4 shear;

void main(float4 position : POSITION,
          out float4 oPosition : POSITION,
          out float4 a : TEXCOORD0,
          out float4 b : TEXCOORD1,
          out float4 c : TEXCOORD2,
          out float4 d : TEXCOORD3)
{
    float4x4 offset = float4x4(1, 0, 0, 0.5,
                               0, 1, 0, -0.25,
                               0, 0, 1, 0,
                               0, 0, 0, 1);
    oPosition = mul(offset, position);
    a = float4(mul(rotation, position.xyz), rotation[1].z);
    b = float4(mul(position.xyz, rotation), rotation[2][0]);
    c = float4(mul(shear, position), shear[0].w);
    float3x3 twice = mul(rotation, rotation);
    d = float4(mul(twice, position.xyz), twice[0][1]);
}
)",
     "rotation shear position"},

    {"intrinsics", R"(
// The standard library on one pair of values.
void main(float4 position : POSITION,
          float4 values : TEXCOORD1,
          out float4 oPosition : POSITION,
          out float4 r0 : TEXCOORD0,
          out float4 r1 : TEXCOORD1,
          out float4 r2 : TEXCOORD2,
          out float4 r3 : TEXCOORD3,
          out float4 r4 : TEXCOORD4,
          out float4 r5 : TEXCOORD5)
{
    float x = values.x;
    float y = values.y;
    oPosition = position;
    r0 = float4(lerp(x, y, 0.25), clamp(x, -0.5, 0.5), saturate(x), step(0.1, x));
    r1 = float4(fmod(x, 0.75), frac(x), floor(x), abs(x));
    r2 = float4(min(x, y), max(x, y), rsqrt(y), pow(y, 1.5));
    r3 = float4(exp(x * 0.5), log(y), atan2(x, y), radians(x * 90));
    float3 cr = cross(values.xyz, float3(0.2, -0.3, 0.9));
    r4 = float4(cr, length(values.xyz));
    r5 = float4(dot(values.xyz, cr), sqrt(y), sin(x), cos(x));
}
)",
     "position values"},

    {"types", R"(
// int, bool and half values, compound assignment, promotion, casts and a uniform struct.
struct Light {
    float3 color;
    float intensity;
};
uniform Light light;
uniform int count;
uniform bool enabled;

half3 scaleColor(half3 c, int n)
{
    return c * n;
}

void main(float4 position : POSITION,
          float4 color : COLOR0,
          out float4 oPosition : POSITION,
          out float4 oColor : COLOR0,
          out float4 t0 : TEXCOORD0,
          out float4 t1 : TEXCOORD1)
{
    oPosition = position;
    int n = count;
    n += 2;
    n++;
    --n;
    float4 c = 0.5;
    c.zx = color.xy;
    c *= 2;
    c /= 2.0;
    c -= 0.25;
    oColor = saturate(c);
    float f = 7;
    f %= 3;
    int m = 7 % 3;
    bool flag = enabled && n > 2;
    t0 = float4(scaleColor(light.color, 2) * light.intensity, flag ? 1.0 : 0.0);
    float3 v = (float3)position;
    float s = position.x;
    t1 = float4(s.xxx * v + f, (float)m + (int)2.7);
}
)",
     "light.color light.intensity count enabled position color"},

    {"nested", R"(
// A static global with an initializer, helpers calling helpers, a result bound by semantic.
static float3 offset = float3(0.1, 0.2, 0.3);

float square(float x)
{
    return x * x;
}

float sumOfSquares(float3 v)
{
    return square(v.x) + square(v.y) + square(v.z);
}

float4 main(float4 position : POSITION, uniform float4x4 modelViewProj) : POSITION
{
    float3 p = position.xyz + offset;
    {
        float p2 = sumOfSquares(p);
        float scale = p2 > 1.0 ? 1.0 / sqrt(p2) : (p2 > 0.25 ? 1.0 : 2.0);
        p *= scale;
    }
    return mul(modelViewProj, float4(p, 1));
}
)",
     "position modelViewProj"},
};

const int TutorialProgramCount = (int)(sizeof TutorialPrograms / sizeof TutorialPrograms[0]);

const TutorialProgram* FindTutorialProgram(const char* name) {
    for (int i = 0; i < TutorialProgramCount; ++i) {
        if (strcmp(TutorialPrograms[i].name, name) == 0) {
            return &TutorialPrograms[i];
        }
    }
    return nullptr;
}
