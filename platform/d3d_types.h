// The few platform record types the portable core uses: the Direct3D vertex
// and matrix records and HRESULT with the codes the core returns. On Windows
// they come from the platform's own headers; elsewhere they are declared here
// with the identical layout, which the checks at the end of the file prove.
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

#define S_OK ((HRESULT)0)
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

static_assert(sizeof(D3DMATRIX) == 64, "D3DMATRIX is sixteen floats");
static_assert(offsetof(D3DMATRIX, _11) == 0 && offsetof(D3DMATRIX, _14) == 12 &&
                  offsetof(D3DMATRIX, _21) == 16 && offsetof(D3DMATRIX, _41) == 48 &&
                  offsetof(D3DMATRIX, _44) == 60,
              "D3DMATRIX is row-major");
