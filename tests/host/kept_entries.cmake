# Icons and cursors with entries the editor keeps, opened, drawn on and saved
# by shell_tests into test-output/kept-saved, read by icotool, ImageMagick and
# Pillow (the distribution's Python has it) against the fixtures they came from.

add_test(NAME kept_entries
         COMMAND ${VEMIRO_SYSTEM_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/kept_entries.py
                 ${CMAKE_SOURCE_DIR}/tests/fixtures ${CMAKE_BINARY_DIR}/test-output/kept-saved)
set_property(TEST shell_tests APPEND PROPERTY FIXTURES_SETUP kept_saved)
set_tests_properties(kept_entries PROPERTIES FIXTURES_REQUIRED kept_saved TIMEOUT 300)
