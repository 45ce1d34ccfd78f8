#include "scene/glextensions.h"

#include <cstring>

#include "scene/gl.h"

bool HasGLExtension(const char* name) {
  const char* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  if (!all) return false;
  const std::size_t n = std::strlen(name);
  for (const char* p = std::strstr(all, name); p; p = std::strstr(p + 1, name))
    if ((p == all || p[-1] == ' ') && (p[n] == ' ' || p[n] == 0)) return true;
  return false;
}
