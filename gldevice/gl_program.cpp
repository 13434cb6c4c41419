// The shaders and their uniforms. The vertex shader lights each vertex as
// Direct3D's fixed function does (Gouraud): in view space, the emissive
// colour, plus the material's ambient times the ambient light, plus for each
// directional light its colour times the diffuse colour times N.L, and, with
// specular highlights on, its colour times the specular colour times
// (N.H)^power where N.L > 0, H halfway between the light and the eye (a local
// viewer). A material of power 0 has no highlight at all, as Wine's Direct3D
// shows it (measured: the renderer's material has power 0 until it first
// draws a lit node, and wireframes drawn before that show none). Normals are transformed by the inverse transpose of world x view
// and normalised, as Direct3D of this generation always did. Unlit vertices
// (D3DDP_DONOTLIGHT) of a layout without colours are white.
#include "gldevice/gl_program.h"

#include <GLES3/gl3.h>

#include <algorithm>
#include <cstddef>
#include <initializer_list>


namespace {

// D3DVERTEX: position, normal, texture coordinates; 32 bytes.
constexpr int POSITION_ATTRIBUTE = 0;
constexpr int NORMAL_ATTRIBUTE = 1;
constexpr int NORMAL_OFFSET = 3 * sizeof(float);

// The shaders' first lines: the language, and the device's light slots.
const std::string SHADER_HEADER =
    "#version 300 es\n#define MAX_LIGHTS " + std::to_string(MAX_LIGHTS) + "\n";

const char* const VERTEX_SHADER = R"(
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 normal;
// The material (GlMaterial): per vertex for gathered triangles, the same
// for every vertex of other draws.
layout(location = 2) in vec4 diffusePower;
layout(location = 3) in vec4 ambientSpecularOn;
layout(location = 4) in vec4 specularColor;
layout(location = 5) in vec4 emissiveColor;
// Direct3D's row-major matrices taken as they are: GLSL's m * v is then the
// row vector v times the Direct3D matrix.
uniform mat4 worldView;
uniform mat4 projection;
uniform mat3 normalMatrix;
uniform bool lit;
uniform vec3 ambientLight;
uniform int lightCount;
uniform vec3 lightDirections[MAX_LIGHTS];
uniform vec3 lightColors[MAX_LIGHTS];
// The lit colour and the highlight apart, each clamped at the vertex and
// added for each pixel, as Direct3D adds its specular colour: a vertex whose
// sum is over 1 keeps what the highlight adds towards the others.
out vec4 color;
out vec3 shine;

void main() {
  vec4 eyePosition = worldView * position;
  vec4 clip = projection * eyePosition;
  // Direct3D's clip depth runs from 0 to w, GL's from -w to w.
  gl_Position = vec4(clip.xy, 2.0 * clip.z - clip.w, clip.w);
  gl_PointSize = 1.0;
  if (!lit) {
    color = vec4(1.0);
    shine = vec3(0.0);
    return;
  }
  vec3 diffuse = diffusePower.rgb;
  vec3 ambient = ambientSpecularOn.rgb;
  vec3 specular = specularColor.rgb;
  vec3 emissive = emissiveColor.rgb;
  float power = diffusePower.a;
  bool specularOn = ambientSpecularOn.a != 0.0;
  vec3 n = normalMatrix * normal;
  float length_n = length(n);
  if (length_n > 0.0) n /= length_n;
  vec3 toEye = length(eyePosition.xyz) > 0.0 ? normalize(-eyePosition.xyz) : vec3(0.0, 0.0, -1.0);
  vec3 lighted = vec3(0.0);
  vec3 highlight = vec3(0.0);
  for (int i = 0; i < lightCount; ++i) {
    float nl = dot(n, lightDirections[i]);
    if (nl <= 0.0) continue;
    lighted += lightColors[i] * nl;
    if (specularOn && power > 0.0) {
      float nh = max(dot(n, normalize(lightDirections[i] + toEye)), 0.0);
      highlight += lightColors[i] * pow(nh, power);
    }
  }
  color = vec4(clamp(emissive + ambient * ambientLight + diffuse * lighted, 0.0, 1.0), 1.0);
  shine = clamp(specular * highlight, 0.0, 1.0);
}
)";

const char* const FRAGMENT_SHADER = R"(
precision highp float;
in vec4 color;
in vec3 shine;
out vec4 fragmentColor;
void main() { fragmentColor = vec4(min(color.rgb + shine, 1.0), 1.0); }
)";

const char* const UNIFORM_NAMES[UNIFORM_COUNT] = {
    "worldView",  "projection",  "normalMatrix",    "lit",     "ambientLight",
    "lightCount", "lightDirections", "lightColors"};

constexpr int MATERIAL_ATTRIBUTE = 2;  // and the three after it

// What the driver says of a shader or program it refused.
template <class GetValue, class GetLog>
std::string infoLog(unsigned object, GetValue getValue, GetLog getLog) {
  GLint length = 0;
  getValue(object, GL_INFO_LOG_LENGTH, &length);
  std::string log(size_t(std::max(length, 1)), '\0');
  getLog(object, GLsizei(log.size()), nullptr, &log[0]);
  return log.c_str();
}

unsigned link(unsigned vertexShader, unsigned fragmentShader, std::string& problem) {
  const unsigned program = glCreateProgram();
  glAttachShader(program, vertexShader);
  glAttachShader(program, fragmentShader);
  glLinkProgram(program);
  glDeleteShader(vertexShader);
  glDeleteShader(fragmentShader);
  GLint linked = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (linked == GL_TRUE) return program;
  problem = "the shaders do not link: " + infoLog(program, glGetProgramiv, glGetProgramInfoLog);
  glDeleteProgram(program);
  return 0;
}

// The vertex layout, D3DVERTEX, for the buffer bound to GL_ARRAY_BUFFER.
void describeVertices() {
  glEnableVertexAttribArray(POSITION_ATTRIBUTE);
  glEnableVertexAttribArray(NORMAL_ATTRIBUTE);
  glVertexAttribPointer(POSITION_ATTRIBUTE, 3, GL_FLOAT, GL_FALSE, sizeof(D3DVERTEX), nullptr);
  glVertexAttribPointer(NORMAL_ATTRIBUTE, 3, GL_FLOAT, GL_FALSE, sizeof(D3DVERTEX),
                        reinterpret_cast<const void*>(NORMAL_OFFSET));
}

// A vertex array with its vertex buffer and, given one, its index buffer,
// made and bound.
void makeArray(unsigned& array, unsigned& vertexBuffer, unsigned* indexBuffer) {
  glGenVertexArrays(1, &array);
  glGenBuffers(1, &vertexBuffer);
  glBindVertexArray(array);
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
  if (indexBuffer == nullptr) return;
  glGenBuffers(1, indexBuffer);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, *indexBuffer);
}

}  // namespace

unsigned compileShader(unsigned kind, const std::string& source, std::string& problem) {
  const unsigned shader = glCreateShader(kind);
  const char* text = source.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint compiled = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  if (compiled == GL_TRUE) return shader;
  problem = std::string(kind == GL_VERTEX_SHADER ? "the vertex" : "the fragment") +
            " shader does not compile: " + infoLog(shader, glGetShaderiv, glGetShaderInfoLog);
  glDeleteShader(shader);
  return 0;
}

bool createObjects(GlObjects& objects, std::string& problem) {
  const unsigned vertexShader = compileShader(GL_VERTEX_SHADER, SHADER_HEADER + VERTEX_SHADER, problem);
  const unsigned fragmentShader =
      vertexShader == 0 ? 0 : compileShader(GL_FRAGMENT_SHADER, SHADER_HEADER + FRAGMENT_SHADER, problem);
  if (fragmentShader == 0) {
    if (vertexShader != 0) glDeleteShader(vertexShader);
    return false;
  }
  objects.program = link(vertexShader, fragmentShader, problem);
  if (objects.program == 0) return false;
  glUseProgram(objects.program);
  for (int u = 0; u < UNIFORM_COUNT; ++u) {
    objects.locations[u] = glGetUniformLocation(objects.program, UNIFORM_NAMES[u]);
  }

  makeArray(objects.listArray, objects.listBuffer, nullptr);
  describeVertices();
  makeArray(objects.triangleArray, objects.vertexBuffer, &objects.indexBuffer);
  describeVertices();
  makeArray(objects.litArray, objects.litBuffer, &objects.litIndexBuffer);
  const GLsizei stride = sizeof(GlLitVertex);
  glEnableVertexAttribArray(POSITION_ATTRIBUTE);
  glVertexAttribPointer(POSITION_ATTRIBUTE, 4, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(offsetof(GlLitVertex, position)));
  glEnableVertexAttribArray(NORMAL_ATTRIBUTE);
  glVertexAttribPointer(NORMAL_ATTRIBUTE, 3, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(offsetof(GlLitVertex, normal)));
  for (int i = 0; i < 4; ++i) {
    glEnableVertexAttribArray(MATERIAL_ATTRIBUTE + i);
    glVertexAttribPointer(MATERIAL_ATTRIBUTE + i, 4, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(GlLitVertex, material) +
                                                        i * 4 * sizeof(float)));
  }
  return true;
}

namespace {

void releaseFrame(GlObjects& objects) {
  if (objects.frameBuffer != 0) glDeleteFramebuffers(1, &objects.frameBuffer);
  for (unsigned buffer : {objects.colorBuffer, objects.depthBuffer}) {
    if (buffer != 0) glDeleteRenderbuffers(1, &buffer);
  }
  objects.frameBuffer = objects.colorBuffer = objects.depthBuffer = 0;
}

}  // namespace

bool makeFrame(GlObjects& objects, int width, int height) {
  releaseFrame(objects);
  glGenFramebuffers(1, &objects.frameBuffer);
  glGenRenderbuffers(1, &objects.colorBuffer);
  glGenRenderbuffers(1, &objects.depthBuffer);
  glBindRenderbuffer(GL_RENDERBUFFER, objects.colorBuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, objects.depthBuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
  glBindFramebuffer(GL_FRAMEBUFFER, objects.frameBuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                            objects.colorBuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                            objects.depthBuffer);
  const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  // Outside a frame the window's framebuffer is the one bound (a frame binds
  // the device's when it begins): WebKit shows whatever is bound when it
  // takes the canvas's picture, and a new frame size comes between frames.
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  return complete;
}

void releaseObjects(GlObjects& objects) {
  releaseFrame(objects);
  if (objects.program != 0) glDeleteProgram(objects.program);
  for (unsigned array : {objects.listArray, objects.triangleArray, objects.litArray}) {
    if (array != 0) glDeleteVertexArrays(1, &array);
  }
  for (unsigned buffer : {objects.listBuffer, objects.vertexBuffer, objects.indexBuffer,
                          objects.litBuffer, objects.litIndexBuffer}) {
    if (buffer != 0) glDeleteBuffers(1, &buffer);
  }
  objects = GlObjects{};
}

void uploadProjection(const GlObjects& objects, const D3DMATRIX& projection) {
  glUniformMatrix4fv(objects.locations[UNIFORM_PROJECTION], 1, GL_FALSE, &projection._11);
}

void uploadWorldView(const GlObjects& objects, const D3DMATRIX& worldView) {
  glUniformMatrix4fv(objects.locations[UNIFORM_WORLD_VIEW], 1, GL_FALSE, &worldView._11);
  float normals[9];
  normalMatrix(worldView, normals);
  glUniformMatrix3fv(objects.locations[UNIFORM_NORMAL_MATRIX], 1, GL_FALSE, normals);
}

void uploadLighting(const GlObjects& objects, const GlLighting& lighting) {
  glUniform1i(objects.locations[UNIFORM_LIGHT_COUNT], lighting.count);
  if (lighting.count > 0) {
    glUniform3fv(objects.locations[UNIFORM_LIGHT_DIRECTIONS], lighting.count,
                 &lighting.directions[0][0]);
    glUniform3fv(objects.locations[UNIFORM_LIGHT_COLORS], lighting.count, &lighting.colors[0][0]);
  }
  glUniform3fv(objects.locations[UNIFORM_AMBIENT_LIGHT], 1, lighting.ambient);
}

void normalMatrix(const D3DMATRIX& m, float out[9]) {
  const double a = m._11, b = m._12, c = m._13;
  const double d = m._21, e = m._22, f = m._23;
  const double g = m._31, h = m._32, i = m._33;
  const double cofactors[9] = {e * i - f * h, f * g - d * i, d * h - e * g,
                               c * h - b * i, a * i - c * g, b * g - a * h,
                               b * f - c * e, c * d - a * f, a * e - b * d};
  const double determinant = a * cofactors[0] + b * cofactors[1] + c * cofactors[2];
  for (int k = 0; k < 9; ++k) {
    out[k] = determinant != 0.0 ? float(cofactors[k] / determinant) : 0.0f;
  }
}

GlMaterial glMaterial(const D3DMATERIAL& material, bool specularOn) {
  const D3DCOLORVALUE* colors[4] = {&material.dcvDiffuse, &material.dcvAmbient,
                                    &material.dcvSpecular, &material.dcvEmissive};
  GlMaterial packed;
  for (int i = 0; i < 4; ++i) {
    packed.values[i][0] = colors[i]->r;
    packed.values[i][1] = colors[i]->g;
    packed.values[i][2] = colors[i]->b;
  }
  packed.values[0][3] = material.dvPower;
  packed.values[1][3] = specularOn ? 1.0f : 0.0f;
  return packed;
}

void setMaterial(const GlMaterial& material) {
  for (int i = 0; i < 4; ++i) glVertexAttrib4fv(MATERIAL_ATTRIBUTE + i, material.values[i]);
}

void uploadLit(const GlObjects& objects, bool lit) {
  glUniform1i(objects.locations[UNIFORM_LIT], lit ? 1 : 0);
}
