# The renderer's sources that use nothing but the standard library and stb_truetype. The
# picture generator compiles them for the build machine too (tools/moon_pictures/tool.cmake).
set(QW_MOON_RENDER_CORE_SOURCES
  albedo_map.cpp
  albedo_map.h
  gamma.cpp
  gamma.h
  moon_features.cpp
  moon_features.h
  moon_geometry.cpp
  moon_geometry.h
  moon_overlay.cpp
  moon_overlay.h
  moon_shading.cpp
  moon_shading.h
  parallel_bands.cpp
  parallel_bands.h
)
