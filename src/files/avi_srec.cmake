# AVI recording and S-record conversion.
target_sources(zelir_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/srec_convert.cpp
  ${CMAKE_CURRENT_LIST_DIR}/srec_image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/srec_line.cpp
)
