// The GlDevice's shader program: Direct3D's fixed-function vertex lighting
// written once, in the vertex shader, and the uniforms it is fed from. The
// device keeps the values (GlDrawState) and hands them over here before a
// draw, each group only when it changed.
#pragma once

#include "platform/d3d_types.h"
#include "platform/device_values.h"

#include <string>

// The uniforms of the program, by the index of their location.
enum GlUniform {
  UNIFORM_WORLD_VIEW,
  UNIFORM_PROJECTION,
  UNIFORM_NORMAL_MATRIX,
  UNIFORM_LIT,
  UNIFORM_AMBIENT_LIGHT,
  UNIFORM_LIGHT_COUNT,
  UNIFORM_LIGHT_DIRECTIONS,
  UNIFORM_LIGHT_COLORS,
  UNIFORM_COUNT
};

// A material as the shader takes it, four vertex attributes: the diffuse
// colour and the power, the ambient colour and whether highlights are on,
// the specular colour, the emissive colour.
struct GlMaterial {
  float values[4][4] = {};
};
GlMaterial glMaterial(const D3DMATERIAL& material, bool specularOn);

// A vertex of filled triangles gathered from several draws: already in view
// space, with its material, so that a whole frame's cubes go to GL at once.
struct GlLitVertex {
  float position[4];
  float normal[3];
  GlMaterial material;
};

// The GL objects of the device: made together, dropped together (a lost
// context takes them all at once). Point and line lists stream through a
// buffer of their own, triangles drawn as edges or corners through another,
// gathered filled triangles through a third. The frame is drawn into a
// framebuffer of the window's size, made again when that size changes, with
// a 16-bit depth buffer like the Windows program's z-buffer.
struct GlObjects {
  unsigned program = 0;
  unsigned listArray = 0;      // the vertex array of the point and line lists
  unsigned listBuffer = 0;
  unsigned triangleArray = 0;  // the vertex array of edges and corners, with their indices
  unsigned vertexBuffer = 0;
  unsigned indexBuffer = 0;
  unsigned litArray = 0;       // the vertex array of gathered filled triangles
  unsigned litBuffer = 0;
  unsigned litIndexBuffer = 0;
  unsigned frameBuffer = 0;
  unsigned colorBuffer = 0;
  unsigned depthBuffer = 0;
  int locations[UNIFORM_COUNT] = {};
};

// The 3 x 3 part of m inverted and transposed, row-major: what a row-vector
// normal is multiplied by. A singular matrix gives zeros (and black normals).
void normalMatrix(const D3DMATRIX& m, float out[9]);

// Compiles a shader of the given kind (GL_VERTEX_SHADER, GL_FRAGMENT_SHADER);
// 0, and in problem the driver's log in words, when it does not compile.
unsigned compileShader(unsigned kind, const std::string& source, std::string& problem);
// Compiles and links the program, makes the vertex arrays and buffers with
// their layouts, and leaves them bound. false (and nothing made), with the
// driver's words in problem, when the shaders do not compile or link.
bool createObjects(GlObjects& objects, std::string& problem);
void releaseObjects(GlObjects& objects);
// The framebuffer at the frame's size, bound; false when GL finds it
// incomplete.
bool makeFrame(GlObjects& objects, int width, int height);

// The lighting of one set of draws, in view space, as the shader takes it.
struct GlLighting {
  int count = 0;
  float directions[MAX_LIGHTS][3] = {};  // towards each light, unit length
  float colors[MAX_LIGHTS][3] = {};
  float ambient[3] = {};
};

void uploadWorldView(const GlObjects& objects, const D3DMATRIX& worldView);
void uploadProjection(const GlObjects& objects, const D3DMATRIX& projection);
void uploadLighting(const GlObjects& objects, const GlLighting& lighting);
// The material of the draws whose vertices do not carry one.
void setMaterial(const GlMaterial& material);
void uploadLit(const GlObjects& objects, bool lit);
