# Tests of AVI recording and S-record conversion.
zelir_api_test(srec_line_test ${CMAKE_CURRENT_LIST_DIR}/srec_line_test.cpp)
zelir_api_test(srec_file_test ${CMAKE_CURRENT_LIST_DIR}/srec_file_test.cpp)
zelir_api_test(srec_combined_test ${CMAKE_CURRENT_LIST_DIR}/srec_combined_test.cpp)
zelir_api_test(avi_code_test ${CMAKE_CURRENT_LIST_DIR}/avi_code_test.cpp)
zelir_unit_test(avi_uncompressed_test ${CMAKE_CURRENT_LIST_DIR}/avi_uncompressed_test.cpp)

# The shared library exports its public API and nothing else.
add_test(NAME exported_symbols_test
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/api/exported_symbols_test.sh $<TARGET_LINKER_FILE:zelir>)
