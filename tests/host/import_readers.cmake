# Icons made from imported bitmaps (written by document_tests into
# test-output/import-readers) read by Pillow and icotool on the build machine.
# The distribution's Python runs it (it has Pillow).

add_test(NAME import_readers
         COMMAND ${VEMIRO_SYSTEM_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/import_readers.py
                 ${CMAKE_BINARY_DIR}/test-output/import-readers)
set_property(TEST document_tests APPEND PROPERTY FIXTURES_SETUP imported_icons)
set_tests_properties(import_readers PROPERTIES FIXTURES_REQUIRED imported_icons TIMEOUT 120)
