// The device the scene renderer and the frame composition draw through, as
// the Windows program builds them: the Direct3D RenderDevice, drawing into a
// window. Each device library puts a header of this name on the include path
// of whatever links it, so the renderer and the composition are compiled
// once per device and call it directly.
//
// What they ask of it (and nothing more): the fields ready, requireDrawPrimitive
// and view; attachWindow, startUp, resetMatrices, applyViewProjection;
// createMaterial, updateMaterial, setRenderState, setLight; getTransform,
// setTransform; clear, beginScene, endScene, present; drawPrimitive and
// drawIndexedPrimitive of D3DVERTEX lists.
#pragma once

#include "device/render_device.h"

using SceneDevice = RenderDevice;
using SceneWindow = HWND;
