// The device the scene renderer and the frame composition draw through, as
// the Windows program builds them: the Direct3D RenderDevice, drawing into a
// window. Each device library puts a header of this name on the include path
// of whatever links it, so the renderer and the composition are compiled
// once per device and call it directly. What they ask of it, and nothing
// more, render/scene_device_seam.h states and checks.
#pragma once

#include "device/render_device.h"

using SceneDevice = RenderDevice;
using SceneWindow = HWND;
