// For the web platform's WGL: after it makes a WebGL context current, the browser's GL
// starts afresh on it, with GL's first viewport (the canvas's size) and none of an earlier
// context's shaders, buffers or textures.
#pragma once

void OrvGlContextMadeCurrent(int width, int height);
