# Icons and cursors of every format written by document_tests into
# test-output/written, the committed fixtures, and those saved again by
# document_tests into test-output/reopened, read by Pillow and icotool on
# the build machine, with the distribution's Python (it has Pillow).

add_test(NAME icon_readers
         COMMAND ${VEMIRO_SYSTEM_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/icon_readers.py
                 ${CMAKE_BINARY_DIR}/test-output/written ${CMAKE_SOURCE_DIR}/tests/fixtures
                 ${CMAKE_BINARY_DIR}/test-output/reopened)
set_property(TEST document_tests APPEND PROPERTY FIXTURES_SETUP written_icons)
set_tests_properties(icon_readers PROPERTIES FIXTURES_REQUIRED written_icons TIMEOUT 300)

# A save whose disk fills up part-way: the Wine process runs under a file size
# limit (with SIGXFSZ ignored, the write just comes back short), and the one test
# kept out of the ordinary run checks that the file on disk survives.
if(TARGET document_tests AND CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
    # The loader ctest runs the other programs with (wine, or wine64 where only
    # 64-bit programs run).
    set(VEMIRO_WINE ${CMAKE_CROSSCOMPILING_EMULATOR})
    if(NOT VEMIRO_WINE)
        message(FATAL_ERROR "the toolchain file names no Wine loader to run the tests with")
    endif()
    add_test(NAME icon_write_disk_full
             COMMAND sh -c "trap '' XFSZ; ulimit -f 64; exec \"$0\" \"$1\" --gtest_color=no --gtest_also_run_disabled_tests --gtest_filter=IconFileWrite.DISABLED_WriteThatFailsPartWayKeepsTheFileOnDisk"
                     ${VEMIRO_WINE} $<TARGET_FILE:document_tests>)
    set_tests_properties(icon_write_disk_full PROPERTIES
        PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 1 test\\."
        FAIL_REGULAR_EXPRESSION "FAILED"
        TIMEOUT 120)
endif()
