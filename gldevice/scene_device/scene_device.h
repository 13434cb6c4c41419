// The device the scene renderer and the frame composition draw through
// outside Windows: the GlDevice, drawing into a GlWindow (the page's canvas,
// or an off-screen frame). render/scene_device_seam.h states and checks what
// they ask of a device.
#pragma once

#include "gldevice/gl_device.h"

using SceneDevice = GlDevice;
using SceneWindow = GlWindow*;
