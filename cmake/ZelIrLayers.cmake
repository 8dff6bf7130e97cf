# One static library per layer of the library. A layer sees its own folder and the folders of
# the layers it links (PUBLIC, so the layers below those too) and nothing above it: each
# layer's include root is a folder of its own in the build tree holding one link to its
# source folder, so `#include "gige/..."` from a layer below gige does not compile.
function(zelir_layer name)
  cmake_parse_arguments(LAYER "" "" "SOURCES;BELOW;LIBS" ${ARGN})
  set(target zelir_${name})
  add_library(${target} STATIC ${LAYER_SOURCES})
  set(root ${CMAKE_BINARY_DIR}/layers/${name})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${name} ${root}/${name} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root} ${CMAKE_SOURCE_DIR}/include)
  target_compile_definitions(${target} PUBLIC ZELIR_BUILDING_LIBRARY)
  foreach(below ${LAYER_BELOW})
    target_link_libraries(${target} PUBLIC zelir_${below})
  endforeach()
  if(LAYER_LIBS)
    target_link_libraries(${target} PUBLIC ${LAYER_LIBS})
  endif()
  set_property(GLOBAL APPEND PROPERTY ZELIR_LAYERS ${target})
endfunction()
