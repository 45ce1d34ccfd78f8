// Whether an OpenGL context is current on this thread: GL resources are freed only then.
#pragma once

namespace platform {
bool HasCurrentGLContext();
}
