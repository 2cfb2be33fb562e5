# The icon document_tests made from a 1024 px PNG with every Windows size
# (test-output/all-sizes) read by Pillow and icotool on the build machine.

add_test(NAME all_sizes_readers
         COMMAND ${VEMIRO_SYSTEM_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/all_sizes.py
                 ${CMAKE_BINARY_DIR}/test-output/all-sizes/logo.ico)
set_tests_properties(all_sizes_readers PROPERTIES FIXTURES_REQUIRED imported_icons TIMEOUT 120)
