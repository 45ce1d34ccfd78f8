// What the current OpenGL context offers beyond the 1.x core the scene is written for.
#pragma once

// Whether the current context lists the extension (the exact name, not a prefix of another).
bool HasGLExtension(const char* name);
