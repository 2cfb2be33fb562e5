# Icons with soft alpha at every size, made by Pillow and ImageMagick, opened
# and saved by the editor's document code (a test of document_tests kept out of
# its ordinary run), then read back by Pillow and icotool.
if(TARGET document_tests AND CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
    add_test(NAME alpha_round_trip
             COMMAND ${VEMIRO_SYSTEM_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/alpha_round_trip.py
                     ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:document_tests>
                     ${CMAKE_BINARY_DIR}/test-output/alpha-round-trip)
    set_tests_properties(alpha_round_trip PROPERTIES TIMEOUT 300)
endif()
