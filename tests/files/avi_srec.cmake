# Tests of AVI recording and S-record conversion.
zelir_api_test(srec_line_test ${CMAKE_CURRENT_LIST_DIR}/srec_line_test.cpp)
zelir_api_test(srec_file_test ${CMAKE_CURRENT_LIST_DIR}/srec_file_test.cpp)
zelir_api_test(srec_combined_test ${CMAKE_CURRENT_LIST_DIR}/srec_combined_test.cpp)
