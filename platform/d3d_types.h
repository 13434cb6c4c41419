// The few platform record types the portable code uses: the Direct3D vertex
// and matrix records and HRESULT with the codes the core returns, and for the
// renderer and the frame composition the material and light records and the
// state, transform and primitive codes they hand a device. On Windows they
// come from the platform's own headers; elsewhere they are declared here with
// the identical layout and values, which the checks at the end of the file
// prove.
#pragma once

#include <cstddef>

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <d3dtypes.h>

#else

#include <cstdint>

typedef std::int32_t HRESULT;
typedef float D3DVALUE;
typedef std::uint32_t DWORD;
typedef std::uint16_t WORD;
typedef int BOOL;

#define TRUE 1
#define FALSE 0
#define S_OK ((HRESULT)0)
#define E_NOTIMPL ((HRESULT)0x80004001)
#define E_FAIL ((HRESULT)0x80004005)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

// Position, normal and one pair of texture coordinates, as Direct3D lays them
// out; the member names are the platform's, both spellings of each.
typedef struct _D3DVERTEX {
  union { D3DVALUE x; D3DVALUE dvX; };
  union { D3DVALUE y; D3DVALUE dvY; };
  union { D3DVALUE z; D3DVALUE dvZ; };
  union { D3DVALUE nx; D3DVALUE dvNX; };
  union { D3DVALUE ny; D3DVALUE dvNY; };
  union { D3DVALUE nz; D3DVALUE dvNZ; };
  union { D3DVALUE tu; D3DVALUE dvTU; };
  union { D3DVALUE tv; D3DVALUE dvTV; };
} D3DVERTEX;

// Row-major 4 x 4 matrix; points are row vectors, translation in row four.
typedef struct _D3DMATRIX {
  D3DVALUE _11, _12, _13, _14;
  D3DVALUE _21, _22, _23, _24;
  D3DVALUE _31, _32, _33, _34;
  D3DVALUE _41, _42, _43, _44;
} D3DMATRIX;

typedef struct _D3DCOLORVALUE {
  union { D3DVALUE r; D3DVALUE dvR; };
  union { D3DVALUE g; D3DVALUE dvG; };
  union { D3DVALUE b; D3DVALUE dvB; };
  union { D3DVALUE a; D3DVALUE dvA; };
} D3DCOLORVALUE;

typedef struct _D3DVECTOR {
  union { D3DVALUE x; D3DVALUE dvX; };
  union { D3DVALUE y; D3DVALUE dvY; };
  union { D3DVALUE z; D3DVALUE dvZ; };
} D3DVECTOR;

typedef DWORD D3DTEXTUREHANDLE;

typedef struct _D3DMATERIAL {
  DWORD dwSize;
  union { D3DCOLORVALUE diffuse; D3DCOLORVALUE dcvDiffuse; };
  union { D3DCOLORVALUE ambient; D3DCOLORVALUE dcvAmbient; };
  union { D3DCOLORVALUE specular; D3DCOLORVALUE dcvSpecular; };
  union { D3DCOLORVALUE emissive; D3DCOLORVALUE dcvEmissive; };
  union { D3DVALUE power; D3DVALUE dvPower; };
  D3DTEXTUREHANDLE hTexture;
  DWORD dwRampSize;
} D3DMATERIAL;

typedef enum _D3DLIGHTTYPE {
  D3DLIGHT_POINT = 1,
  D3DLIGHT_SPOT = 2,
  D3DLIGHT_DIRECTIONAL = 3,
  D3DLIGHT_PARALLELPOINT = 4,
  D3DLIGHT_FORCE_DWORD = 0x7fffffff
} D3DLIGHTTYPE;

#define D3DLIGHT_ACTIVE 0x00000001

typedef struct _D3DLIGHT2 {
  DWORD dwSize;
  D3DLIGHTTYPE dltType;
  D3DCOLORVALUE dcvColor;
  D3DVECTOR dvPosition;
  D3DVECTOR dvDirection;
  D3DVALUE dvRange;
  D3DVALUE dvFalloff;
  D3DVALUE dvAttenuation0;
  D3DVALUE dvAttenuation1;
  D3DVALUE dvAttenuation2;
  D3DVALUE dvTheta;
  D3DVALUE dvPhi;
  DWORD dwFlags;
} D3DLIGHT2;

// The states, transforms and primitives a device is asked for, with the
// platform's values (only those the program uses).
typedef enum _D3DRENDERSTATETYPE {
  D3DRENDERSTATE_ZENABLE = 7,
  D3DRENDERSTATE_FILLMODE = 8,
  D3DRENDERSTATE_CULLMODE = 22,
  D3DRENDERSTATE_SPECULARENABLE = 29,
  D3DRENDERSTATE_FORCE_DWORD = 0x7fffffff
} D3DRENDERSTATETYPE;

typedef enum _D3DFILLMODE {
  D3DFILL_POINT = 1,
  D3DFILL_WIREFRAME = 2,
  D3DFILL_SOLID = 3,
  D3DFILL_FORCE_DWORD = 0x7fffffff
} D3DFILLMODE;

typedef enum _D3DCULL {
  D3DCULL_NONE = 1,
  D3DCULL_CW = 2,
  D3DCULL_CCW = 3,
  D3DCULL_FORCE_DWORD = 0x7fffffff
} D3DCULL;

typedef enum _D3DTRANSFORMSTATETYPE {
  D3DTRANSFORMSTATE_WORLD = 1,
  D3DTRANSFORMSTATE_VIEW = 2,
  D3DTRANSFORMSTATE_PROJECTION = 3,
  D3DTRANSFORMSTATE_FORCE_DWORD = 0x7fffffff
} D3DTRANSFORMSTATETYPE;

typedef enum _D3DPRIMITIVETYPE {
  D3DPT_POINTLIST = 1,
  D3DPT_LINELIST = 2,
  D3DPT_LINESTRIP = 3,
  D3DPT_TRIANGLELIST = 4,
  D3DPT_TRIANGLESTRIP = 5,
  D3DPT_TRIANGLEFAN = 6,
  D3DPT_FORCE_DWORD = 0x7fffffff
} D3DPRIMITIVETYPE;

#define D3DFVF_VERTEX 0x112
// A DrawPrimitive flag (the platform has it in d3d.h, beside the calls).
#define D3DDP_DONOTLIGHT 0x00000010

#endif

static_assert(sizeof(HRESULT) == 4, "HRESULT is a 32-bit signed result");
static_assert(S_OK == 0 && E_FAIL < 0 && E_INVALIDARG < 0, "failure codes are negative");
static_assert(static_cast<unsigned>(E_FAIL) == 0x80004005u, "E_FAIL");
static_assert(static_cast<unsigned>(E_INVALIDARG) == 0x80070057u, "E_INVALIDARG");

static_assert(sizeof(D3DVALUE) == 4, "D3DVALUE is a 32-bit float");
static_assert(sizeof(D3DVERTEX) == 32, "D3DVERTEX is eight floats");
static_assert(offsetof(D3DVERTEX, x) == 0 && offsetof(D3DVERTEX, y) == 4 &&
                  offsetof(D3DVERTEX, z) == 8,
              "D3DVERTEX position");
static_assert(offsetof(D3DVERTEX, nx) == 12 && offsetof(D3DVERTEX, ny) == 16 &&
                  offsetof(D3DVERTEX, nz) == 20,
              "D3DVERTEX normal");
static_assert(offsetof(D3DVERTEX, tu) == 24 && offsetof(D3DVERTEX, tv) == 28,
              "D3DVERTEX texture coordinates");

static_assert(sizeof(D3DCOLORVALUE) == 16 && sizeof(D3DVECTOR) == 12, "colours and vectors");
static_assert(sizeof(D3DMATERIAL) == 80 && offsetof(D3DMATERIAL, dcvEmissive) == 52 &&
                  offsetof(D3DMATERIAL, dvPower) == 68,
              "D3DMATERIAL");
static_assert(sizeof(D3DLIGHT2) == 80 && offsetof(D3DLIGHT2, dvDirection) == 36 &&
                  offsetof(D3DLIGHT2, dwFlags) == 76,
              "D3DLIGHT2");
static_assert(D3DRENDERSTATE_ZENABLE == 7 && D3DRENDERSTATE_FILLMODE == 8 &&
                  D3DRENDERSTATE_CULLMODE == 22 && D3DRENDERSTATE_SPECULARENABLE == 29,
              "render states");
static_assert(D3DFILL_POINT == 1 && D3DFILL_WIREFRAME == 2 && D3DFILL_SOLID == 3 &&
                  D3DCULL_NONE == 1 && D3DCULL_CW == 2 && D3DCULL_CCW == 3,
              "fill and cull modes");
static_assert(D3DTRANSFORMSTATE_WORLD == 1 && D3DTRANSFORMSTATE_VIEW == 2 &&
                  D3DTRANSFORMSTATE_PROJECTION == 3,
              "transforms");
static_assert(D3DPT_POINTLIST == 1 && D3DPT_LINELIST == 2 && D3DPT_TRIANGLELIST == 4 &&
                  D3DFVF_VERTEX == 0x112 && D3DLIGHT_DIRECTIONAL == 3,
              "primitives, vertex format and lights");

static_assert(sizeof(D3DMATRIX) == 64, "D3DMATRIX is sixteen floats");
static_assert(offsetof(D3DMATRIX, _11) == 0 && offsetof(D3DMATRIX, _14) == 12 &&
                  offsetof(D3DMATRIX, _21) == 16 && offsetof(D3DMATRIX, _41) == 48 &&
                  offsetof(D3DMATRIX, _44) == 60,
              "D3DMATRIX is row-major");
