# Icons made from imported bitmaps (written by document_tests into
# test-output/import-readers) read by Pillow and icotool on the build machine.
# Pillow comes from the distribution: prefer its interpreter over any other.
find_program(VEMIRO_SYSTEM_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT VEMIRO_SYSTEM_PYTHON3)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    set(VEMIRO_SYSTEM_PYTHON3 ${Python3_EXECUTABLE})
endif()

add_test(NAME import_readers
         COMMAND ${VEMIRO_SYSTEM_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/import_readers.py
                 ${CMAKE_BINARY_DIR}/test-output/import-readers)
set_property(TEST document_tests APPEND PROPERTY FIXTURES_SETUP imported_icons)
set_tests_properties(import_readers PROPERTIES FIXTURES_REQUIRED imported_icons TIMEOUT 120)
