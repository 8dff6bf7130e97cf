# The installed SDK: library with SONAME, headers, pkg-config file, CMake package, tools, man
# pages, palettes in share/zelir/, the Python package, and a Debian package of it all
# (cpack -G DEB).
include(CMakePackageConfigHelpers)

set(ZELIR_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/zelir)
set(ZELIR_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZelIr)

# The library finds the installed palettes from its own location, whatever the prefix.
file(RELATIVE_PATH data_from_library /${CMAKE_INSTALL_LIBDIR} /${ZELIR_INSTALL_DATADIR})
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/imaging/data_folders.cpp
  TARGET_DIRECTORY zelir_imaging PROPERTIES COMPILE_DEFINITIONS
  "ZELIR_INSTALLED_DATA_FROM_LIBRARY=\"${data_from_library}\";ZELIR_BUILD_PALETTE_DIR=\"${ZELIR_BIN_DIR}/Palette\"")

# Tools find the library in the prefix they are installed in.
file(RELATIVE_PATH library_from_tools /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
set_target_properties(zelir_cli PROPERTIES INSTALL_RPATH "\$ORIGIN/${library_from_tools}")

install(TARGETS zelir EXPORT ZelIrTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/zelir DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS zelir_cli zelir-camsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${ZELIR_BIN_DIR}/Palette DESTINATION ${ZELIR_INSTALL_DATADIR}
  FILES_MATCHING PATTERN "Palette*.raw")

# pkg-config: relative to the .pc file, so a prefix chosen at install time still works.
file(RELATIVE_PATH ZELIR_PC_PREFIX_FROM_PCDIR /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" ZELIR_PC_PREFIX_FROM_PCDIR "${ZELIR_PC_PREFIX_FROM_PCDIR}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/zelir.pc.in ${CMAKE_BINARY_DIR}/zelir.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/zelir.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# CMake package: find_package(ZelIr) gives ZelIr::zelir.
install(EXPORT ZelIrTargets NAMESPACE ZelIr:: DESTINATION ${ZELIR_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/ZelIrConfig.cmake.in
  ${CMAKE_BINARY_DIR}/ZelIrConfig.cmake INSTALL_DESTINATION ${ZELIR_INSTALL_CMAKEDIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/ZelIrConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/ZelIrConfig.cmake ${CMAKE_BINARY_DIR}/ZelIrConfigVersion.cmake
  DESTINATION ${ZELIR_INSTALL_CMAKEDIR})

# Man pages from the programs' own help.
set(man_pages)
foreach(page "zelir_cli;zelir;help;command-line tool of the ZelIr infrared camera SDK"
              "zelir-camsim;zelir-camsim;--help;ZelIr GigE camera emulator")
  list(GET page 0 target)
  list(GET page 1 name)
  list(GET page 2 argument)
  list(GET page 3 summary)
  set(output ${CMAKE_BINARY_DIR}/man/${name}.1)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${target}> -DHELP_ARGUMENT=${argument}
            -DNAME=${name} "-DSUMMARY=${summary}" -DVERSION=${PROJECT_VERSION} -DOUTPUT=${output}
            -P ${CMAKE_CURRENT_LIST_DIR}/ZelIrManPage.cmake
    DEPENDS ${target} ${CMAKE_CURRENT_LIST_DIR}/ZelIrManPage.cmake
    COMMENT "Man page ${name}.1" VERBATIM)
  list(APPEND man_pages ${output})
endforeach()
add_custom_target(zelir_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Python package, where Debian's Python looks for the /usr prefix.
if(TARGET zelir_python)
  set(ZELIR_PYTHON_INSTALL_DIR lib/python3/dist-packages CACHE STRING
      "Folder of the Python package below the prefix")
  file(RELATIVE_PATH library_from_python /${ZELIR_PYTHON_INSTALL_DIR}/zelir /${CMAKE_INSTALL_LIBDIR})
  set_target_properties(zelir_python PROPERTIES INSTALL_RPATH "\$ORIGIN/${library_from_python}")
  install(TARGETS zelir_python LIBRARY DESTINATION ${ZELIR_PYTHON_INSTALL_DIR}/zelir)
  # The extension works with the Python it was built for; the C SDK needs no Python at all.
  string(REPLACE "." ";" python_version "${ZELIR_PYTHON_VERSION}")
  list(GET python_version 0 python_major)
  list(GET python_version 1 python_minor)
  math(EXPR python_next_minor "${python_minor} + 1")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3 (>= ${python_major}.${python_minor}), \
python3 (<< ${python_major}.${python_next_minor}), python3-numpy")
  install(FILES ${ZELIR_PYTHON_BUILD_DIR}/zelir/__init__.py ${ZELIR_PYTHON_BUILD_DIR}/zelir/__init__.pyi
                ${ZELIR_PYTHON_BUILD_DIR}/zelir/py.typed
          DESTINATION ${ZELIR_PYTHON_INSTALL_DIR}/zelir)
endif()

# The Debian package: runtime library, development files and tools in one.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelir)
set(CPACK_PACKAGE_VENDOR "ZelIr")
set(CPACK_PACKAGE_CONTACT "ZelIr SDK developers <sdk@zelir.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "SDK for ZelIr infrared GigE cameras")
set(CPACK_PACKAGE_DESCRIPTION
  "libzelir.so with its C interface, headers, pkg-config and CMake files, palettes,\nthe Python package zelir, the zelir command-line tool and the zelir-camsim camera\nemulator.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
