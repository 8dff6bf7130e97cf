# AVI recording and S-record conversion.
target_sources(zelir_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/srec_convert.cpp
  ${CMAKE_CURRENT_LIST_DIR}/srec_image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/srec_line.cpp
)

# AVI writing goes through FFmpeg, linked into the library only.
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libavutil libswscale)
target_link_libraries(zelir_core PRIVATE PkgConfig::FFMPEG)
target_sources(zelir_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/avi_code.cpp
  ${CMAKE_CURRENT_LIST_DIR}/avi_file_writer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/avi_palette_expand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/avi_pixel_convert.cpp
)
