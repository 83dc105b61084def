# The picture generator as a host program. It is always built optimised and without
# sanitizers: it renders some sixty large pictures on every change of its inputs. It
# compiles the renderer's portable sources (moon_render/) itself, so that a cross build can
# build it with the host compiler.
function(qw_add_moon_pictures_tool root stb_include_dir)
  set(dir ${root}/tools/moon_pictures)
  include(${root}/moon_render/sources.cmake)
  list(TRANSFORM QW_MOON_RENDER_CORE_SOURCES PREPEND ${root}/moon_render/)
  add_executable(moon_pictures
    ${dir}/main.cpp
    ${dir}/exif_thumbnail.cpp
    ${dir}/image_io.cpp
    ${dir}/jpeg_encoder.cpp
    ${dir}/moon_set.cpp
    ${QW_MOON_RENDER_CORE_SOURCES}
    ${dir}/palette.cpp
    ${root}/astro/moon_phase.cpp
    ${root}/astro/moon_selection.cpp
  )
  set_target_properties(moon_pictures PROPERTIES CXX_STANDARD 17 CXX_STANDARD_REQUIRED ON CXX_EXTENSIONS OFF)
  target_include_directories(moon_pictures PRIVATE ${root})
  target_include_directories(moon_pictures SYSTEM PRIVATE ${stb_include_dir})
  target_compile_options(moon_pictures PRIVATE -O2 -Wall -Wextra -Wshadow -Wnull-dereference -Werror)
  find_package(Threads REQUIRED)
  find_package(ZLIB REQUIRED)
  find_package(JPEG REQUIRED)
  target_link_libraries(moon_pictures PRIVATE Threads::Threads ZLIB::ZLIB JPEG::JPEG)
endfunction()
