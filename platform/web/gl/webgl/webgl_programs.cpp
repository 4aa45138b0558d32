#include "platform/web/gl/webgl/webgl_programs.h"

#include <cstdio>
#include <map>
#include <string>

#include "platform/web/gl/webgl/webgl_api.h"

namespace orvgl {

namespace {

const char kVertexShader[] = R"(
attribute vec3 aPosition;
attribute vec4 aColour;
uniform mat4 uModelview;
uniform mat4 uProjection;
varying vec4 vColour;
#ifdef FOG
varying float vEyeDepth;
#endif
#ifdef LIT
attribute vec3 aNormal;
uniform mat3 uNormalMatrix;
uniform vec4 uLight;          // light 0's position (w = 0: a direction) in eye space
uniform float uLight0;        // 1 when GL_LIGHT0 is on
uniform float uColourMaterial;
#endif
#ifdef TEXTURED
attribute vec2 aTexCoord;
varying vec2 vTexCoord;
#endif
#ifdef WIDE
attribute vec3 aOther;
attribute float aSide;
uniform vec2 uViewportSize;
uniform float uHalfWidth;
#ifdef SMOOTH_EDGES
varying float vAcross;
#endif
#endif

void main() {
    vec4 eye = uModelview * vec4(aPosition, 1.0);
    vec4 clip = uProjection * eye;
#ifdef WIDE
    // Across the segment as it lies on the screen, in pixels, then back to clip space.
    vec4 otherClip = uProjection * (uModelview * vec4(aOther, 1.0));
    // GL clips the segment before widening it: an end behind the near plane moves onto
    // it, and a segment wholly behind draws nothing.
    float inFront = clip.z + clip.w;
    float otherInFront = otherClip.z + otherClip.w;
    if (inFront < 0.0 && otherInFront < 0.0) {
        gl_Position = vec4(0.0, 0.0, -2.0, 1.0);
        return;
    }
    if (inFront < 0.0) clip = mix(clip, otherClip, inFront / (inFront - otherInFront));
    else if (otherInFront < 0.0) otherClip = mix(clip, otherClip, inFront / (inFront - otherInFront));
    vec2 here = clip.xy / clip.w * 0.5 * uViewportSize;
    vec2 there = otherClip.xy / otherClip.w * 0.5 * uViewportSize;
    vec2 along = there - here;
    float len = length(along);
    vec2 across = len > 0.0 ? vec2(-along.y, along.x) / len : vec2(0.0);
    float halfWidth = uHalfWidth;
#ifdef SMOOTH_EDGES
    halfWidth += 0.5;
    vAcross = aSide * halfWidth;
#endif
    clip.xy += across * aSide * halfWidth * 2.0 / uViewportSize * clip.w;
#endif
    gl_Position = clip;
#ifdef LIT
    // GL's defaults but for the light's place: global ambient 0.2, light 0 diffuse 1 and
    // ambient 0, no specular; the material follows the colour with GL_COLOR_MATERIAL.
    vec3 n = uNormalMatrix * aNormal;
    vec3 toLight = uLight.w == 0.0 ? uLight.xyz : uLight.xyz / uLight.w - eye.xyz / eye.w;
    toLight = normalize(toLight);
    vec4 ambient = uColourMaterial > 0.5 ? aColour : vec4(0.2, 0.2, 0.2, 1.0);
    vec4 diffuse = uColourMaterial > 0.5 ? aColour : vec4(0.8, 0.8, 0.8, 1.0);
    vec3 lit = 0.2 * ambient.rgb + uLight0 * max(dot(n, toLight), 0.0) * diffuse.rgb;
    vColour = vec4(clamp(lit, 0.0, 1.0), clamp(diffuse.a, 0.0, 1.0));
#else
    vColour = clamp(aColour, 0.0, 1.0);
#endif
#ifdef TEXTURED
    vTexCoord = aTexCoord;
#endif
#ifdef FOG
    vEyeDepth = abs(eye.z / eye.w);
#endif
}
)";

const char kFragmentShader[] = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
varying vec4 vColour;
#ifdef TEXTURED
uniform sampler2D uTexture;
varying vec2 vTexCoord;
#endif
#ifdef FOG
uniform vec4 uFogColour;
uniform vec3 uFog;            // density, start, end
varying float vEyeDepth;
#endif
#ifdef SMOOTH_EDGES
uniform float uHalfWidth;
varying float vAcross;
#endif

void main() {
    vec4 c = vColour;
#ifdef TEXTURED
#ifdef MODULATE
    c *= texture2D(uTexture, vTexCoord);
#else
    c = texture2D(uTexture, vTexCoord);
#endif
#endif
#ifdef FOG
#if FOG == 1
    float f = (uFog.z - vEyeDepth) / (uFog.z - uFog.y);
#elif FOG == 2
    float f = exp(-uFog.x * vEyeDepth);
#else
    float d = uFog.x * vEyeDepth;
    float f = exp(-d * d);
#endif
    c.rgb = mix(uFogColour.rgb, c.rgb, clamp(f, 0.0, 1.0));
#endif
#ifdef SMOOTH_EDGES
    c.a *= clamp(uHalfWidth + 0.5 - abs(vAcross), 0.0, 1.0);
#endif
    gl_FragColor = c;
}
)";

const char kPictureVertexShader[] = R"(
attribute vec3 aPosition;
attribute vec2 aTexCoord;
varying vec2 vTexCoord;
void main() {
    vTexCoord = aTexCoord;
    gl_Position = vec4(aPosition, 1.0);
}
)";

const char kPictureFragmentShader[] = R"(
precision mediump float;
uniform sampler2D uTexture;
varying vec2 vTexCoord;
void main() { gl_FragColor = texture2D(uTexture, vTexCoord); }
)";

std::map<unsigned, Program> g_programs;
PictureProgram g_picture;
bool g_pictureBuilt = false;

GLuint Compile(GLenum type, const std::string& source) {
    const GLuint shader = emscripten_glCreateShader(type);
    const GLchar* text = source.c_str();
    emscripten_glShaderSource(shader, 1, &text, nullptr);
    emscripten_glCompileShader(shader);
    GLint ok = 0;
    emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048];
        emscripten_glGetShaderInfoLog(shader, sizeof(log), nullptr, log);
        std::fprintf(stderr, "gl: shader failed:\n%s\n%s\n", log, source.c_str());
    }
    return shader;
}

GLuint Link(const std::string& vertex, const std::string& fragment) {
    const GLuint program = emscripten_glCreateProgram();
    const GLuint vs = Compile(GL_VERTEX_SHADER, vertex);
    const GLuint fs = Compile(GL_FRAGMENT_SHADER, fragment);
    emscripten_glAttachShader(program, vs);
    emscripten_glAttachShader(program, fs);
    emscripten_glBindAttribLocation(program, kSlotPosition, "aPosition");
    emscripten_glBindAttribLocation(program, kSlotColour, "aColour");
    emscripten_glBindAttribLocation(program, kSlotNormal, "aNormal");
    emscripten_glBindAttribLocation(program, kSlotTexCoord, "aTexCoord");
    emscripten_glBindAttribLocation(program, kSlotOther, "aOther");
    emscripten_glBindAttribLocation(program, kSlotSide, "aSide");
    emscripten_glLinkProgram(program);
    emscripten_glDeleteShader(vs);
    emscripten_glDeleteShader(fs);
    GLint ok = 0;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2048];
        emscripten_glGetProgramInfoLog(program, sizeof(log), nullptr, log);
        std::fprintf(stderr, "gl: program failed to link: %s\n", log);
        emscripten_glDeleteProgram(program);
        return 0;
    }
    return program;
}

std::string Defines(unsigned key) {
    std::string d;
    if (key & kLit) d += "#define LIT\n";
    if (key & kTextured) d += "#define TEXTURED\n";
    if (key & kModulate) d += "#define MODULATE\n";
    if (key & kWide) d += "#define WIDE\n";
    if (key & kSmoothEdges) d += "#define SMOOTH_EDGES\n";
    const unsigned fog = (key >> kFogShift) & 3u;
    if (fog != 0) d += "#define FOG " + std::to_string(fog) + "\n";
    return d;
}

}  // namespace

const Program& ProgramFor(unsigned key) {
    auto found = g_programs.find(key);
    if (found != g_programs.end()) return found->second;
    Program& p = g_programs[key];
    const std::string defines = Defines(key);
    p.id = Link(defines + kVertexShader, defines + kFragmentShader);
    if (p.id == 0) return p;
    const GLuint id = p.id;
    p.modelview = emscripten_glGetUniformLocation(id, "uModelview");
    p.projection = emscripten_glGetUniformLocation(id, "uProjection");
    p.normalMatrix = emscripten_glGetUniformLocation(id, "uNormalMatrix");
    p.light = emscripten_glGetUniformLocation(id, "uLight");
    p.light0 = emscripten_glGetUniformLocation(id, "uLight0");
    p.colourMaterial = emscripten_glGetUniformLocation(id, "uColourMaterial");
    p.texture = emscripten_glGetUniformLocation(id, "uTexture");
    p.fogColour = emscripten_glGetUniformLocation(id, "uFogColour");
    p.fog = emscripten_glGetUniformLocation(id, "uFog");
    p.viewportSize = emscripten_glGetUniformLocation(id, "uViewportSize");
    p.halfWidth = emscripten_glGetUniformLocation(id, "uHalfWidth");
    return p;
}

const PictureProgram& PictureProgramOnce() {
    if (!g_pictureBuilt) {
        g_pictureBuilt = true;
        g_picture.id = Link(kPictureVertexShader, kPictureFragmentShader);
        if (g_picture.id != 0) g_picture.texture = emscripten_glGetUniformLocation(g_picture.id, "uTexture");
    }
    return g_picture;
}

void ForgetPrograms() {
    g_programs.clear();
    g_picture = PictureProgram();
    g_pictureBuilt = false;
}

}  // namespace orvgl
